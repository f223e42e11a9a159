// Phrases that fire only in some programs, or never in some, and programs in which nothing
// is kept or typed: the rules as the engine applies them to the focused window's program.

// The case table names only the fields that matter for each case.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "engine/typing_engine.h"
#include "phrases/phrase_database.h"
#include "unit/engine_fakes.h"

namespace vellix {
namespace {

using namespace vellix::testing;

constexpr WindowHandle kNotepad = kWindowA;
constexpr WindowHandle kWord = kWindowB;
constexpr WindowHandle kElevated = 0xE1;  // a program that cannot be opened

struct ListEntry {
  std::u16string program;
  int32_t enabled = 1;
};

struct RulePhrase {
  std::u16string text;
  int32_t mode = 2;  // UseWithList
  std::vector<ListEntry> include;
  std::vector<ListEntry> exclude;
};

struct RuleCase {
  const char* name;
  std::vector<RulePhrase> phrases;  // all with the keystroke "btw", in this order
  // What "btw" gives in Notepad, in Word and in the elevated program ("" for nothing).
  std::u16string inNotepad;
  std::u16string inWord;
  std::u16string inElevated;
};

const RuleCase kCases[] = {
    {"no rule fires everywhere", {{u"all"}}, u"all", u"all", u"all"},
    {"only in Notepad", {{u"np", 0, {{u"notepad.exe"}}}}, u"np", u"", u""},
    {"never in Notepad", {{u"np", 1, {}, {{u"notepad.exe"}}}}, u"", u"np", u""},
    {"file names compare without case", {{u"np", 0, {{u"NOTEPAD.exe"}}}}, u"np", u"", u""},
    {"a disabled entry does not count",
     {{u"np", 0, {{u"notepad.exe", 0}, {u"word.exe"}}}}, u"", u"np", u""},
    {"an include list with no enabled entry fires nowhere",
     {{u"none", 0, {{u"notepad.exe", 0}}}}, u"", u"", u""},
    {"an empty exclude list fires wherever the program is known", {{u"x", 1}}, u"x", u"x", u""},
    {"the list of the other mode plays no part",
     {{u"np", 0, {{u"notepad.exe"}}, {{u"notepad.exe"}}}}, u"np", u"", u""},
    {"an unknown mode value is no rule", {{u"odd", 7, {{u"word.exe"}}}}, u"odd", u"odd", u"odd"},
    {"the first phrase that applies wins",
     {{u"word only", 0, {{u"word.exe"}}}, {u"not in notepad", 1, {}, {{u"notepad.exe"}}},
      {u"fallback"}},
     u"fallback", u"word only", u"fallback"},
    {"an empty program name in a list matches no program",
     {{u"np", 0, {{u""}}}, {u"fallback"}}, u"fallback", u"fallback", u"fallback"},
};

class ProgramRulesTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ProgramRulesTest, TheFirstApplyingPhraseFires) {
  const RuleCase& c = GetParam();
  FakeDesktop desktop;
  desktop.windows.insert(kElevated);
  desktop.programs = {{kNotepad, u"Notepad.exe"}, {kWord, u"WORD.EXE"}};
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  PhraseDatabase phrases;
  for (const RulePhrase& spec : c.phrases) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(spec.text);
    phrase->Prefixes()[u"btw"] = 1;
    phrase->SetUseWithList(spec.mode);
    for (const ListEntry& e : spec.include) phrase->Include()[e.program] = e.enabled;
    for (const ListEntry& e : spec.exclude) phrase->Exclude()[e.program] = e.enabled;
    phrases.Add(std::move(phrase));
  }
  engine.LoadPhrases(phrases);
  ASSERT_TRUE(engine.StartTracking(true));
  const std::pair<WindowHandle, std::u16string> expected[] = {
      {kNotepad, c.inNotepad}, {kWord, c.inWord}, {kElevated, c.inElevated}};
  for (const auto& [window, text] : expected) {
    engine.OnWinEvent({kEventSystemForeground, window, 0, kObjIdWindow}, 0);
    const EngineEntry* entry = engine.FindEntry(u"btw");
    EXPECT_EQ(entry ? entry->text : u"", text) << "in window " << window;
    EXPECT_EQ(engine.FindEntryPlain(u"btw"), entry);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ProgramRulesTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RuleCase>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p != 0; ++p) {
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return name;
                         });

TEST(ProgramRules, TheProgramIsAskedWhenTheFocusedWindowChangesNotPerKey) {
  FakeDesktop desktop;
  desktop.programs = {{kNotepad, u"notepad.exe"}};
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  ASSERT_TRUE(engine.StartTracking(true));
  engine.OnWinEvent({kEventSystemForeground, kNotepad, 0, kObjIdWindow}, 0);
  EXPECT_EQ(desktop.programQueries, 1);
  for (int i = 0; i < 5; ++i) {
    engine.OnWinEvent({kEventObjectLocationChange, kNotepad, 0, kObjIdCaret}, 0);
    engine.OnKeyboardEvent({kWmKeyDown, CharKey(u'a'), 0, 0}, 0);
  }
  EXPECT_EQ(desktop.programQueries, 1);
  EXPECT_EQ(engine.CurrentProgram(), u"notepad.exe");
}

TEST(ProgramRules, AnExcludedProgramKeepsNoWordAndTypesNothing) {
  FakeDesktop desktop;
  desktop.programs = {{kNotepad, u"notepad.exe"}, {kWord, u"Word.exe"}};
  FakeRegistrar hooks;
  std::string trace;
  FakeSignals signals(trace);
  TypingEngine engine(desktop, hooks);
  PhraseDatabase phrases;
  auto phrase = std::make_unique<Phrase>();
  phrase->SetWord(u"by the way");
  phrase->Prefixes()[u"btw"] = 1;
  phrases.Add(std::move(phrase));
  engine.LoadPhrases(phrases);
  engine.SetInsertionSignals(&signals);
  ASSERT_TRUE(engine.StartTracking(true));
  engine.SetExcludedPrograms({u"WORD.EXE", u""});
  auto type = [&](std::u16string_view text) {
    for (char16_t unit : text) engine.OnKeyboardEvent({kWmKeyDown, CharKey(unit), 0, 0}, 0);
  };

  engine.OnWinEvent({kEventSystemForeground, kWord, 0, kObjIdWindow}, 0);
  EXPECT_TRUE(engine.InExcludedProgram());
  type(u"btw");
  EXPECT_EQ(engine.RecordCount(), 0u);
  EXPECT_EQ(trace.find('S'), std::string::npos) << "nothing may be scheduled: " << trace;

  engine.OnWinEvent({kEventSystemForeground, kNotepad, 0, kObjIdWindow}, 0);
  EXPECT_FALSE(engine.InExcludedProgram());
  type(u"bt");
  // Excluding the program in which a word is being typed drops the word at once.
  engine.SetExcludedPrograms({u"Notepad.EXE"});
  EXPECT_TRUE(engine.InExcludedProgram());
  EXPECT_EQ(engine.RecordCount(), 0u);
  engine.SetExcludedPrograms({});
  type(u"btw");
  EXPECT_NE(trace.find('S'), std::string::npos);
}

}  // namespace
}  // namespace vellix
