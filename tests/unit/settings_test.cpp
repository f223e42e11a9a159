#include "services/settings.h"

#include <gtest/gtest.h>

#include "memory_profile_store.h"

namespace vellix {
namespace {

using testing::MemoryProfileStore;

SystemTime Day(uint16_t day) {
  SystemTime t;
  t.year = 2026;
  t.month = 12;
  t.day = day;
  return t;
}

class SettingsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Settings> Start(uint16_t day = 10) {
    return std::make_unique<Settings>(std::make_unique<MemoryProfileStore>(data), Day(day));
  }
  std::u16string Value(std::u16string_view key, std::u16string_view section = u"Settings") {
    return MemoryProfileStore(data).Value(section, key).value_or(u"<absent>");
  }
  void Put(std::u16string_view key, std::u16string_view value) {
    MemoryProfileStore(data).WriteString(u"Settings", key, value);
  }
  MemoryProfileStore::Data data;
};

TEST_F(SettingsTest, FirstStartWithoutFileGivesDefaultsAndCreatesIt) {
  auto settings = Start();
  EXPECT_TRUE(settings->firstRun);
  EXPECT_EQ(settings->langFile, u"");
  EXPECT_EQ(settings->databasePath, u"");
  EXPECT_EQ(settings->showCheckedPhrasesOnly, 0);
  EXPECT_EQ(settings->sounds, 1);
  EXPECT_EQ(Value(u"AlreadyRunning2"), u"1");
  EXPECT_EQ(Value(u"LaunchCount"), u"1");
  EXPECT_EQ(Value(u"LaunchCountPerDay"), u"1");
  EXPECT_EQ(Value(u"PrintedChars", u"Statistics"), u"0");
}

TEST_F(SettingsTest, SecondStartIsNoFirstRun) {
  Start();
  auto second = Start();
  EXPECT_FALSE(second->firstRun);
  EXPECT_EQ(Value(u"LaunchCount"), u"2");
  EXPECT_EQ(Value(u"LaunchCountPerDay"), u"1");
  Start(11);
  EXPECT_EQ(Value(u"LaunchCountPerDay"), u"2");
}

TEST_F(SettingsTest, AlreadyRunningZeroOrMissingInExistingFileIsFirstRun) {
  for (std::u16string_view stored : {u"0", u""}) {
    data = {};
    if (stored.empty()) Put(u"Other", u"x");
    else Put(u"AlreadyRunning2", stored);
    EXPECT_TRUE(Start()->firstRun);
    EXPECT_EQ(Value(u"AlreadyRunning2"), u"1");
    EXPECT_FALSE(Start()->firstRun);
  }
}

TEST_F(SettingsTest, LoadsStoredValuesAndCutsThemToTheirLimits) {
  Put(u"LangFile", std::u16string(150, u'L'));
  Put(u"DatabasePath", std::u16string(400, u'D'));
  Put(u"Sounds", u"5");
  Put(u"ShowCheckedPhrasesOnly", u"1");
  auto settings = Start();
  EXPECT_EQ(settings->langFile, std::u16string(100, u'L'));
  EXPECT_EQ(settings->databasePath, std::u16string(259, u'D'));
  EXPECT_EQ(settings->sounds, 5);
  EXPECT_EQ(settings->showCheckedPhrasesOnly, 1);
  Put(u"Sounds", u"0");
  EXPECT_EQ(Start()->sounds, 0);
}

TEST_F(SettingsTest, PasteThresholdFollowsTheSwitchAndTheLength) {
  const struct {
    const char16_t* on;
    const char16_t* length;
    uint32_t threshold;
  } cases[] = {
      {nullptr, nullptr, 200},  // defaults
      {u"1", u"500", 500},
      {u"0", u"500", 0},        // switched off
      {u"1", u"0", 0},          // a length of 0 switches it off too
      {u"1", u"-7", 0},         // a damaged length never pastes short phrases
      {u"7", u"x", 0},          // no digits: 0
  };
  for (const auto& c : cases) {
    if (c.on) Put(u"PasteLongPhrases", c.on);
    if (c.length) Put(u"PasteFromLength", c.length);
    EXPECT_EQ(Start()->PasteThreshold(), c.threshold)
        << (c.on ? "set" : "defaults") << " " << c.threshold;
  }
}

TEST_F(SettingsTest, ExpansionSwitchesAreOffByDefaultAndReadAsOnOrOff) {
  const struct {
    const char16_t* stored;  // null: the key is missing
    int32_t read;
  } cases[] = {{nullptr, 0}, {u"0", 0}, {u"1", 1}, {u"5", 1}, {u"-1", 1}, {u"x", 0}, {u"", 0}};
  const char16_t* keys[] = {u"ExpandOnWordEnd", u"UndoWithBackspace", u"CaseFollowsKeystroke"};
  for (const auto& c : cases) {
    data = {};
    if (c.stored)
      for (const char16_t* key : keys) Put(key, c.stored);
    auto settings = Start();
    const std::string what = c.stored ? "stored" : "missing";
    EXPECT_EQ(settings->expandOnWordEnd, c.read) << what;
    EXPECT_EQ(settings->undoWithBackspace, c.read) << what;
    EXPECT_EQ(settings->caseFollowsKeystroke, c.read) << what;
  }
  // Each key is its own: one switched on leaves the others off, and Save keeps them apart.
  data = {};
  Put(u"UndoWithBackspace", u"1");
  auto settings = Start();
  EXPECT_EQ(settings->expandOnWordEnd, 0);
  EXPECT_EQ(settings->undoWithBackspace, 1);
  EXPECT_EQ(settings->caseFollowsKeystroke, 0);
  settings->caseFollowsKeystroke = 1;
  EXPECT_TRUE(settings->Save());
  EXPECT_EQ(Value(u"ExpandOnWordEnd"), u"0");
  EXPECT_EQ(Value(u"UndoWithBackspace"), u"1");
  EXPECT_EQ(Value(u"CaseFollowsKeystroke"), u"1");
  auto again = Start();
  EXPECT_EQ(again->expandOnWordEnd, 0);
  EXPECT_EQ(again->undoWithBackspace, 1);
  EXPECT_EQ(again->caseFollowsKeystroke, 1);
}

TEST_F(SettingsTest, HotkeysDefaultToNoneAndDamagedValuesReadAsNone) {
  const struct {
    const char16_t* stored;
    int32_t read;
  } cases[] = {
      {nullptr, 0},      // default: no hotkey until the user picks one
      {u"1616", 1616},   // Ctrl+P as the hotkey control gives it (0x0650)
      {u"0", 0},
      {u"-5", 0},
      {u"65536", 0},     // beyond the control's 16 bits
      {u"x", 0},
  };
  for (const auto& c : cases) {
    if (c.stored) {
      Put(u"PauseKey", c.stored);
      Put(u"FindPhraseKey", c.stored);
    }
    auto settings = Start();
    EXPECT_EQ(settings->pauseKey, c.read) << (c.stored ? "stored" : "default");
    EXPECT_EQ(settings->findPhraseKey, c.read) << (c.stored ? "stored" : "default");
  }
}

TEST_F(SettingsTest, SaveWritesTheMembersAndTheStatisticsAndKeepsOtherKeys) {
  Put(u"Foreign", u"keep me");
  auto settings = Start();
  settings->langFile = u"Deutsch.lng";
  settings->databasePath = u"C:\\data\\db.xml";
  settings->sounds = 0;
  settings->showCheckedPhrasesOnly = 1;
  settings->pauseKey = 0x0650;
  settings->findPhraseKey = 0x0646;
  settings->statistics.AddPrintedChars(42);
  EXPECT_TRUE(settings->Save());
  EXPECT_EQ(Value(u"LangFile"), u"Deutsch.lng");
  EXPECT_EQ(Value(u"DatabasePath"), u"C:\\data\\db.xml");
  EXPECT_EQ(Value(u"Sounds"), u"0");
  EXPECT_EQ(Value(u"ShowCheckedPhrasesOnly"), u"1");
  EXPECT_EQ(Value(u"PasteLongPhrases"), u"1");
  EXPECT_EQ(Value(u"PasteFromLength"), u"200");
  EXPECT_EQ(Value(u"PauseKey"), u"1616");
  EXPECT_EQ(Value(u"FindPhraseKey"), u"1606");
  EXPECT_EQ(Value(u"PrintedChars", u"Statistics"), u"42");
  EXPECT_EQ(Value(u"Foreign"), u"keep me");
  auto again = Start();
  EXPECT_EQ(again->langFile, u"Deutsch.lng");
  EXPECT_EQ(again->pauseKey, 0x0650);
  EXPECT_EQ(again->findPhraseKey, 0x0646);
  EXPECT_EQ(again->statistics.PrintedChars(), 42u);
}

TEST_F(SettingsTest, PlacementRoundTripsAndMissingOrSentinelValuesFail) {
  auto settings = Start();
  const WindowPlacement rect{10, 20, 630, 470};
  ASSERT_TRUE(settings->SavePlacement(rect, u"EditorWindowPos"));
  EXPECT_EQ(Value(u"EditorWindowPos_RIGHT"), u"630");
  WindowPlacement loaded;
  EXPECT_TRUE(settings->LoadPlacement(loaded, u"EditorWindowPos"));
  EXPECT_EQ(loaded, rect);

  data.sections[u"settings"].erase(u"editorwindowpos_right");
  WindowPlacement partial{1, 2, 3, 4};
  EXPECT_FALSE(settings->LoadPlacement(partial, u"EditorWindowPos"));
  EXPECT_EQ(partial, (WindowPlacement{10, 20, 3, 4}));

  Put(u"EditorWindowPos_RIGHT", u"630");
  Put(u"EditorWindowPos_Y", u"-1000");
  EXPECT_FALSE(settings->LoadPlacement(partial, u"EditorWindowPos"));

  data.failWrites = true;
  EXPECT_FALSE(settings->SavePlacement(rect, u"EditorWindowPos"));
}

}  // namespace
}  // namespace vellix

