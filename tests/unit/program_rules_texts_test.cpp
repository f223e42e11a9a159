// A phrase's program rule as the editor shows it: the row tooltip's line, the rule that
// fires nowhere, program names as the user types them, and the lists the panel stores.

#include "editor/program_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "base/utf.h"
#include "editor/editor_texts.h"
#include "resource.h"

namespace vellix {
namespace {

std::u16string English(uint32_t id) {
  static const std::map<uint32_t, std::u16string> texts = {
      {IDS_ONLY_IN, u"only in: %1"},
      {IDS_NEVER_IN, u"never in: %1"},
      {IDS_FIRES_NOWHERE, u"fires nowhere: no program of its list is checked"},
  };
  const auto found = texts.find(id);
  return found == texts.end() ? std::u16string(u"?") : found->second;
}

std::shared_ptr<Phrase> Rule(int32_t mode, FlagMap include, FlagMap exclude) {
  auto phrase = std::make_shared<Phrase>();
  phrase->SetWord(u"w");
  phrase->SetUseWithList(mode);
  phrase->Include() = std::move(include);
  phrase->Exclude() = std::move(exclude);
  return phrase;
}

TEST(ProgramRulesTest, RuleTextNamesTheEnabledProgramsOfTheListInUse) {
  const struct {
    std::shared_ptr<Phrase> phrase;
    std::u16string_view text;
    bool nowhere;
  } cases[] = {
      {Rule(kUseIncludeList, {{u"notepad.exe", 1}, {u"winword.exe", 1}, {u"off.exe", 0}}, {{u"x.exe", 1}}),
       u"only in: notepad.exe, winword.exe", false},
      {Rule(kUseExcludeList, {{u"a.exe", 1}}, {{u"putty.exe", 1}}), u"never in: putty.exe", false},
      // The lists are kept while the phrase fires everywhere.
      {Rule(kNotUse, {{u"a.exe", 1}}, {{u"b.exe", 1}}), u"", false},
      // Never in programs that are all switched off: everywhere.
      {Rule(kUseExcludeList, {}, {{u"b.exe", 0}}), u"", false},
      {Rule(kUseIncludeList, {}, {}), u"fires nowhere: no program of its list is checked", true},
      {Rule(kUseIncludeList, {{u"a.exe", 0}}, {{u"b.exe", 1}}), u"fires nowhere: no program of its list is checked",
       true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgramRuleText(*c.phrase, English), c.text) << Utf16ToUtf8(c.text);
    EXPECT_EQ(FiresNowhere(*c.phrase), c.nowhere) << Utf16ToUtf8(c.text);
  }
}

TEST(ProgramRulesTest, RowTooltipEndsWithTheRule) {
  const auto only = Rule(kUseIncludeList, {{u"notepad.exe", 1}, {u"winword.exe", 1}}, {});
  const std::u16string tip = RowTooltip(*only, English);
  const std::u16string_view line = u"\nonly in: notepad.exe, winword.exe";
  ASSERT_GE(tip.size(), line.size());
  EXPECT_EQ(tip.substr(tip.size() - line.size()), line);
  const std::u16string everywhere = RowTooltip(*Rule(kNotUse, {{u"a.exe", 1}}, {}), English);
  EXPECT_EQ(everywhere.find(u"a.exe"), std::u16string::npos);
}

TEST(ProgramRulesTest, ModesAndUseWithList) {
  const struct {
    int32_t useWithList;
    ProgramRuleMode mode;
    int32_t storedBack;
  } cases[] = {
      {kUseIncludeList, ProgramRuleMode::kOnlyIn, kUseIncludeList},
      {kUseExcludeList, ProgramRuleMode::kNeverIn, kUseExcludeList},
      {kNotUse, ProgramRuleMode::kEverywhere, kNotUse},
      {7, ProgramRuleMode::kEverywhere, kNotUse},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RuleModeOf(*Rule(c.useWithList, {}, {})), c.mode) << c.useWithList;
    EXPECT_EQ(UseWithListOf(c.mode), c.storedBack) << c.useWithList;
  }
}

TEST(ProgramRulesTest, ProgramNamesAsTyped) {
  const struct {
    std::u16string_view typed, name;
  } cases[] = {
      {u"notepad.exe", u"notepad.exe"},
      {u"  WinWord.EXE\t", u"WinWord.EXE"},
      {u"\"C:\\Program Files\\App\\app.exe\"", u"app.exe"},
      {u"/usr/bin/tool.exe", u"tool.exe"},
      {u"", u""},
      {u"   ", u""},
      {u"C:\\folder\\", u""},
      {u"a?.exe", u""},
      {u"a=b.exe", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgramNameFromInput(c.typed), c.name) << Utf16ToUtf8(c.typed);
}

TEST(ProgramRulesTest, StoredListKeepsTheLastCheckOfEqualNamesAndDropsEmptyOnes) {
  FlagMap list = {{u"old.exe", 1}};
  StoreProgramList({{u"b.exe", true}, {u"", true}, {u"a.exe", true}, {u"b.exe", false}}, list);
  EXPECT_EQ(list, (FlagMap{{u"a.exe", 1}, {u"b.exe", 0}}));
}

}  // namespace
}  // namespace vellix
