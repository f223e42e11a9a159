// The tray menu as it is shown: items, texts, checks, the default item, the clipboard
// rule, and the commands that change settings and the autostart entry.
// Needs a display (the Windows tests run on a private Xvfb).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/tray_menu_host.h"
#include "app/tray_menu_win.h"
#include "base/wide.h"
#include "language_test_support.h"
#include "resource.h"
#include "services/autostart_win.h"
#include "services/clipboard_win.h"
#include "services/settings.h"
#include "unit/memory_profile_store.h"
#include "win32/menu_helpers_win.h"

namespace vellix {
namespace {

class FakeHost final : public TrayMenuHost {
 public:
  HWND MainWindow() noexcept override { return window; }
  bool IsEngineOn() noexcept override { return engineOn; }
  void EnableCommand() noexcept override { calls.push_back(u"enable"); }
  void RequestClose(bool restart) noexcept override { calls.push_back(restart ? u"restart" : u"close"); }
  void RunPhraseEditor(HWND hint, bool addOnOpen) noexcept override {
    calls.push_back(hint ? u"editor with hint" : (addOnOpen ? u"editor add" : u"editor"));
  }
  void ShowAbout() noexcept override { calls.push_back(u"about"); }
  HWND EditorWindow() noexcept override { return editor; }
  void LanguageChanged() noexcept override { calls.push_back(u"language"); }
  void EngineSettingsChanged() noexcept override { calls.push_back(u"engine settings"); }
  std::u16string ProgramBeforeTray() noexcept override { return program; }
  void ProgramExclusionChanged(const std::u16string& name, bool excluded) noexcept override {
    calls.push_back((excluded ? u"excluded " : u"admitted ") + name);
  }
  void ChooseHotkey(HotkeyUse use) noexcept override {
    calls.push_back(use == HotkeyUse::kPause ? u"pause key" : u"find phrase key");
  }
  void OpenPhrasePicker() noexcept override { calls.push_back(u"picker"); }

  HWND window = nullptr;
  HWND editor = nullptr;
  bool engineOn = false;
  std::u16string program;
  std::vector<std::u16string> calls;
};

UINT State(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND); }

std::vector<UINT> Ids(HMENU popup) {
  std::vector<UINT> ids;
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    const HMENU sub = GetSubMenu(popup, i);
    ids.push_back(sub ? UINT(-2) : GetMenuItemID(popup, i));  // a separator has id 0
  }
  return ids;
}

void PutFormats(std::initializer_list<UINT> formats) {
  ClipboardBlocks blocks;
  for (UINT format : formats) {
    if (format == CF_UNICODETEXT) blocks[format] = {'a', 0, 0, 0};
    else blocks[format] = {'a', 0};
  }
  ASSERT_TRUE(PutClipboardBlocks(blocks));
}

class TrayMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.window = CreateWindowExW(0, L"STATIC", L"tray menu test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_.window, nullptr);
    autostart_ = IsAutostartOn();
  }
  void TearDown() override {
    SetAutostart(autostart_);
    DestroyWindow(host_.window);
  }

  // The prepared menu's popup; the menu is destroyed with the fixture step.
  HMENU Prepare() {
    menu_ = PrepareTrayMenu(host_, settings_);
    return TrayPopup(menu_.get());
  }

  UniqueMenu menu_;
  FakeHost host_;
  testing::MemoryProfileStore::Data data_;
  Settings settings_{std::make_unique<testing::MemoryProfileStore>(data_)};
  bool autostart_ = false;
};

TEST_F(TrayMenuTest, ItemsInOrderWithTextsAndDefaultItem) {
  const HMENU popup = Prepare();
  ASSERT_NE(popup, nullptr);
  const UINT sep = 0, sub = UINT(-2);
  EXPECT_EQ(Ids(popup), (std::vector<UINT>{57665, 32796, sep, 32788, 32773, 32784, 32785, sep, 32774, 32783,
                                          33151, sep, 33152, 33150, 33100, 33101, 33102, 32901, 32772, 32789, sub,
                                          33000, 32771}));
  EXPECT_EQ(GetMenuItemText(popup, ID_ENABLE), u"Enable");
  EXPECT_EQ(GetMenuItemText(popup, ID_EDIT_PHRASES), u"Edit Phrases");
  EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), UINT(ID_EDIT_PHRASES));
  EXPECT_EQ(State(popup, ID_EDIT_PHRASES) & MF_GRAYED, 0u);

  host_.engineOn = true;
  EXPECT_EQ(GetMenuItemText(Prepare(), ID_ENABLE), u"Disable Temporary");
}

