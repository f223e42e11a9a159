// The phrase editor's Import command: the format of a chosen file, the dialog's texts and
// the report of what was imported, left out and what now collides.

#include "editor/import_texts.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/utf.h"
#include "resource.h"

namespace vellix {
namespace {

std::u16string English(uint32_t id) {
  static const std::map<uint32_t, std::u16string> texts = {
      {ID_IMPORT_PHRASES, u"Import phrases from files\nImport"},
      {IDS_IMPORT_FILTER, u"CSV (*.csv)|*.csv|AutoHotkey (*.ahk)|*.ahk"},
      {IDS_IMPORT_DONE, u"Imported from %1: %2."},
      {IDS_IMPORT_NOTHING, u"Nothing in %1."},
      {IDS_IMPORT_LEFT_OUT, u"Left out: %1"},
      {IDS_IMPORT_NOTES, u"Without a part: %1"},
      {IDS_IMPORT_LINE, u"Line %1: %2"},
      {IDS_IMPORT_MORE, u"\u2026 and %1 more"},
      {IDS_IMPORT_COLLISIONS, u"Shared keystrokes: %1"},
      {IDS_IMPORT_FAILED, u"%1 could not be imported. %2"},
  };
  const auto found = texts.find(id);
  return found == texts.end() ? std::u16string(u"?") : found->second;
}

TEST(ImportTexts, FormatOfAChosenFile) {
  const struct {
    std::u16string_view path;
    unsigned filter;
    std::optional<ImportFormat> format;
  } cases[] = {
      {u"C:\\a\\Phrases.csv", 3, ImportFormat::kCsv},  // the extension wins over the filter
      {u"C:\\a\\Phrases.TSV", 1, ImportFormat::kTsv},
      {u"C:\\a\\Phrases.tab", 1, ImportFormat::kTsv},
      {u"C:\\a\\Hot.Strings.AHK", 1, ImportFormat::kAutoHotkey},
      {u"C:\\a\\base.yml", 1, ImportFormat::kEspanso},
      {u"C:\\a\\base.yaml", 2, ImportFormat::kEspanso},
      {u"C:\\a\\phrases.txt", 2, ImportFormat::kTsv},  // no known extension: the filter's entry
      {u"C:\\a.b\\phrases", 3, ImportFormat::kAutoHotkey},
      {u"C:\\a\\phrases.txt", 4, ImportFormat::kEspanso},
      {u"C:\\a\\phrases.txt", 0, std::nullopt},
      {u"C:\\a\\phrases.txt", 5, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImportFormatForFile(c.path, c.filter), c.format) << Utf16ToUtf8(c.path) << " " << c.filter;
  }
}

TEST(ImportTexts, DialogTitleAndFilter) {
  EXPECT_EQ(ImportDialogTitle(English), u"Vellix : Import phrases from files");
  const std::u16string filter = ImportFileFilter(English);
  EXPECT_EQ(filter, std::u16string(u"CSV (*.csv)\0*.csv\0AutoHotkey (*.ahk)\0*.ahk\0\0", 44));
}

TEST(ImportTexts, Report) {
  const std::vector<ImportMessage> none;
  const std::vector<ImportMessage> skipped = {{3, "a hotkey, not a hotstring"}, {0, "a whole-file remark"}};
  const std::vector<ImportMessage> notes = {{7, "the option ? has no equivalent"}};
  std::vector<ImportMessage> many;
  for (size_t line = 1; line <= kImportReportLines + 2; ++line) many.push_back({line, "code"});

  const struct {
    const char* name;
    ImportOutcome outcome;
    std::u16string text;
  } cases[] = {
      {"all taken", {u"C:\\in\\My.ahk", 4, &none, &none, {}}, u"Imported from My.ahk: 4."},
      {"nothing found", {u"C:\\in\\My.ahk", 0, &none, &none, {}}, u"Nothing in My.ahk."},
      {"left out, notes and collisions",
       {u"My.ahk", 2, &skipped, &notes, {u"btw", u"br"}},
       u"Imported from My.ahk: 2.\n\nLeft out: 2\nLine 3: a hotkey, not a hotstring\na whole-file remark"
       u"\n\nWithout a part: 1\nLine 7: the option ? has no equivalent\n\nShared keystrokes: btw, br"},
  };
  for (const auto& c : cases) EXPECT_EQ(ImportReportText(c.outcome, English), c.text) << c.name;

  const std::u16string longReport = ImportReportText({u"My.ahk", 0, &many, nullptr, {}}, English);
  EXPECT_NE(longReport.find(u"\nLine 15: code\n\u2026 and 2 more"), std::u16string::npos) << Utf16ToUtf8(longReport);
  EXPECT_EQ(longReport.find(u"Line 16"), std::u16string::npos);
}

TEST(ImportTexts, Failure) {
  EXPECT_EQ(ImportFailedText(u"C:\\in\\base.yml", {4, "bad indentation"}, English),
            u"base.yml could not be imported. Line 4: bad indentation");
  EXPECT_EQ(ImportFailedText(u"bin.csv", {0, "this is not a text file"}, English),
            u"bin.csv could not be imported. this is not a text file");
}

}  // namespace
}  // namespace vellix
