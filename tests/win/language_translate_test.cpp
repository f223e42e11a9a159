// Translation of menus and dialogs through the language file.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "lang/localized_dialog_win.h"
#include "language_test_support.h"
#include "resource.h"

namespace vellix::testing {
namespace {

using MenuTranslationTest = LanguageTest;

std::u16string ItemText(HMENU menu, int position) {
  wchar_t buffer[260] = {};
  GetMenuStringW(menu, UINT(position), buffer, 260, MF_BYPOSITION);
  return AsU16(buffer);
}

bool Contains(const std::vector<std::u16string>& keys, const std::u16string& key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

TEST_F(MenuTranslationTest, TranslatesItemsAndWritesMissingKeys) {
  WriteUnicode(u"German.lng", u"[Menu]\r\nEdit=Bearbeiten\r\nSub=Unter\\tmen\u00fc\r\n");
  StartLanguage(u"German.lng");
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 11, L"Wait\u2026 here\u2026");
  AppendMenuW(menu, MF_STRING, 1, L"&Edit\tCtrl+E");
  AppendMenuW(menu, MF_STRING, 2, L"Edit Phrase\u2026");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, 3, L"Caf\u00e9");
  AppendMenuW(menu, MF_STRING, 4, L"\u041f\u0440\u0430\u0432\u043a\u0430");
  AppendMenuW(menu, MF_POPUP, UINT_PTR(sub), L"Sub");
  AppendMenuW(menu, MF_STRING, 5, L"[Strings]");
  AppendMenuW(menu, MF_STRING, 6, L"a=b");

  TranslateMenu(menu);

  EXPECT_EQ(ItemText(menu, 0), u"Bearbeiten\tCtrl+E");
  EXPECT_EQ(ItemText(menu, 1), u"Edit Phrase\u2026");
  EXPECT_EQ(ItemText(menu, 5), u"Unter\tmen\u00fc");  // an escaped tab in a value
  EXPECT_EQ(Value(u"German.lng", u"Menu", u"Edit_Phrase"), u"Edit Phrase\u2026");
  EXPECT_EQ(Value(u"German.lng", u"Menu", u"Wait_here"), u"Wait\u2026 here\u2026");
  const std::vector<std::u16string> keys = Keys(u"German.lng", u"Menu");
  EXPECT_EQ(keys.size(), 4u);  // Edit, Sub, Edit_Phrase, Wait_here
  EXPECT_FALSE(Contains(keys, u"Caf\u00e9"));
  EXPECT_FALSE(Contains(keys, u"\u041f\u0440\u0430\u0432\u043a\u0430"));
  for (const std::u16string& key : keys) EXPECT_EQ(key.find(u'\u2026'), std::u16string::npos);
  // A text that would read back as a section header or split at "=" is never written, so
  // the "Strings" section keeps meaning what it meant.
  EXPECT_EQ(Keys(u"German.lng", u"Strings").size(), 0u);
  EXPECT_EQ(ReadBytes(u"German.lng").find("[\0S\0t\0r\0", 0, 8), std::string::npos);
  DestroyMenu(menu);
}

TEST_F(MenuTranslationTest, MissingFileIsCreatedWithItsMainSection) {
  StartLanguage(u"New.lng");
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  TranslateMenu(menu);
  DestroyMenu(menu);
  EXPECT_EQ(ReadBytes(u"New.lng").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Value(u"New.lng", u"Main", u"LangPrefix"), u"En");
  EXPECT_EQ(Value(u"New.lng", u"Main", u"Author"), u"Type Your name and email (optional)");
  EXPECT_EQ(Value(u"New.lng", u"Main", u"LangLocalized"), u"English (Type localized name of language here)");
  EXPECT_EQ(Value(u"New.lng", u"Menu", u"Tray"), u"Tray");
  EXPECT_EQ(Value(u"New.lng", u"Menu", u"About_Vellix"), u"About Vellix\u2026");
  EXPECT_EQ(Value(u"New.lng", u"Menu", u"Add_Phrase_From_Clipboard"), u"Add Phrase From Clipboard");
  EXPECT_EQ(Value(u"New.lng", u"Menu", u"English_(Embedded)"), u"English (Embedded)");
}

// The hidden main dialog's template with one control of every kind added at run time.
class ProbeDialog : public LocalizedDialog {
 public:
  explicit ProbeDialog(bool has_caption = true) : LocalizedDialog(IDD_MAIN), has_caption_(has_caption) {
    ExcludeFromTranslation(1013);
  }
  bool HasCaption() const override { return has_caption_ && LocalizedDialog::HasCaption(); }