TEST_F(TrayMenuTest, ChecksFollowTheSettingsAndTheRunEntry) {
  const struct {
    int32_t sounds;
    bool autostart;
  } cases[] = {{0, false}, {1, true}, {1, false}, {0, true}};
  for (const auto& c : cases) {
    settings_.sounds.store(c.sounds);
    ASSERT_TRUE(SetAutostart(c.autostart));
    const HMENU popup = Prepare();
    EXPECT_EQ((State(popup, ID_SOUNDS) & MF_CHECKED) != 0, c.sounds != 0);
    EXPECT_EQ((State(popup, ID_START_WITH_WINDOWS) & MF_CHECKED) != 0, c.autostart);
  }
}

TEST_F(TrayMenuTest, AddFromClipboardNeedsBothTextFormats) {
  PutFormats({PrivateClipboardFormat()});
  EXPECT_NE(State(Prepare(), ID_ADD_FROM_CLIPBOARD) & MF_GRAYED, 0u);
  PutFormats({CF_TEXT, CF_UNICODETEXT});
  EXPECT_EQ(State(Prepare(), ID_ADD_FROM_CLIPBOARD) & MF_GRAYED, 0u);
  // With one format only, the item follows what the clipboard reports for the other one
  // (the system may offer it converted).
  for (UINT only : {UINT(CF_TEXT), UINT(CF_UNICODETEXT)}) {
    PutFormats({only});
    ASSERT_TRUE(OpenClipboard(nullptr));
    const bool both = IsClipboardFormatAvailable(CF_TEXT) && IsClipboardFormatAvailable(CF_UNICODETEXT);
    CloseClipboard();
    EXPECT_EQ((State(Prepare(), ID_ADD_FROM_CLIPBOARD) & MF_GRAYED) == 0, both) << only;
  }
}

// A hotkey's keys follow its command's text after a tab, as menus show the keys of a command.
TEST_F(TrayMenuTest, HotkeyItemsShowTheirKeys) {
  auto text = [](HMENU popup, UINT id) {
    wchar_t buffer[260] = {};
    GetMenuStringW(popup, id, buffer, 260, MF_BYCOMMAND);
    return std::u16string(AsU16(buffer));
  };
  HMENU popup = Prepare();
  EXPECT_EQ(text(popup, ID_PAUSE_KEY), u"Pause Key\u2026") << "no keys chosen";
  EXPECT_EQ(text(popup, ID_FIND_PHRASE), u"Find Phrase\u2026");
  settings_.pauseKey = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'P';
  settings_.findPhraseKey = HOTKEYF_SHIFT << 8 | VK_F9;
  popup = Prepare();
  EXPECT_EQ(text(popup, ID_PAUSE_KEY), u"Pause Key\u2026\tCtrl+Alt+P");
  EXPECT_EQ(text(popup, ID_FIND_PHRASE), u"Find Phrase\u2026\tShift+F9");
  EXPECT_EQ(text(popup, ID_FIND_PHRASE_KEY), u"Find Phrase Key\u2026");
}

TEST_F(TrayMenuTest, StartWithWindowsTogglesTheRunEntryAndReopens) {
  ASSERT_TRUE(SetAutostart(false));
  EXPECT_TRUE(RunTrayCommand(host_, ID_START_WITH_WINDOWS, settings_));
  EXPECT_TRUE(IsAutostartOn());
  EXPECT_NE(State(Prepare(), ID_START_WITH_WINDOWS) & MF_CHECKED, 0u);
  EXPECT_TRUE(RunTrayCommand(host_, ID_START_WITH_WINDOWS, settings_));
  EXPECT_FALSE(IsAutostartOn());
  EXPECT_EQ(State(Prepare(), ID_START_WITH_WINDOWS) & MF_CHECKED, 0u);
}

