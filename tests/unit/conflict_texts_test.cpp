// The phrase list's tooltip lines about keystrokes that begin a longer one.

#include "editor/conflict_texts.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/utf.h"
#include "phrases/phrase.h"
#include "resource.h"

namespace vellix {
namespace {

std::u16string English(uint32_t id) {
  static const std::map<uint32_t, std::u16string> texts = {
      {IDS_PREFIX_BEGINS_OTHER, u"%1 begins %2 of [%3]"},
      {IDS_PREFIX_BEGUN_BY_OTHER, u"%1 of [%3] begins %2"},
      {IDS_PREFIX_CONFLICTS_MORE, u"and %1 more"},
      {IDS_PREFIX_NO_CONFLICT_AT_WORD_END, u"not at word end"},
  };
  const auto found = texts.find(id);
  return found == texts.end() ? std::u16string(u"?") : found->second;
}

char16_t AsciiUpper(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 0x20) : unit;
}

struct Spec {
  std::u16string word;
  std::vector<std::pair<std::u16string, int32_t>> keystrokes;  // keystroke, enabled
  int32_t caseSensitive = 0;
  int32_t enabled = 1;
};

struct TipCase {
  const char* name;
  std::vector<Spec> phrases;
  uint32_t id;  // the phrase whose tip is built
  std::string tip;
};

const TipCase kCases[] = {
    {"no conflict, no lines", {{u"one", {{u"a", 1}}}, {u"two", {{u"b", 1}}}}, 1, ""},
    {"its keystroke begins another's",
     {{u"Best regards", {{u"sig", 1}}}, {u"Signal", {{u"signal", 1}}}},
     1,
     "sig begins signal of [Signal]\nnot at word end"},
    {"another's keystroke begins its own",
     {{u"Best regards", {{u"sig", 1}}}, {u"Signal", {{u"signal", 1}}}},
     2,
     "sig of [Best regards] begins signal\nnot at word end"},
    {"two keystrokes of one phrase give one line",
     {{u"Best regards", {{u"s", 1}, {u"sig", 1}}}},
     1,
     "s begins sig of [Best regards]\nnot at word end"},
    {"a disabled keystroke of its own is no conflict",
     {{u"Best regards", {{u"sig", 0}}}, {u"Signal", {{u"signal", 1}}}},
     1,
     ""},
    {"a disabled phrase has no marks", {{u"Best regards", {{u"sig", 1}}, 0, 0}, {u"Signal", {{u"signal", 1}}}}, 1, ""},
    {"a disabled other phrase is no conflict",
     {{u"Best regards", {{u"sig", 1}}}, {u"Signal", {{u"signal", 1}}, 0, 0}},
     1,
     ""},
    {"both case-sensitive with other capitals: no conflict",
     {{u"Best regards", {{u"SIG", 1}}, 1}, {u"Signal", {{u"signal", 1}}, 1}},
     1,
     ""},
    {"one ignores case: a conflict",
     {{u"Best regards", {{u"SIG", 1}}, 1}, {u"Signal", {{u"signal", 1}}, 0}},
     1,
     "SIG begins signal of [Signal]\nnot at word end"},
    {"the other phrase on one line, cut",
     {{u"x", {{u"a", 1}}},
      {u"line one\r\nline two\tand a text much longer than forty units", {{u"ab", 1}}}},
     1,
     "a begins ab of [line one  line two and a text much longe\xE2\x80\xA6]\nnot at word end"},
    {"five lines, then a count",
     {{u"short", {{u"a", 1}}},
      {u"p2", {{u"ab", 1}}},
      {u"p3", {{u"ac", 1}}},
      {u"p4", {{u"ad", 1}}},
      {u"p5", {{u"ae", 1}}},
      {u"p6", {{u"af", 1}}},
      {u"p7", {{u"ag", 1}}},
      {u"p8", {{u"ah", 1}}}},
     1,
     "a begins ab of [p2]\na begins ac of [p3]\na begins ad of [p4]\na begins ae of [p5]\n"
     "a begins af of [p6]\nand 2 more\nnot at word end"},
};

class PrefixConflictTipTest : public ::testing::TestWithParam<TipCase> {};

TEST_P(PrefixConflictTipTest, NamesTheOtherKeystrokeAndPhrase) {
  const TipCase& c = GetParam();
  PhraseDatabase collection;
  for (const Spec& spec : c.phrases) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(spec.word);
    for (const auto& [keystroke, enabled] : spec.keystrokes) phrase->Prefixes()[keystroke] = enabled;
    phrase->SetCaseSensitive(spec.caseSensitive);
    phrase->SetEnabled(spec.enabled);
    collection.Add(std::move(phrase));
  }
  collection.Renumber();
  EXPECT_EQ(Utf16ToUtf8(PrefixConflictTip(collection, c.id, &AsciiUpper, English)), c.tip) << c.name;
  // The details panel marks keystrokes exactly when the tip has lines.
  EXPECT_EQ(KeystrokesInPrefixConflicts(collection, c.id, &AsciiUpper).empty(), c.tip.empty()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, PrefixConflictTipTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(PrefixConflictTip, OnlyTheKeystrokesInAPairAreMarked) {
  PhraseDatabase collection;
  for (const Spec& spec : std::vector<Spec>{{u"Best regards", {{u"br", 1}, {u"s", 1}, {u"sig", 1}, {u"xs", 0}}},
                                            {u"Signal", {{u"signal", 1}}}}) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(spec.word);
    for (const auto& [keystroke, enabled] : spec.keystrokes) phrase->Prefixes()[keystroke] = enabled;
    collection.Add(std::move(phrase));
  }
  collection.Renumber();
  EXPECT_EQ(KeystrokesInPrefixConflicts(collection, 1, &AsciiUpper), (std::vector<std::u16string>{u"s", u"sig"}));
  EXPECT_EQ(KeystrokesInPrefixConflicts(collection, 2, &AsciiUpper), (std::vector<std::u16string>{u"signal"}));
}

TEST(PrefixConflictTip, AnUnknownPhraseHasNone) {
  PhraseDatabase collection;
  EXPECT_TRUE(PrefixConflictTip(collection, 7, &AsciiUpper, English).empty());
}

}  // namespace
}  // namespace vellix
