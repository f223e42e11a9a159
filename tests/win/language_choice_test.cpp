// The language list: the tray menu's "Language" submenu, the language dialog, and the
// "Create Language File" export.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "lang/language_dialog_win.h"
#include "lang/language_export_win.h"
#include "lang/localized_dialog_win.h"
#include "language_test_support.h"
#include "resource.h"

namespace vellix::testing {
namespace {

class LanguageChoiceTest : public LanguageTest {
 protected:
  void SetUp() override {
    LanguageTest::SetUp();
    WriteUnicode(u"German.lng", u"[General]\r\nLanguage=Deutsch\r\n[Strings]\r\n40=Sprache w\u00e4hlen\r\n");
    WriteUnicode(u"French.lng", u"[General]\r\nLanguage=Fran\u00e7ais\r\n");
    WriteUnicode(u"Blank.lng", u"[General]\r\nLanguage=\r\n");
    WriteUnicode(u"LocalizeExample.lng", u"");
    WriteUnicode(u"Notes.lngx", u"");
  }
  // Position of a file in the scan, which keeps the order of the file system.
  int IndexOf(const std::u16string& file) {
    const std::vector<std::u16string>& files = language_->LanguageFiles();
    return int(std::find(files.begin(), files.end(), file) - files.begin());
  }
};

struct MenuEntry {
  UINT id;
  std::u16string text;
  bool radio;
  bool checked;
};

std::vector<MenuEntry> EntriesOf(HMENU menu) {
  std::vector<MenuEntry> entries;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t buffer[260] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = 260;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    entries.push_back({(info.fType & MFT_SEPARATOR) ? 0u : info.wID, AsU16(buffer), (info.fType & MFT_RADIOCHECK) != 0,
                       (info.fState & MFS_CHECKED) != 0});
  }
  return entries;
}

// The tray's submenu that holds the English item, wherever it stands.
HMENU LanguageSubmenu(HMENU tray) {
  const HMENU popup = GetSubMenu(tray, 0);
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    const HMENU submenu = GetSubMenu(popup, i);
    if (submenu && GetMenuState(submenu, ID_LANGUAGE_ENGLISH, MF_BYCOMMAND) != UINT(-1)) return submenu;
  }
  return nullptr;
}

TEST_F(LanguageChoiceTest, ScanListsLanguageFilesOnly) {
  StartLanguage(u"");
  std::vector<std::u16string> files = language_->LanguageFiles();
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::u16string>{u"Blank.lng", u"French.lng", u"German.lng"}));
  // Once the list holds files the folder is not scanned again.
  WriteUnicode(u"Later.lng", u"");
  EXPECT_EQ(language_->LanguageFiles().size(), 3u);
}

TEST_F(LanguageChoiceTest, MenuShowsFileNamesAndTheSelectedLanguageName) {
  StartLanguage(u"german.LNG");
  HMENU tray = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  HMENU submenu = LanguageSubmenu(tray);
  BuildLanguageMenu(submenu);
  const std::vector<MenuEntry> entries = EntriesOf(submenu);
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0].id, UINT(ID_LANGUAGE_ENGLISH));
  EXPECT_EQ(entries[0].text, u"English (Embedded)");
  EXPECT_TRUE(entries[0].radio);
  EXPECT_FALSE(entries[0].checked);
  const auto entry_of = [&](const std::u16string& file) { return entries[size_t(1 + IndexOf(file))]; };
  EXPECT_EQ(entry_of(u"German.lng").text, u"Deutsch");
  EXPECT_TRUE(entry_of(u"German.lng").checked);
  EXPECT_TRUE(entry_of(u"German.lng").radio);
  EXPECT_EQ(entry_of(u"French.lng").text, u"French");
  EXPECT_FALSE(entry_of(u"French.lng").checked);
  EXPECT_EQ(entry_of(u"Blank.lng").text, u"Blank");
  EXPECT_EQ(entry_of(u"French.lng").id, UINT(ID_LANGUAGE_FIRST_FILE + IndexOf(u"French.lng")));
  EXPECT_EQ(entries[4].id, 0u);
  EXPECT_EQ(entries[5].id, UINT(ID_CREATE_LANGUAGE_FILE));
  EXPECT_EQ(entries[5].text, u"Create Language File");

  // Rebuilding gives the same items, not a second copy.
  BuildLanguageMenu(submenu);
  EXPECT_EQ(EntriesOf(submenu).size(), 6u);
  DestroyMenu(tray);
}

