#include "lang/language_keys.h"

#include <gtest/gtest.h>

namespace vellix {
namespace {

struct MenuKeyCase {
  std::u16string_view text;
  std::u16string_view plain;
  std::u16string_view key;
  bool has_shortcut;
  std::u16string_view shortcut;
};

TEST(MenuKey, DerivesPlainTextKeyAndShortcut) {
  const MenuKeyCase cases[] = {
      {u"Edit Phrase\u2026", u"Edit Phrase\u2026", u"Edit_Phrase", false, u""},
      {u"Save And Close", u"Save And Close", u"Save_And_Close", false, u""},
      {u"&Edit\tCtrl+E", u"Edit", u"Edit", true, u"Ctrl+E"},
      {u"About &Vellix\u2026", u"About Vellix\u2026", u"About_Vellix", false, u""},
      {u"Open...", u"Open...", u"Open", false, u""},
      {u"Wait\u2026 here", u"Wait\u2026 here", u"Wait_here", false, u""},
      {u"&&Both", u"Both", u"Both", false, u""},
      {u"\tAlone", u"\tAlone", u"\tAlone", false, u""},  // a tab in front is no shortcut
      {u"Copy\t", u"Copy", u"Copy", true, u""},
      {u"A\tB\tC", u"A", u"A", true, u"B\tC"},
      {u"", u"", u"", false, u""},
  };
  for (const MenuKeyCase& c : cases) {
    const MenuKey key = DeriveMenuKey(c.text);
    SCOPED_TRACE(std::string(c.key.begin(), c.key.end()));
    EXPECT_EQ(key.plain, c.plain);
    EXPECT_EQ(key.key, c.key);
    EXPECT_EQ(key.has_shortcut, c.has_shortcut);
    EXPECT_EQ(key.shortcut, c.shortcut);
  }
}

TEST(MenuKey, TranslationKeepsTheShortcut) {
  EXPECT_EQ(JoinMenuText(u"Bearbeiten", DeriveMenuKey(u"&Edit\tCtrl+E")), u"Bearbeiten\tCtrl+E");
  EXPECT_EQ(JoinMenuText(u"Bearbeiten", DeriveMenuKey(u"&Edit")), u"Bearbeiten");
}

TEST(KeyboardKey, AcceptsOnlyKeyboardCharacters) {
  EXPECT_TRUE(IsKeyboardKey(u"Edit_Phrase"));
  EXPECT_TRUE(IsKeyboardKey(u"azAZ09<>,./?;:']}[{!#$%^&*()-_=+\\|\"@"));
  EXPECT_FALSE(IsKeyboardKey(u"Caf\u00e9"));
  EXPECT_FALSE(IsKeyboardKey(u"\u041f\u0440\u0430\u0432\u043a\u0430"));  // Cyrillic
  EXPECT_FALSE(IsKeyboardKey(u"Edit Phrase"));  // a blank never stays in a key
  EXPECT_FALSE(IsKeyboardKey(u"Tab\there"));
  EXPECT_FALSE(IsKeyboardKey(u"Wait\u2026"));
  EXPECT_FALSE(IsKeyboardKey(u"~`"));
}

TEST(SafeKey, RejectsKeysThatWouldChangeTheFile) {
  EXPECT_TRUE(IsSafeKey(u"Edit_Phrase"));
  EXPECT_TRUE(IsSafeKey(u"a[b]"));
  EXPECT_FALSE(IsSafeKey(u""));
  EXPECT_FALSE(IsSafeKey(u"[Strings]"));
  EXPECT_FALSE(IsSafeKey(u";comment"));
  EXPECT_FALSE(IsSafeKey(u"a=b"));
  EXPECT_FALSE(IsSafeKey(u"line\r\nbreak"));
}

TEST(ControlKey, TrimsAndJoinsWithUnderscores) {
  EXPECT_EQ(DeriveControlKey(u"Returns caret to left"), u"Returns_caret_to_left");
  EXPECT_EQ(DeriveControlKey(u"  OK  "), u"OK");
  EXPECT_EQ(DeriveControlKey(u"a  b"), u"a__b");
  EXPECT_EQ(DeriveControlKey(u"   "), u"");
  EXPECT_EQ(DeriveControlKey(u"&Cancel"), u"&Cancel");
}

TEST(StringKey, IsDecimalWithoutLeadingZeros) {
  EXPECT_EQ(StringKey(0), u"0");
  EXPECT_EQ(StringKey(12), u"12");
  EXPECT_EQ(StringKey(57665), u"57665");
  EXPECT_EQ(StringKey(4294967295u), u"4294967295");
}

TEST(Escape, RoundTripsLineBreaksAndTabs) {
  const struct {
    std::u16string_view text;
    std::u16string_view value;
  } cases[] = {
      {u"a\r\nb", u"a\\r\\nb"},
      {u"\tx\t", u"\\tx\\t"},
      {u"plain", u"plain"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeValue(c.text), c.value);
    EXPECT_EQ(UnescapeValue(c.value), c.text);
  }
}

TEST(Escape, UnescapeLeavesOtherBackslashesAlone) {
  EXPECT_EQ(UnescapeValue(u"C:\\data\\x"), u"C:\\data\\x");
  EXPECT_EQ(UnescapeValue(u"end\\"), u"end\\");
  EXPECT_EQ(UnescapeValue(u"Line\\nbreak"), u"Line\nbreak");
  EXPECT_EQ(UnescapeValue(u"\\\\n"), u"\\\n");  // only the backslash before n is taken
}

TEST(LanguagePaths, ExampleFileComparison) {
  EXPECT_TRUE(IsExampleFile(u"C:\\Vellix\\LocalizeExample.lng"));
  EXPECT_TRUE(IsExampleFile(u"C:\\Vellix\\localizeexample.LNG"));
  EXPECT_FALSE(IsExampleFile(u"C:\\Vellix\\German.lng"));
  EXPECT_FALSE(IsExampleFile(u"C:\\Vellix\\LocalizeExample.lng.bak"));
  EXPECT_EQ(ExampleFileBeside(u"D:\\lang\\German.lng"), u"D:\\lang\\LocalizeExample.lng");
}

TEST(LanguagePaths, CurrentPathFromTheSetting) {
  EXPECT_EQ(LanguagePath(u"C:\\Vellix\\", u""), u"C:\\Vellix\\LocalizeExample.lng");
  EXPECT_EQ(LanguagePath(u"C:\\Vellix\\", u"German.lng"), u"C:\\Vellix\\German.lng");
  EXPECT_EQ(LanguagePath(u"C:\\Vellix", u"German.lng"), u"C:\\Vellix\\German.lng");
  // Only the file name of the setting counts: the language file stays in the program folder.
  EXPECT_EQ(LanguagePath(u"C:\\Vellix\\", u"..\\..\\Windows\\win.ini"), u"C:\\Vellix\\win.ini");
  EXPECT_EQ(LanguagePath(u"C:\\Vellix\\", u"D:/x/German.lng"), u"C:\\Vellix\\German.lng");
  EXPECT_EQ(LanguagePath(u"C:\\Vellix\\", u"sub\\"), u"C:\\Vellix\\LocalizeExample.lng");
}

TEST(LanguagePaths, NamesAndListing) {
  EXPECT_EQ(FolderOf(u"C:\\a\\b.lng"), u"C:\\a\\");
  EXPECT_EQ(FolderOf(u"b.lng"), u"");
  EXPECT_EQ(FileNameOf(u"C:\\a\\b.lng"), u"b.lng");
  EXPECT_EQ(FileTitle(u"German.lng"), u"German");
  EXPECT_EQ(FileTitle(u"my.lang.lng"), u"my.lang");
  EXPECT_EQ(FileTitle(u"NoExt"), u"NoExt");
  EXPECT_TRUE(IsListedLanguageFile(u"German.LNG"));
  EXPECT_FALSE(IsListedLanguageFile(u"LOCALIZEEXAMPLE.lng"));
  EXPECT_FALSE(IsListedLanguageFile(u"German.lngx"));
  EXPECT_EQ(LanguageComboEntry(u"Deutsch", u"German.lng"), u"Deutsch [German.lng]");
}

}  // namespace
}  // namespace vellix
