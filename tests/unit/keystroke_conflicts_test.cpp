// Keystrokes that fire before a longer one, as the phrase editor and vellix-db report them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "phrases/keystroke_conflicts.h"

namespace vellix {
namespace {

char16_t AsciiUpper(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 0x20) : unit;
}

struct Spec {
  std::vector<std::pair<std::u16string, int32_t>> keystrokes;  // keystroke, enabled
  int32_t caseSensitive = 0;
  int32_t enabled = 1;
};

void Fill(PhraseDatabase& collection, const std::vector<Spec>& specs) {
  for (const Spec& spec : specs) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(u"text");
    for (const auto& [keystroke, enabled] : spec.keystrokes) phrase->Prefixes()[keystroke] = enabled;
    phrase->SetCaseSensitive(spec.caseSensitive);
    phrase->SetEnabled(spec.enabled);
    collection.Add(std::move(phrase));
  }
  collection.Renumber();
}

struct ConflictCase {
  const char* name;
  std::vector<Spec> phrases;
  // "shorter/id<longer/id" for every pair, in collection order.
  std::vector<std::string> pairs;
};

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

const ConflictCase kCases[] = {
    {"a keystroke that begins another", {{{{u"b", 1}}}, {{{u"btw", 1}}}}, {"b/1<btw/2"}},
    {"the longer one first in the collection", {{{{u"btw", 1}}}, {{{u"bt", 1}}}}, {"bt/2<btw/1"}},
    {"equal keystrokes are duplicates, not prefixes", {{{{u"btw", 1}}}, {{{u"btw", 1}}}}, {}},
    {"case differs: no conflict only when both phrases are case-sensitive",
     {{{{u"B", 1}}, 1}, {{{u"btw", 1}}, 1}}, {}},
    {"case differs and one phrase ignores case", {{{{u"B", 1}}, 1}, {{{u"btw", 1}}, 0}},
     {"B/1<btw/2"}},
    {"two keystrokes of one phrase", {{{{u"s", 1}, {u"sig", 1}}}}, {"s/1<sig/1"}},
    {"disabled keystrokes and phrases do not fire",
     {{{{u"b", 0}}}, {{{u"bt", 1}}, 0, 0}, {{{u"btw", 1}}}}, {}},
    {"a chain gives every pair", {{{{u"a", 1}}}, {{{u"ab", 1}}}, {{{u"abc", 1}}}},
     {"a/1<ab/2", "a/1<abc/3", "ab/2<abc/3"}},
    {"a keystroke that ends another is no conflict", {{{{u"tw", 1}}}, {{{u"btw", 1}}}}, {}},
};

class PrefixConflictTest : public ::testing::TestWithParam<ConflictCase> {};

TEST_P(PrefixConflictTest, FindsEveryPairAsTheEngineComparesThem) {
  const ConflictCase& c = GetParam();
  PhraseDatabase collection;
  Fill(collection, c.phrases);
  const KeystrokeConflicts found = FindPrefixConflicts(collection, &AsciiUpper, 100);
  std::vector<std::string> pairs;
  for (const auto& conflict : found.examples) {
    pairs.push_back(Narrow(conflict.shorter) + "/" + std::to_string(conflict.shorterId) + "<" +
                    Narrow(conflict.longer) + "/" + std::to_string(conflict.longerId));
  }
  std::sort(pairs.begin(), pairs.end());
  std::vector<std::string> expected = c.pairs;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(pairs, expected);
  EXPECT_EQ(found.total, c.pairs.size());
  // The phrases the editor marks are exactly those with a keystroke in a pair.
  std::vector<uint32_t> ids;
  for (const auto& conflict : found.examples) {
    ids.push_back(conflict.shorterId);
    ids.push_back(conflict.longerId);
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  EXPECT_EQ(PhrasesInPrefixConflicts(collection, &AsciiUpper), ids);
  // The editor's view of one keystroke agrees with the whole scan.
  for (const auto& conflict : found.examples) {
    const auto mine = ConflictsOf(collection, conflict.shorterId, conflict.shorter, &AsciiUpper);
    EXPECT_TRUE(std::any_of(mine.begin(), mine.end(), [&](const KeystrokeConflict& k) {
      return k.longer == conflict.longer && k.longerId == conflict.longerId;
    }));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, PrefixConflictTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(PrefixConflicts, TheExamplesAreCutButTheCountIsExact) {
  std::vector<Spec> specs;
  std::u16string keystroke;
  for (int i = 0; i < 30; ++i) {
    keystroke += u'a';
    specs.push_back({{{keystroke, 1}}});
  }
  PhraseDatabase collection;
  Fill(collection, specs);
  const KeystrokeConflicts found = FindPrefixConflicts(collection, &AsciiUpper, 5);
  EXPECT_EQ(found.total, 30u * 29u / 2u);
  ASSERT_EQ(found.examples.size(), 5u);
  EXPECT_EQ(found.examples[0].shorterId, 1u);
}

}  // namespace
}  // namespace vellix