  HWND edit = nullptr, list = nullptr, updown = nullptr, tree = nullptr, label = nullptr, button = nullptr,
       excluded = nullptr, multiline = nullptr;

 protected:
  bool OnInitDialog() override {
    auto make = [&](const wchar_t* cls, const wchar_t* text, int id) {
      return CreateWindowExW(0, cls, text, WS_CHILD, 0, 0, 50, 20, hwnd(), HMENU(INT_PTR(id)), nullptr, nullptr);
    };
    edit = make(L"Edit", L"Returns caret to left", 2001);
    list = make(WC_LISTVIEWW, L"Returns caret to left", 2002);
    updown = make(UPDOWN_CLASSW, L"Returns caret to left", 2003);
    tree = make(WC_TREEVIEWW, L"Returns caret to left", 2004);
    label = make(L"Static", L" Returns caret to left ", 2005);
    button = make(L"Button", L"Press Me", 2006);
    excluded = make(L"Static", L"Returns caret to left", 1013);
    multiline = make(L"Static", L"two\r\nlines", 2007);
    return LocalizedDialog::OnInitDialog();
  }

 private:
  bool has_caption_;
};

class DialogTranslationTest : public LanguageTest {
 protected:
  void SetUp() override {
    LanguageTest::SetUp();
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&classes);
  }
};

TEST_F(DialogTranslationTest, StaticsAndButtonsAreTranslatedOtherControlsKeepTheirText) {
  WriteUnicode(u"German.lng",
               u"[Dialog_102]\r\nReturns_caret_to_left=Caret zur\u00fcck\r\nDLG_CAPTION=Hauptfenster\r\n"
               u"OK=Gut\r\n");
  StartLanguage(u"German.lng");
  ProbeDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_EQ(WindowText(dialog.label), u"Caret zur\u00fcck");
  EXPECT_EQ(WindowText(dialog.Item(IDOK)), u"Gut");
  EXPECT_EQ(WindowText(dialog.button), u"Press Me");
  EXPECT_EQ(WindowText(dialog.edit), u"Returns caret to left");
  EXPECT_EQ(WindowText(dialog.list), u"Returns caret to left");
  EXPECT_EQ(WindowText(dialog.updown), u"Returns caret to left");
  EXPECT_EQ(WindowText(dialog.tree), u"Returns caret to left");
  EXPECT_EQ(WindowText(dialog.excluded), u"Returns caret to left");
  EXPECT_EQ(WindowText(dialog.hwnd()), u"Hauptfenster");
  // Missing keys get the English texts; line breaks are escaped into one line.
  EXPECT_EQ(Value(u"German.lng", u"Dialog_102", u"Press_Me"), u"Press Me");
  EXPECT_EQ(Value(u"German.lng", u"Dialog_102", u"Cancel"), u"Cancel");
  EXPECT_EQ(Value(u"German.lng", u"Dialog_102", u"two\\r\\nlines"), u"<missing>");
  EXPECT_EQ(Keys(u"German.lng", u"Dialog_102").size(), 5u);
}

TEST_F(DialogTranslationTest, TranslatingAgainUsesTheEnglishKeys) {
  WriteUnicode(u"German.lng", u"[Dialog_102]\r\nCancel=Abbrechen\r\n");
  WriteUnicode(u"French.lng", u"[Dialog_102]\r\nCancel=Annuler\r\n");
  StartLanguage(u"German.lng");
  ProbeDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_EQ(WindowText(dialog.Item(IDCANCEL)), u"Abbrechen");
  language_->SetLanguage(u"French.lng");
  TranslateDialog(dialog);
  EXPECT_EQ(WindowText(dialog.Item(IDCANCEL)), u"Annuler");
  EXPECT_EQ(Value(u"French.lng", u"Dialog_102", u"Abbrechen"), u"<missing>");
}

TEST_F(DialogTranslationTest, CaptionIsLeftAloneWithoutACaptionBar) {
  WriteUnicode(u"German.lng", u"[Dialog_102]\r\nDLG_CAPTION=Hauptfenster\r\n");
  StartLanguage(u"German.lng");
  ProbeDialog dialog(false);
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_EQ(WindowText(dialog.hwnd()), u"Vellix");
}

TEST_F(DialogTranslationTest, MissingCaptionIsWritten) {
  StartLanguage(u"German.lng");
  ProbeDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_EQ(Value(u"German.lng", u"Dialog_102", u"DLG_CAPTION"), u"Vellix");
  EXPECT_EQ(Value(u"German.lng", u"Dialog_102", u"Returns_caret_to_left"), u"Returns caret to left");
  EXPECT_EQ(ReadBytes(u"German.lng").substr(0, 2), "\xFF\xFE");
}

}  // namespace
}  // namespace vellix::testing