namespace vellix {
namespace {

// Section "ExcludedPrograms" read at start (damaged lines left out), written whole by the
// tray command, and read again by the next start.
TEST(SettingsExcludedProgramsTest, ReadToggleAndReadAgain) {
  testing::MemoryProfileStore::Data data;
  data.exists = true;
  data.lines[u"excludedprograms"] = {u"notepad.exe=1", u"broken", u"a\\b.exe=1", u"x.exe=7", u"Term.exe=0"};
  auto settings = std::make_unique<Settings>(std::make_unique<testing::MemoryProfileStore>(data));
  EXPECT_EQ(settings->excludedPrograms,
            (std::vector<ExcludedProgram>{{u"notepad.exe", true}, {u"Term.exe", false}}));
  EXPECT_TRUE(settings->ToggleExcludedProgram(u"term.exe"));
  EXPECT_FALSE(settings->ToggleExcludedProgram(u"NOTEPAD.EXE"));
  EXPECT_EQ(data.lines[u"excludedprograms"], std::vector<std::u16string>{u"Term.exe=1"});
  settings = std::make_unique<Settings>(std::make_unique<testing::MemoryProfileStore>(data));
  EXPECT_EQ(settings->excludedPrograms, (std::vector<ExcludedProgram>{{u"Term.exe", true}}));
  EXPECT_TRUE(settings->IsProgramExcluded(u"TERM.exe"));
}

}  // namespace
}  // namespace vellix
