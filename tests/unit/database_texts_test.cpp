// The messages about a database file that was not read whole and about a keystroke that
// can never fire.

#include "editor/database_texts.h"

#include <gtest/gtest.h>

#include <map>

#include "base/utf.h"
#include "resource.h"

namespace vellix {
namespace {

std::u16string English(uint32_t id) {
  static const std::map<uint32_t, std::u16string> texts = {
      {IDS_DATABASE_READ_STOPPED, u"%1 was not read to its end. Phrases read: %2. Reading stopped at line %3, column %4."},
      {IDS_DATABASE_ELEMENT_LEFT_OUT, u"%1 was not read whole. Phrases read: %2. A damaged element at line %3, column %4 was left out."},
      {IDS_DATABASE_NOT_READ, u"%1 could not be read."},
      {IDS_DATABASE_NOT_SAVED, u"Not saved by itself."},
      {IDS_KEYSTROKE_NEVER_FIRES, u"The keystroke \"%1\" can never expand."},
      {IDS_OVERWRITE_CHANGED_FILE, u"%1 was changed on disk. Save over it?"},
  };
  const auto found = texts.find(id);
  return found == texts.end() ? std::u16string(u"?") : found->second;
}

TEST(DatabaseTexts, FillPlaceholders) {
  const struct {
    std::u16string_view format;
    std::u16string_view text;
  } cases[] = {
      {u"%1 and %2", u"one and two"},
      {u"%2, then %1 and %2 again", u"two, then one and two again"},
      {u"100%% of %1", u"100% of one"},
      {u"%3 is missing, %0 and %a stay", u" is missing, %0 and %a stay"},
      {u"ends in %", u"ends in %"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FillPlaceholders(c.format, {u"one", u"two"}), c.text) << Utf16ToUtf8(std::u16string(c.format));
  }
}

LoadReport Report(FileReadStatus status, bool root, TextPosition stop = {}, std::vector<DroppedElement> lost = {}) {
  LoadReport report;
  report.status = status;
  report.rootFound = root;
  report.parse.stop = stop;
  if (stop.line) report.parse.stopReason = "reason";
  report.parse.lost = std::move(lost);
  return report;
}

TEST(DatabaseTexts, DatabaseNotRead) {
  const struct {
    const char* name;
    LoadReport report;
    size_t phrases;
    std::u16string_view text;
  } cases[] = {
      {"whole", Report(FileReadStatus::kOk, true), 11, u""},
      {"missing", Report(FileReadStatus::kNotFound, false), 0, u""},
      {"stopped", Report(FileReadStatus::kOk, true, {40, 17}), 3,
       u"Database.xml was not read to its end. Phrases read: 3. Reading stopped at line 40, column 17. Not saved by "
       u"itself."},
      {"left out", Report(FileReadStatus::kOk, true, {}, {{"Phrase", 4, {12, 5}}, {"Phrase", 9, {30, 5}}}), 9,
       u"Database.xml was not read whole. Phrases read: 9. A damaged element at line 12, column 5 was left out. Not "
       u"saved by itself."},
      {"no root, but a place", Report(FileReadStatus::kOk, false, {1, 1}), 0,
       u"Database.xml was not read to its end. Phrases read: 0. Reading stopped at line 1, column 1. Not saved by "
       u"itself."},
      {"no root", Report(FileReadStatus::kOk, false), 0, u"Database.xml could not be read. Not saved by itself."},
      {"another root", Report(FileReadStatus::kOk, false, {}, {{"Phrases", 0, {1, 1}}}), 0,
       u"Database.xml could not be read. Not saved by itself."},
      {"empty", Report(FileReadStatus::kEmpty, false), 0, u"Database.xml could not be read. Not saved by itself."},
      {"in use", Report(FileReadStatus::kInUse, false), 0, u"Database.xml could not be read. Not saved by itself."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DatabaseNotReadText(u"C:\\Users\\me\\Vellix/Database.xml", c.report, c.phrases, English), c.text)
        << c.name;
  }
}

TEST(DatabaseTexts, OverwriteChangedFile) {
  EXPECT_EQ(OverwriteChangedFileText(u"C:\\Sync\\Database.xml", English), u"Database.xml was changed on disk. Save over it?");
}

TEST(DatabaseTexts, KeystrokeNeverFires) {
  EXPECT_EQ(KeystrokeNeverFiresText(u"by the", English), u"The keystroke \"by the\" can never expand.");
}

}  // namespace
}  // namespace vellix
