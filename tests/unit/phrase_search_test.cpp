// Finding phrases by words of their keystrokes and text: the rules of the search and its
// ranking as a table, the program rules, the emphasis, and narrowing as the user types.

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "picker/phrase_search.h"

namespace vellix {
namespace {

void AsciiUpper(std::u16string& text) {
  for (char16_t& unit : text) {
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - 0x20);
    if (unit == u'\u00E9') unit = u'\u00C9';
  }
}

struct Spec {
  std::u16string keystroke;
  std::u16string text;
  int32_t usage = 0;
  int32_t enabled = 1;
  int32_t mode = kNotUse;
  std::u16string program;  // the one program of the rule
};

// Ids are positions from 1.
void Fill(PhraseDatabase& collection, const std::vector<Spec>& specs) {
  for (const Spec& spec : specs) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(spec.text);
    if (!spec.keystroke.empty()) phrase->Prefixes()[spec.keystroke] = 1;
    phrase->SetCountUsage(spec.usage);
    phrase->SetEnabled(spec.enabled);
    phrase->SetUseWithList(spec.mode);
    if (!spec.program.empty()) {
      (spec.mode == kUseIncludeList ? phrase->Include() : phrase->Exclude())[spec.program] = 1;
    }
    collection.Add(std::move(phrase));
  }
  collection.Renumber();
}

const std::vector<Spec> kPhrases = {
    {u"btw", u"by the way", 5},                                   // 1
    {u"addr", u"1 Main Street\r\nSpringfield", 9},                // 2
    {u"regards", u"Best regards, Tom", 2},                        // 3
    {u"sig", u"Best REGARDS\r\nTom", 7},                          // 4
    {u"off", u"switched off", 50, 0},                             // 5 disabled
    {u"np", u"only in notepad", 1, 1, kUseIncludeList, u"NOTEPAD.EXE"},  // 6
    {u"nw", u"never in word", 1, 1, kUseExcludeList, u"word.exe"},       // 7
    {u"", u"no keystroke, typed by the picker", 0},               // 8
    {u"caf\u00E9", u"coffee place", 0},                           // 9
};

struct SearchCase {
  const char* name;
  std::u16string query;
  std::u16string program;
  std::vector<uint32_t> ids;  // in rank order
};

const SearchCase kCases[] = {
    {"an empty query lists every phrase, the most used first", u"", u"notepad.exe",
     {2, 4, 1, 3, 6, 7, 8, 9}},
    {"one word matches keystrokes and texts, keystroke hits first", u"regards", u"notepad.exe", {3, 4}},
    {"every word must occur, anywhere", u"best tom", u"notepad.exe", {4, 3}},
    {"a word found nowhere gives nothing", u"best xyz", u"notepad.exe", {}},
    {"case does not matter", u"BTW", u"notepad.exe", {1}},
    {"words of a line break's both sides", u"street springfield", u"notepad.exe", {2}},
    // "in" is in MAIN and SPRINGFIELD, in "only in notepad" and in "never in word".
    {"program rules: an unknown program sees only phrases without a rule", u"in", u"", {2}},
    {"program rules: notepad; ties in usage keep collection order", u"in", u"Notepad.exe",
     {2, 6, 7}},
    {"program rules: word", u"in", u"WORD.exe", {2}},
    {"letters beyond ASCII fold too", u"CAF\u00C9", u"", {9}},
    {"blanks around and between words are nothing", u"  by   way ", u"", {1}},
};

class PhraseSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(PhraseSearchTest, FindsAndRanks) {
  const SearchCase& c = GetParam();
  PhraseDatabase collection;
  Fill(collection, kPhrases);
  PhraseSearch search(&AsciiUpper);
  search.Build(collection, c.program);
  std::vector<uint32_t> ids;
  for (const SearchHit& hit : search.Find(c.query)) ids.push_back(hit.id);
  EXPECT_EQ(ids, c.ids);
}

INSTANTIATE_TEST_SUITE_P(Table, PhraseSearchTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(PhraseSearch, TheEditorSeesEveryEnabledPhraseWhateverItsRule) {
  PhraseDatabase collection;
  Fill(collection, kPhrases);
  PhraseSearch search(&AsciiUpper);
  search.Build(collection, u"", false);
  EXPECT_EQ(search.Size(), 8u);
}

TEST(PhraseSearch, EmphasisMarksEveryOccurrenceOfEveryWord) {
  PhraseDatabase collection;
  Fill(collection, kPhrases);
  PhraseSearch search(&AsciiUpper);
  search.Build(collection, u"");
  search.Find(u"re ard");
  const std::vector<Emphasis> ranges = search.EmphasisIn(u"Best regards, Tom, re");
  ASSERT_EQ(ranges.size(), 3u);
  EXPECT_EQ(ranges[0].begin, 5u);  // "re" of regards
  EXPECT_EQ(ranges[0].length, 2u);
  EXPECT_EQ(ranges[1].begin, 8u);  // "ard"
  EXPECT_EQ(ranges[1].length, 3u);
  EXPECT_EQ(ranges[2].begin, 19u);
}

// Typing a query one character at a time, deleting and starting over, gives the same hits
// as a fresh search every time.
TEST(PhraseSearch, NarrowingAsTheUserTypesGivesTheFreshAnswer) {
  std::mt19937 random(3);
  std::vector<Spec> specs;
  const std::u16string letters = u"abcde ";
  auto text = [&](size_t n) {
    std::u16string t;
    for (size_t i = 0; i < n; ++i) t += letters[random() % letters.size()];
    return t;
  };
  for (int i = 0; i < 300; ++i) specs.push_back({text(4), text(20), int32_t(random() % 5)});
  PhraseDatabase collection;
  Fill(collection, specs);
  PhraseSearch typing(&AsciiUpper);
  typing.Build(collection, u"");
  for (int round = 0; round < 200; ++round) {
    const std::u16string query = text(1 + random() % 6);
    for (size_t n = 0; n <= query.size(); ++n) {
      const std::u16string prefix = query.substr(0, n);
      PhraseSearch fresh(&AsciiUpper);
      fresh.Build(collection, u"");
      std::vector<uint32_t> a, b;
      for (const auto& hit : typing.Find(prefix)) a.push_back(hit.id);
      for (const auto& hit : fresh.Find(prefix)) b.push_back(hit.id);
      ASSERT_EQ(a, b) << "query of " << n << " units";
    }
  }
}

}  // namespace
}  // namespace vellix