TEST_F(TrayMenuTest, SoundsToggleAndIsSaved) {
  settings_.sounds.store(0);
  EXPECT_FALSE(RunTrayCommand(host_, ID_SOUNDS, settings_));
  EXPECT_EQ(settings_.sounds.load(), 1);
  EXPECT_EQ(settings_.Store().GetInt(u"Settings", u"Sounds", -1), 1);
  settings_.sounds.store(5);
  EXPECT_FALSE(RunTrayCommand(host_, ID_SOUNDS, settings_));
  EXPECT_EQ(settings_.sounds.load(), 0);
  EXPECT_EQ(settings_.Store().GetInt(u"Settings", u"Sounds", -1), 0);
}

TEST_F(TrayMenuTest, PasteLongPhrasesTogglesIsSavedAndTellsTheEngine) {
  EXPECT_NE(State(Prepare(), ID_PASTE_LONG_PHRASES) & MF_CHECKED, 0u) << "on by default";
  EXPECT_FALSE(RunTrayCommand(host_, ID_PASTE_LONG_PHRASES, settings_));
  EXPECT_EQ(settings_.PasteThreshold(), 0u);
  EXPECT_EQ(settings_.Store().GetInt(u"Settings", u"PasteLongPhrases", -1), 0);
  EXPECT_EQ(State(Prepare(), ID_PASTE_LONG_PHRASES) & MF_CHECKED, 0u);
  // Switched on again with a length of 0 in the file, it takes the default length.
  settings_.pasteFromLength = 0;
  EXPECT_FALSE(RunTrayCommand(host_, ID_PASTE_LONG_PHRASES, settings_));
  EXPECT_EQ(settings_.PasteThreshold(), uint32_t{Settings::kDefaultPasteFromLength});
  EXPECT_EQ(settings_.Store().GetInt(u"Settings", u"PasteFromLength", -1),
            Settings::kDefaultPasteFromLength);
  EXPECT_EQ(host_.calls, (std::vector<std::u16string>{u"engine settings", u"engine settings"}));
}

// "Do Not Expand in [program]" names the program the user was in, is checked while that
// program is excluded, and each choice switches the exclusion, saves it and tells the host.
TEST_F(TrayMenuTest, DoNotExpandInNamesTheProgramAndSwitchesItsExclusion) {
  host_.program = u"R&D Tool.exe";
  HMENU popup = Prepare();
  EXPECT_EQ(GetMenuItemText(popup, ID_DO_NOT_EXPAND_IN), u"Do Not Expand in R&&D Tool.exe");
  EXPECT_EQ(State(popup, ID_DO_NOT_EXPAND_IN) & (MF_CHECKED | MF_GRAYED), 0u);

  EXPECT_FALSE(RunTrayCommand(host_, ID_DO_NOT_EXPAND_IN, settings_));
  EXPECT_EQ(data_.lines[u"excludedprograms"], std::vector<std::u16string>{u"R&D Tool.exe=1"});
  EXPECT_NE(State(Prepare(), ID_DO_NOT_EXPAND_IN) & MF_CHECKED, 0u);
  host_.program = u"r&d tool.EXE";  // the same program in another case
  EXPECT_NE(State(Prepare(), ID_DO_NOT_EXPAND_IN) & MF_CHECKED, 0u);

  EXPECT_FALSE(RunTrayCommand(host_, ID_DO_NOT_EXPAND_IN, settings_));
  EXPECT_TRUE(settings_.excludedPrograms.empty());
  EXPECT_EQ(data_.lines.count(u"excludedprograms"), 0u);
  EXPECT_EQ(State(Prepare(), ID_DO_NOT_EXPAND_IN) & MF_CHECKED, 0u);
  EXPECT_EQ(host_.calls, (std::vector<std::u16string>{u"excluded R&D Tool.exe", u"admitted r&d tool.EXE"}));

  // Without a known program the item is grey with its own text, and does nothing.
  for (const char16_t* unknown : {u"", u"C:\\x\\y.exe"}) {
    host_.program = unknown;
    host_.calls.clear();
    popup = Prepare();
    EXPECT_EQ(GetMenuItemText(popup, ID_DO_NOT_EXPAND_IN), u"Do Not Expand in This Program");
    EXPECT_NE(State(popup, ID_DO_NOT_EXPAND_IN) & MF_GRAYED, 0u);
    EXPECT_FALSE(RunTrayCommand(host_, ID_DO_NOT_EXPAND_IN, settings_));
    EXPECT_TRUE(host_.calls.empty());
    EXPECT_TRUE(settings_.excludedPrograms.empty());
  }
}