TEST_F(LanguageChoiceTest, MenuChecksEnglishWhenNoFileIsSet) {
  StartLanguage(u"");
  HMENU tray = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  HMENU submenu = LanguageSubmenu(tray);
  BuildLanguageMenu(submenu);
  const std::vector<MenuEntry> entries = EntriesOf(submenu);
  EXPECT_TRUE(entries[0].checked);
  for (size_t i = 1; i < entries.size(); ++i) EXPECT_FALSE(entries[i].checked) << i;
  EXPECT_EQ(entries[size_t(1 + IndexOf(u"German.lng"))].text, u"German");
  DestroyMenu(tray);
}

TEST_F(LanguageChoiceTest, OtherSubmenusAreLeftAlone) {
  StartLanguage(u"");
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 5, L"Five");
  BuildLanguageMenu(menu);
  EXPECT_EQ(GetMenuItemCount(menu), 1);
  DestroyMenu(menu);
}

TEST_F(LanguageChoiceTest, LanguageItemsSetTheFile) {
  StartLanguage(u"");
  EXPECT_TRUE(language_->HandleLanguageCommand(UINT(ID_LANGUAGE_FIRST_FILE + IndexOf(u"German.lng"))));
  EXPECT_EQ(settings_.lang_file, u"German.lng");
  EXPECT_EQ(settings_.saves, 1);
  EXPECT_EQ(GetLocalizedString(IDS_SELECT_LANGUAGE), u"Sprache w\u00e4hlen");
  EXPECT_TRUE(language_->HandleLanguageCommand(ID_LANGUAGE_ENGLISH));
  EXPECT_EQ(settings_.lang_file, u"");
  settings_.SetLangFile(u"Stale.lng");
  EXPECT_TRUE(language_->HandleLanguageCommand(32050));  // stale index
  EXPECT_EQ(settings_.lang_file, u"");
  EXPECT_FALSE(language_->HandleLanguageCommand(ID_CREATE_LANGUAGE_FILE));
  EXPECT_EQ(settings_.saves, 3);
}

std::vector<std::u16string> ComboEntries(HWND combo) {
  std::vector<std::u16string> entries;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(size_t(SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
    text.resize(size_t(SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text.data()))));
    entries.push_back(ToU16(text));
  }
  return entries;
}

TEST_F(LanguageChoiceTest, DialogListsLanguagesAndSelectsTheCurrentOne) {
  StartLanguage(u"German.lng");
  LanguageDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  const HWND combo = dialog.Item(IDC_LANGUAGE_COMBO);
  const std::vector<std::u16string> entries = ComboEntries(combo);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0], u"English (Embedded)");
  EXPECT_EQ(entries[size_t(1 + IndexOf(u"German.lng"))], u"Deutsch [German.lng]");
  EXPECT_EQ(entries[size_t(1 + IndexOf(u"French.lng"))], u"French [French.lng]");
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1 + IndexOf(u"German.lng"));
  EXPECT_EQ(WindowText(dialog.hwnd()), u"Vellix : Sprache w\u00e4hlen");
  EXPECT_EQ(WindowText(dialog.Item(IDC_LANGUAGE_TEXT)), u"Select language of Vellix");

  // Confirming an entry switches the language at once.
  SendMessageW(combo, CB_SETCURSEL, WPARAM(1 + IndexOf(u"French.lng")), 0);
  SendMessageW(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELENDOK), LPARAM(combo));
  EXPECT_EQ(settings_.lang_file, u"French.lng");
  EXPECT_EQ(settings_.saves, 1);
  EXPECT_EQ(WindowText(dialog.hwnd()), u"Vellix : Select Language");
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  SendMessageW(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELENDOK), LPARAM(combo));
  EXPECT_EQ(settings_.lang_file, u"");
}

TEST_F(LanguageChoiceTest, DialogShowsTheFileNameForAnEmptyLanguageName) {
  StartLanguage(u"Blank.lng");
  LanguageDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  const std::vector<std::u16string> entries = ComboEntries(dialog.Item(IDC_LANGUAGE_COMBO));
  EXPECT_EQ(entries[size_t(1 + IndexOf(u"Blank.lng"))], u"Blank.lng [Blank.lng]");
  EXPECT_EQ(SendMessageW(dialog.Item(IDC_LANGUAGE_COMBO), CB_GETCURSEL, 0, 0), 1 + IndexOf(u"Blank.lng"));
}

