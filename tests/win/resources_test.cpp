// The program's resources as the code finds them at run time: the English string table,
// the menus, the dialog templates, the icons and the version information.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/wide.h"
#include "lang/language_win.h"
#include "resource.h"

namespace vellix {
namespace {

struct StringCase {
  uint32_t id;
  std::u16string_view text;
};

const StringCase kStringTable[] = {
    {1, u"has been started"},
    {2, u"OK, complete running"},
    {3, u"Already running"},
    {4, u"Snippets"},
    {5, u"Turn On"},
    {6, u"Turn Off"},
    {7, u"Phrase"},
    {8, u"Case Sensitive"},
    {9, u"Add/Replace"},
    {10, u"Append Keystroke"},
    {11, u"Replace Keystroke"},
    {12, u"Save changes?"},
    {13, u"Details"},
    {14, u"Detection type"},
    {15, u"Case uNsensituve"},
    {16, u"Action"},
    {17, u"Append"},
    {18, u"Replace"},
    {19, u"Checked only"},
    {20, u"Add"},
    {21, u"Usage Count"},
    {22, u"No"},
    {23, u"Yes"},
    {24, u"Replace"},
    {25, u"NOT USE"},
    {26, u"Keystrokes"},
    {27, u"Add new keystroke"},
    {28, u"Remove selected keystroke"},
    {29, u"Vellix Home Page"},
    {30, u"Before edit required enable the phrase."},
    {31, u"Done running instance of Vellix"},
    {32, u"Disable setting \"Start with Windows\""},
    {33, u"Edit phrases"},
    {34, u"Show information about command line keys"},
    {35, u"Command Line Keys"},
    {36, u"Detected duplicate keystokes!"},
    {37, u"Use Ctrl+Enter for new line beginning"},
    {38, u"Characters"},
    {39, u"Press \"Facebook-Like\" on the home page, if you like this program"},
    {40, u"Select Language"},
    {41, u"Select language of Vellix"},
    {42, u"Create Language File"},
    {43, u"Released"},
    {44, u"Home Page"},
    {45, u"Technical Support"},
    {46, u"News RSS feed in English"},
    {47, u"News RSS feed in Russian"},
    {48, u"Facebook User`s Group"},
    {49, u"Vellix Clip: a history of the texts you copy"},
    {50, u"Vellix Clip remembers the texts you copied and lets you paste any of them again from the tray."},
    {51, u"Other Our Products"},
    {52, u"Vellix Notes: short notes at hand in the tray"},
    {53, u"Vellix Notes keeps short notes one click away in the notification area and saves them as you type."},
    {54, u"Vellix Timer: a quiet reminder to take a break"},
    {55, u"Vellix Timer shows a gentle reminder after the time you set, so that you remember to rest your eyes."},
    {56, u"Small tools for everyday work at the keyboard"},
    {57, u"as default"},
    {58, u"This is about %d pages of the Great British Encyclopedia"},
    {80, u"%1 was not read to its end. Phrases read: %2. Reading stopped at line %3, column %4."},
    {81, u"%1 was not read whole. Phrases read: %2. A damaged element at line %3, column %4 was left out."},
    {82, u"%1 could not be read."},
    {83, u"Vellix will not save this file by itself until you save it from the phrase editor, which keeps a backup "
         u"of it first."},
    {84, u"The keystroke \"%1\" can never expand: a blank, a tab, a line break and each of , # ? \" ' = / \\ end the "
         u"word being typed, and a full stop starts a new one."},
    {120, u"changed on disk"},
    {121, u"%1 was changed on disk by another program after the editor loaded it. Save the phrases shown here over "
          u"it anyway? The file as it is on disk is kept in the backup folder first."},
    {122, u"CSV Files (*.csv)|*.csv|Tab-Separated Files (*.tsv; *.tab; *.txt)|*.tsv;*.tab;*.txt|AutoHotkey Scripts "
          u"(*.ahk)|*.ahk|espanso Match Files (*.yml; *.yaml)|*.yml;*.yaml"},
    {123, u"Phrases imported from %1: %2. They stand at the end of the list, the first of them selected; save to keep "
          u"them."},
    {124, u"No phrases were found in %1."},
    {125, u"Entries left out: %1"},
    {126, u"Imported without a part that Vellix has no equivalent for: %1"},
    {127, u"Line %1: %2"},
    {128, u"\u2026 and %1 more"},
    {129, u"Keystrokes that now belong to more than one phrase: %1"},
    {130, u"%1 could not be imported. %2"},
    {131, u"The file could not be opened."},
    {132, u"Vellix does not know the format of this file."},
    {140, u"\"%1\" begins the keystroke \"%2\" of \"%3\": while \"%2\" is typed, \"%1\" expands first unless the "
          u"keys come faster than the delay."},
    {141, u"\"%1\" of \"%3\" begins the keystroke \"%2\": while \"%2\" is typed, \"%1\" expands first unless the "
          u"keys come faster than the delay."},
    {142, u"\u2026 and %1 more"},
    {143, u"No conflict with Expand When the Word Ends in the tray menu: every keystroke then waits for the end of "
          u"its word."},
    {32771, u"Enable "},
    {32776, u"Add new phrase\nAdd"},
    {32777, u"Delete selected phrase\nDelete"},
    {32780, u"Edit selected phrase\nEdit Phrase"},
    {32784, u"Visit to official forum"},
    {32785, u"Send message to technical support from feedback form on web-site"},
    {32787, u"Show information about Vellix, version and copyprights\nAbout Vellix"},
    {32788, u"Show information about Vellix, version and copyprights\nAbout Vellix"},
    {32790, u"Open database with phrases\nOpen"},
    {32791, u"Use the opened database as default\nUse the Database As Default"},
    {32794, u"Open backups folder in file manager\nOpen Backup Folder"},
    {32795, u"Show informations about command line keys\nCommand Line Keys"},
    {32796, u"Restart the Vellix\nRestart"},
    {32797, u"Save changes and close editor\nSave And Close"},
    {33050, u"Import phrases from CSV, AutoHotkey or espanso files\nImport"},
    {33100, u"Expand a keystroke only when a blank, a separator or a full stop ends its word\n"
            u"Expand When the Word Ends"},
    {33101, u"A Backspace pressed right after an expansion gives back the keystroke\nUndo With Backspace"},
    {33102, u"A keystroke typed with a capital first letter or in capitals types the phrase so too\n"
            u"Case Follows the Keystroke"},
    {57665, u"Exit from Vellix"},
    {57666, u"Disable Temporary"},
    {57667, u"Enable"},
    {57668, u"Chars typed"},
    {57669, u"Edit Phrases"},
    {57670, u"ERROR: keystrokes not specified"},
};

TEST(Resources, EveryStringLoadsWithItsEnglishText) {
  for (const StringCase& c : kStringTable) {
    std::u16string text;
    EXPECT_TRUE(LoadBuiltInString(c.id, text)) << c.id;
    EXPECT_EQ(text, c.text) << c.id;
  }
  std::u16string text;
  EXPECT_FALSE(LoadBuiltInString(59, text));
  EXPECT_TRUE(text.empty());
}

struct Item {
  UINT id;  // 0 for a separator, -1 for a submenu
  std::u16string text;
};

std::vector<Item> ItemsOf(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t buffer[260];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = 260;
    buffer[0] = 0;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    items.push_back({(info.fType & MFT_SEPARATOR) ? 0u : info.hSubMenu ? UINT(-1) : info.wID, AsU16(buffer)});
  }
  return items;
}

void ExpectItems(HMENU menu, const std::vector<Item>& expected) {
  const std::vector<Item> items = ItemsOf(menu);
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].id, expected[i].id) << i;
    if (!expected[i].text.empty()) {
      EXPECT_EQ(items[i].text, expected[i].text) << i;
    }
  }
}

