#include <gtest/gtest.h>

#include "services/autostart.h"
#include "services/charset_table.h"
#include "services/clipboard_text.h"

namespace vellix {
namespace {

TEST(AutostartTest, CommandQuotesThePath) {
  EXPECT_EQ(AutostartCommand(u"C:\\Program Files\\Vellix\\Vellix.exe"),
            u"\"C:\\Program Files\\Vellix\\Vellix.exe\" /autoload");
}

TEST(AutostartTest, RecognisesQuotedAndUnquotedEntriesOfThisProgramOnly) {
  const std::u16string_view self = u"c:\\program\\app.exe";
  struct Case {
    std::u16string_view value;
    bool names;
  } cases[] = {
      {u"C:\\PROGRAM\\APP.EXE /autoload", true},
      {u"\"C:\\PROGRAM\\APP.EXE\" /autoload", true},
      {u"c:\\program\\app.exe   /autoload", true},
      {u"c:\\program\\app.exe", true},
      {u"\"c:\\program\\app.exe\"", true},
      {u"D:\\other\\app.exe /autoload", false},
      {u"c:\\program\\app.exe.bak /autoload", false},
      {u"c:\\program /autoload", false},  // a mere start of the path is another program
      {u"/autoload", false},
      {u"", false},
      {u"\"c:\\program\\app.exe /autoload", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AutostartNamesProgram(c.value, self), c.names) << std::string(c.value.begin(), c.value.end());
  // Only A to Z fold: other letters must match exactly.
  EXPECT_FALSE(AutostartNamesProgram(u"C:\\\u00C4PP.EXE", u"c:\\\u00E4pp.exe"));
  EXPECT_TRUE(AutostartNamesProgram(u"C:\\\u00E4PP.EXE", u"c:\\\u00E4pp.exe"));
}

TEST(CharsetTableTest, RowsAndLookup) {
  const auto table = CharsetTable();
  ASSERT_EQ(table.size(), 119u);
  EXPECT_EQ(table[0].name, u"utf-8");
  EXPECT_EQ(table[0].codePage, 65001u);
  struct Case {
    uint32_t codePage;
    std::u16string_view name;
  } cases[] = {{1252, u"windows-1252"}, {1200, u"unicode"}, {1201, u"unicodefffe"},
               {65000, u"utf-7"},       {20127, u"us-ascii"}, {50220, u"iso-2022-jp"},
               {50222, u"iso-2022-jp"}, {50221, u"csiso2022jp"}, {1143, u"x-ebcdic-finlandsweden-euro"},
               {37, u"ebcdic-cp-us"},   {1251, u"windows-1251"}, {20866, u"koi8-r"}};
  for (const Case& c : cases) {
    const CharsetRow* row = FindCharset(c.codePage);
    ASSERT_NE(row, nullptr) << c.codePage;
    EXPECT_EQ(row->name, c.name) << c.codePage;
  }
  EXPECT_EQ(FindCharset(28591), nullptr);  // the ISO Latin-1 number is not in the table
  EXPECT_EQ(table.back().name, u"iso-8859-1");
  EXPECT_EQ(table.back().codePage, 1252u);
}

TEST(CharsetTableTest, ChoosesTheBestScoredKnownAnswer) {
  const DetectedEncoding answers[] = {{1252, 50, 40}, {1251, 60, 50}, {866, 0, 2000}, {1250, 60, 50}};
  EXPECT_EQ(ChooseDetectedCharset(answers)->codePage, 1251u);  // 3000, earlier than the tie
  const DetectedEncoding confidenceOnly[] = {{1252, 10, 10}, {866, 0, 150}};
  EXPECT_EQ(ChooseDetectedCharset(confidenceOnly)->codePage, 866u);
  const DetectedEncoding none[] = {{1252, 50, 0}, {1251, 0, -5}};
  EXPECT_EQ(ChooseDetectedCharset(none), nullptr);
  const DetectedEncoding unknown[] = {{28591, 100, 100}};
  EXPECT_EQ(ChooseDetectedCharset(unknown), nullptr);
  EXPECT_EQ(ChooseDetectedCharset({}), nullptr);
}

TEST(ClipboardTextTest, FirstLineAndFirstField) {
  struct Case {
    std::u16string_view text, line, field;
  } cases[] = {
      {u"one\r\ntwo", u"one", u"one"},
      {u"a\tb\r\nc", u"a\tb", u"a"},
      {u"\tlead\tx", u"\tlead\tx", u"\tlead\tx"},
      {u"lone\nlf", u"lone\nlf", u"lone\nlf"},
      {u"", u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstLineOf(c.text), c.line);
    EXPECT_EQ(FirstFieldOf(c.text), c.field);
  }
}

}  // namespace
}  // namespace vellix