TEST_F(LanguageChoiceTest, ExportWritesEveryTextAndKeepsExistingValues) {
  WriteUnicode(u"Out.lng", u"[Strings]\r\n4=Schnipsel\r\n[Menu]\r\nExit=Beenden\r\n");
  StartLanguage(u"German.lng");
  std::vector<std::u16string> opened;
  ASSERT_TRUE(ExportLanguageFile(PathOf(u"Out.lng"), [&](const std::u16string& path) { opened.push_back(path); }));
  EXPECT_EQ(opened, std::vector<std::u16string>{PathOf(u"Out.lng")});
  EXPECT_EQ(ReadBytes(u"Out.lng").substr(0, 2), "\xFF\xFE");
  // Kept values.
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"4"), u"Schnipsel");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Exit"), u"Beenden");
  // Menus of both menu resources.
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"About_Vellix"), u"About Vellix\u2026");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Edit_Phrase"), u"Edit Phrase\u2026");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Use_the_Database_As_Default"), u"Use the Database As Default");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"English_(Embedded)"), u"English (Embedded)");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Expand_When_the_Word_Ends"), u"Expand When the Word Ends");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Undo_With_Backspace"), u"Undo With Backspace");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Case_Follows_the_Keystroke"), u"Case Follows the Keystroke");
  // Every string-table entry.
  EXPECT_EQ(Keys(u"Out.lng", u"Strings").size(), 134u);  // the whole English table
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"100"), u"Do Not Expand in %1");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"108"), u"fires nowhere: no program of its list is checked");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Do_Not_Expand_in_This_Program"), u"Do Not Expand in This Program");
  EXPECT_EQ(Value(u"Out.lng", u"Dialog_135", u"3002"), u"Add\u2026");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"142"), u"\u2026 and %1 more");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"33102"),
            u"A keystroke typed with a capital first letter or in capitals types the phrase so too\\n"
            u"Case Follows the Keystroke");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"58"), u"This is about %d pages of the Great British Encyclopedia");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"82"), u"%1 could not be read.");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"32797"), u"Save changes and close editor\\nSave And Close");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"57670"), u"ERROR: keystrokes not specified");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"120"), u"changed on disk");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"33050"), u"Import phrases from CSV, AutoHotkey or espanso files\\nImport");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Import"), u"Import\u2026");
  EXPECT_EQ(Value(u"Out.lng", u"Strings", u"165"), u"Ctrl");
  EXPECT_EQ(Value(u"Out.lng", u"Menu", u"Pause_Key"), u"Pause Key\u2026");
  // Every dialog, by control id.
  EXPECT_EQ(Value(u"Out.lng", u"Dialog_137", u"1014"), u"Select language of Vellix");
  EXPECT_EQ(Value(u"Out.lng", u"Dialog_137", u"1"), u"OK");
  EXPECT_EQ(Value(u"Out.lng", u"Dialog_137", u"1013"), u"<missing>");  // a drop-down list has no text
  EXPECT_EQ(Value(u"Out.lng", u"Dialog_102", u"2"), u"Cancel");
  EXPECT_EQ(Value(u"Out.lng", u"Dialog_3150", u"3153"), u"None");  // the hotkey dialog
  // The same entries reach the example file of that folder.
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Strings", u"4"), u"Snippets");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Dialog_137", u"1014"), u"Select language of Vellix");
  // An existing file gets no instructions; the current language is the old one again.
  EXPECT_EQ(Value(u"Out.lng", u"Main", u"TIP"), u"<missing>");
  EXPECT_EQ(language_->CurrentPath(), PathOf(u"German.lng"));
  EXPECT_EQ(settings_.lang_file, u"German.lng");
  EXPECT_EQ(Value(u"German.lng", u"Strings", u"58"), u"<missing>");
}

TEST_F(LanguageChoiceTest, ExportIntoANewFileWritesTheInstructions) {
  StartLanguage(u"");
  ASSERT_TRUE(ExportLanguageFile(PathOf(u"Fresh.lng"), nullptr));
  EXPECT_EQ(ReadBytes(u"Fresh.lng").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Value(u"Fresh.lng", u"Main", u"TIP"), u"ATTENTION: Save the file as Unicode encoding!!!!");
  EXPECT_EQ(Value(u"Fresh.lng", u"Main", u"Author"), u"Write here the Your name and email (optional)");
  EXPECT_EQ(Value(u"Fresh.lng", u"Main", u"LangLocalized"), u"Write here the localized name of Your language");
  EXPECT_EQ(Value(u"Fresh.lng", u"Main", u"LangPrefix").rfind(u"Write here the prefix of Your language.", 0), 0u);
  EXPECT_EQ(Value(u"Fresh.lng", u"Strings", u"1"), u"has been started");
  EXPECT_EQ(language_->CurrentPath(), PathOf(u"LocalizeExample.lng"));
}

}  // namespace
}  // namespace vellix::testing
