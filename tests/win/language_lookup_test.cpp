// String lookup through the current language file and the example file, and the handling
// of damaged language files.
#include <windows.h>

#include <gtest/gtest.h>

#include "language_test_support.h"
#include "resource.h"

namespace vellix::testing {
namespace {

using LanguageLookupTest = LanguageTest;

TEST_F(LanguageLookupTest, FirstStartCreatesTheExampleFileWithPrompts) {
  StartLanguage(u"");
  ASSERT_TRUE(Exists(u"LocalizeExample.lng"));
  EXPECT_EQ(ReadBytes(u"LocalizeExample.lng").substr(0, 2), "\xFF\xFE");
  language_->WaitForBackgroundWrites();
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"General", u"LANGUAGE"), u"Enter localized name of language");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"General", u".LANG"), u"Enter abbreviated name of the language in English");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"General", u"AUTHOR"), u"Enter Your name and email (optional)");

  EXPECT_EQ(GetLocalizedString(IDS_SNIPPETS), u"Snippets");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Strings", u"4"), u"Snippets");
  EXPECT_EQ(GetLocalizedString(32776), u"Add new phrase\nAdd");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Strings", u"32776"), u"Add new phrase\\nAdd");
  // The file stays UTF-16 after the writes.
  const std::string bytes = ReadBytes(u"LocalizeExample.lng");
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_NE(bytes.find(std::string("S\0n\0i\0p\0p\0e\0t\0s\0", 16)), std::string::npos);
}

TEST_F(LanguageLookupTest, PromptsAreWrittenAfterThePause) {
  language_ = std::make_unique<Language>(settings_, folder_);
  language_->SetPromptDelay(400);
  Language::Install(language_.get());
  language_->Load();
  EXPECT_EQ(ReadBytes(u"LocalizeExample.lng"), "\xFF\xFE");  // only the mark at first
  language_->WaitForBackgroundWrites();
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"General", u"AUTHOR"), u"Enter Your name and email (optional)");
}

TEST_F(LanguageLookupTest, AnExistingExampleFileIsNeverTruncated) {
  WriteUnicode(u"LocalizeExample.lng", u"[Strings]\r\n4=Kept\r\n");
  StartLanguage(u"");
  language_->WaitForBackgroundWrites();
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Strings", u"4"), u"Kept");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"General", u"LANGUAGE"), u"<missing>");
  EXPECT_EQ(GetLocalizedString(IDS_SNIPPETS), u"Kept");
}

TEST_F(LanguageLookupTest, TranslationsComeFromTheCurrentFileAndMissingKeysAreWritten) {
  WriteUnicode(u"German.lng", u"[Strings]\r\n12=\u00c4nderungen speichern?\r\n37=Zeile eins\\nZeile zwei\\tTab\r\n");
  StartLanguage(u"German.lng");
  EXPECT_EQ(GetLocalizedString(IDS_SAVE_CHANGES), u"\u00c4nderungen speichern?");
  EXPECT_EQ(GetLocalizedString(IDS_CTRL_ENTER_HINT), u"Zeile eins\nZeile zwei\tTab");
  // A missing key gets its English text in the current file.
  EXPECT_EQ(GetLocalizedString(IDS_DETAILS), u"Details");
  EXPECT_EQ(Value(u"German.lng", u"Strings", u"13"), u"Details");
  // The example file collects the English text of every string shown, translated or not.
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Strings", u"12"), u"Save changes?");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Strings", u"13"), u"Details");
  EXPECT_EQ(ReadBytes(u"LocalizeExample.lng").substr(0, 2), "\xFF\xFE");
  // The translation was not overwritten.
  EXPECT_EQ(Value(u"German.lng", u"Strings", u"12"), u"\u00c4nderungen speichern?");
}

TEST_F(LanguageLookupTest, AnUnknownIdFailsWithoutWriting) {
  StartLanguage(u"German.lng");
  std::u16string text = u"x";
  EXPECT_FALSE(GetLocalizedString(59, text));
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(Value(u"German.lng", u"Strings", u"59"), u"<missing>");
  EXPECT_EQ(Value(u"LocalizeExample.lng", u"Strings", u"59"), u"<missing>");
}

TEST_F(LanguageLookupTest, AMissingLanguageFileIsCreatedAsUnicode) {
  StartLanguage(u"Gone.lng");
  EXPECT_EQ(GetLocalizedString(IDS_YES), u"Yes");
  EXPECT_EQ(ReadBytes(u"Gone.lng").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Value(u"Gone.lng", u"Strings", u"23"), u"Yes");
}