TEST_F(TrayMenuTest, ExpansionSwitchesAreOffByDefaultToggleAreSavedAndTellTheEngine) {
  const struct {
    UINT command;
    const char16_t* key;
    int32_t Settings::*member;
  } cases[] = {
      {ID_EXPAND_ON_WORD_END, u"ExpandOnWordEnd", &Settings::expandOnWordEnd},
      {ID_UNDO_WITH_BACKSPACE, u"UndoWithBackspace", &Settings::undoWithBackspace},
      {ID_CASE_FOLLOWS_KEYSTROKE, u"CaseFollowsKeystroke", &Settings::caseFollowsKeystroke},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(State(Prepare(), c.command) & MF_CHECKED, 0u) << c.command << " is off by default";
  }
  for (const auto& c : cases) {
    host_.calls.clear();
    EXPECT_FALSE(RunTrayCommand(host_, c.command, settings_)) << c.command;
    EXPECT_EQ(settings_.*c.member, 1) << c.command;
    EXPECT_EQ(settings_.Store().GetInt(u"Settings", c.key, -1), 1) << c.command;
    EXPECT_EQ(host_.calls, std::vector<std::u16string>{u"engine settings"}) << c.command;
    // Each item shows its own setting: the ones switched on so far are checked, the rest not.
    const HMENU popup = Prepare();
    for (const auto& other : cases) {
      EXPECT_EQ((State(popup, other.command) & MF_CHECKED) != 0, settings_.*other.member != 0)
          << c.command << " then " << other.command;
    }
  }
  for (const auto& c : cases) {
    EXPECT_FALSE(RunTrayCommand(host_, c.command, settings_)) << c.command;
    EXPECT_EQ(settings_.*c.member, 0) << c.command;
    EXPECT_EQ(settings_.Store().GetInt(u"Settings", c.key, -1), 0) << c.command;
    EXPECT_EQ(State(Prepare(), c.command) & MF_CHECKED, 0u) << c.command;
  }
}

TEST_F(TrayMenuTest, CommandsReachTheHost) {
  const struct {
    UINT command;
    const char16_t* call;
  } cases[] = {
      {ID_APP_EXIT, u"close"},          {ID_RESTART, u"restart"},  {ID_TRAY_ABOUT, u"about"},
      {ID_EDIT_PHRASES, u"editor"},     {ID_ADD_FROM_CLIPBOARD, u"editor add"},
      {ID_ENABLE, u"enable"},           {ID_FIND_PHRASE, u"picker"},
      {ID_FIND_PHRASE_KEY, u"find phrase key"},                   {ID_PAUSE_KEY, u"pause key"},
  };
  for (const auto& c : cases) {
    host_.calls.clear();
    EXPECT_FALSE(RunTrayCommand(host_, c.command, settings_)) << c.command;
    EXPECT_EQ(host_.calls, std::vector<std::u16string>{c.call}) << c.command;
  }
  host_.calls.clear();
  EXPECT_FALSE(RunTrayCommand(host_, 0, settings_));
  EXPECT_TRUE(host_.calls.empty());
}

class TrayMenuLanguageTest : public testing::LanguageTest {};

TEST_F(TrayMenuLanguageTest, LanguageItemSavesTellsTheHostAndReopens) {
  StartLanguage(u"");
  FakeHost host;
  testing::MemoryProfileStore::Data data;
  Settings unused(std::make_unique<testing::MemoryProfileStore>(data));
  EXPECT_TRUE(RunTrayCommand(host, ID_LANGUAGE_ENGLISH, unused));
  EXPECT_EQ(host.calls, std::vector<std::u16string>{u"language"});
  EXPECT_GE(settings_.saves, 1);
  EXPECT_EQ(settings_.lang_file, u"");
}

}  // namespace
}  // namespace vellix