TEST(Resources, TrayMenuHoldsItsCommandsInOrder) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  HMENU popup = GetSubMenu(menu, 0);
  ExpectItems(popup, {{57665, u"Exit"},
                      {32796, u"Restart"},
                      {0, u""},
                      {32788, u"About Vellix\u2026"},
                      {32773, u"Visit To Web Site"},
                      {32784, u"Visit To Forum"},
                      {32785, u"Technical Support"},
                      {0, u""},
                      {32774, u"Edit Phrases"},
                      {32783, u"Add Phrase From Clipboard"},
                      {33151, u"Find Phrase\u2026"},
                      {0, u""},
                      {33152, u"Find Phrase Key\u2026"},
                      {33150, u"Pause Key\u2026"},
                      {33100, u"Expand When the Word Ends"},
                      {33101, u"Undo With Backspace"},
                      {33102, u"Case Follows the Keystroke"},
                      {32901, u"Paste Long Phrases"},
                      {32772, u"Start With Windows"},
                      {32789, u"Sounds"},
                      {UINT(-1), u"Language"},
                      {33000, u"Do Not Expand in This Program"},
                      {32771, u"Enable"}});
  ExpectItems(GetSubMenu(popup, 20), {{32000, u"English (Embedded)"}, {0, u""}, {32786, u"Create Language File"}});
  DestroyMenu(menu);
}