TEST_F(LanguageLookupTest, WithoutALanguageTheEnglishTextsAreShown) {
  Language::Install(nullptr);
  EXPECT_EQ(GetLocalizedString(IDS_CHARS_TYPED), u"Chars typed");
}

TEST_F(LanguageLookupTest, IsRussianReadsTheAbbreviation) {
  WriteUnicode(u"Russian.lng", u"[General]\r\n.LANG=ru\r\n");
  WriteUnicode(u"German.lng", u"[General]\r\n.LANG=DE\r\n");
  StartLanguage(u"Russian.lng");
  EXPECT_TRUE(IsRussian());
  StartLanguage(u"German.lng");
  EXPECT_FALSE(IsRussian());
}

TEST_F(LanguageLookupTest, SetLanguageStoresSavesAndReloads) {
  WriteUnicode(u"German.lng", u"[Strings]\r\n23=Ja\r\n");
  StartLanguage(u"");
  SetLanguage(u"German.lng");
  EXPECT_EQ(settings_.lang_file, u"German.lng");
  EXPECT_EQ(settings_.saves, 1);
  EXPECT_EQ(language_->CurrentPath(), PathOf(u"German.lng"));
  EXPECT_EQ(GetLocalizedString(IDS_YES), u"Ja");
  SetLanguage(u"");
  EXPECT_EQ(GetLocalizedString(IDS_YES), u"Yes");
}

// Damaged files: the program shows English and keeps every key it can read.
TEST_F(LanguageLookupTest, BinaryFileFallsBackToEnglish) {
  std::string garbage;
  for (int i = 0; i < 70000; ++i) garbage += char((i * 7919 + 13) % 256);
  WriteBytes(u"Broken.lng", garbage);
  StartLanguage(u"Broken.lng");
  std::u16string text;
  EXPECT_TRUE(GetLocalizedString(IDS_SNIPPETS, text));
  EXPECT_LE(text.size(), 20559u);
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"Exit");
  TranslateMenu(menu);
  DestroyMenu(menu);
}

TEST_F(LanguageLookupTest, AnsiFileKeepsItsKeys) {
  WriteBytes(u"Old.lng", "[Strings]\r\n23=Oui\r\n[Menu]\r\nExit=Quitter\r\n");
  StartLanguage(u"Old.lng");
  EXPECT_EQ(GetLocalizedString(IDS_YES), u"Oui");
  EXPECT_EQ(GetLocalizedString(IDS_NO), u"No");
  EXPECT_EQ(Value(u"Old.lng", u"Strings", u"23"), u"Oui");
  EXPECT_EQ(Value(u"Old.lng", u"Strings", u"22"), u"No");
  EXPECT_EQ(Value(u"Old.lng", u"Menu", u"Exit"), u"Quitter");
}

TEST_F(LanguageLookupTest, AnEmptyFileReceivesTheMarkBeforeTheFirstWrite) {
  WriteBytes(u"Empty.lng", "");
  StartLanguage(u"Empty.lng");
  EXPECT_EQ(GetLocalizedString(IDS_NO), u"No");
  EXPECT_EQ(ReadBytes(u"Empty.lng").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Value(u"Empty.lng", u"Strings", u"22"), u"No");
}

TEST_F(LanguageLookupTest, HugeValuesAreCutToTheLimit) {
  const std::u16string huge(30000, u'x');
  WriteUnicode(u"Huge.lng", u"[Strings]\r\n4=" + huge + u"\r\n[General]\r\nLanguage=" + huge + u"\r\n5=after\r\n");
  StartLanguage(u"Huge.lng");
  EXPECT_EQ(GetLocalizedString(IDS_SNIPPETS), std::u16string(20559, u'x'));
  EXPECT_EQ(language_->LanguageName(u"Huge.lng"), std::u16string(100, u'x'));
  EXPECT_EQ(GetLocalizedString(IDS_TURN_OFF), u"Turn Off");
  EXPECT_EQ(Value(u"Huge.lng", u"Strings", u"4").size(), 30000u);  // the file itself is untouched
}

TEST_F(LanguageLookupTest, FileWithoutSectionsGetsThemAdded) {
  WriteUnicode(u"Bare.lng", u"just some text\r\nno sections here\r\n");
  StartLanguage(u"Bare.lng");
  EXPECT_EQ(GetLocalizedString(IDS_SNIPPETS), u"Snippets");
  EXPECT_EQ(Value(u"Bare.lng", u"Strings", u"4"), u"Snippets");
}

}  // namespace
}  // namespace vellix::testing