TEST(Resources, EditorMenuHoldsEveryCommand) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_EDITOR_MENU));
  ASSERT_TRUE(menu);
  ExpectItems(menu, {{UINT(-1), u"&File"}, {UINT(-1), u"&Edit"}, {UINT(-1), u"&View"}, {UINT(-1), u"&Help"}});
  ExpectItems(GetSubMenu(menu, 0), {{32790, u"&Open\u2026"},
                                    {33050, u"&Import\u2026"},
                                    {32794, u"Open &Backup Folder"},
                                    {32791, u"&Use the Database As Default"},
                                    {0, u""},
                                    {32797, u"&Save And Close"}});
  ExpectItems(GetSubMenu(menu, 1), {{32776, u"&Add"},
                                    {32780, u"&Edit Phrase\u2026"},
                                    {32777, u"&Delete"},
                                    {0, u""},
                                    {32781, u"&Copy"},
                                    {32782, u"&Paste"}});
  ExpectItems(GetSubMenu(menu, 2), {{32775, u"C&hecked Only"}});
  ExpectItems(GetSubMenu(menu, 3), {{32795, u"Command &Line Keys"}, {32787, u"About &Vellix\u2026"}});
  DestroyMenu(menu);
}

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

TEST(Resources, MainDialogHoldsOkAndCancel) {
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, QuietProc, 0);
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_TRUE(GetDlgItem(dialog, IDOK));
  EXPECT_TRUE(GetDlgItem(dialog, IDCANCEL));
  int children = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, 2);
  DestroyWindow(dialog);
}

TEST(Resources, LanguageDialogTemplate) {
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LANGUAGE), nullptr, QuietProc, 0);
  ASSERT_TRUE(dialog);
  HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
  ASSERT_TRUE(combo);
  EXPECT_EQ(ClassOf(combo), L"ComboBox");
  const LONG_PTR style = GetWindowLongPtrW(combo, GWL_STYLE);
  EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
  ASSERT_TRUE(GetDlgItem(dialog, IDC_LANGUAGE_TEXT));
  EXPECT_EQ(ClassOf(GetDlgItem(dialog, IDC_LANGUAGE_TEXT)), L"Static");
  EXPECT_TRUE(GetDlgItem(dialog, IDOK));
  EXPECT_TRUE(GetDlgItem(dialog, IDCANCEL));
  DestroyWindow(dialog);
}

TEST(Resources, IconsHaveEverySize) {
  for (int id : {IDI_ENGINE_ON, IDI_ENGINE_OFF, IDI_LIST_IMAGE}) {
    for (int size : {16, 32, 48}) {
      HICON icon = HICON(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
      ASSERT_TRUE(icon) << id << " " << size;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP bitmap{};
      GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
      EXPECT_EQ(bitmap.bmWidth, size) << id;
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
}

std::wstring VersionString(const wchar_t* name) {
  wchar_t file[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, file, MAX_PATH);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &handle);
  std::vector<BYTE> data(size);
  if (!size || !GetFileVersionInfoW(file, 0, size, data.data())) return L"<none>";
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || !value) return L"<none>";
  return static_cast<const wchar_t*>(value);
}

TEST(Resources, VersionInformation) {
  EXPECT_EQ(VersionString(L"ProductVersion"), L"1, 0, 0, 1");
  EXPECT_EQ(VersionString(L"FileVersion"), L"1, 0, 0, 1");
  EXPECT_EQ(VersionString(L"ProductName"), L"Vellix");
  EXPECT_NE(VersionString(L"LegalCopyright").find(L"Copyright"), std::wstring::npos);
}

TEST(Resources, ManifestIsEmbedded) {
  HRSRC manifest = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_TRUE(manifest);
  const char* text = static_cast<const char*>(LockResource(LoadResource(GetModuleHandleW(nullptr), manifest)));
  const std::string xml(text, SizeofResource(GetModuleHandleW(nullptr), manifest));
  EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(xml.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(xml.find("asInvoker"), std::string::npos);
}

}  // namespace
}  // namespace vellix
