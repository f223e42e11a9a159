// What the reader reports about a database file it could not read whole (where reading
// stopped, which elements a save would lose) and the input guard's repair of bare "&".

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/utf.h"
#include "phrases/phrase_database_file.h"
#include "phrases/xml_input_guard.h"

namespace vellix {
namespace {

using File = PhraseDatabaseFile;

// Lines of a file, each ended by CR LF as Vellix writes them.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string PhraseLine(const std::string& word) { return "    <Phrase Enabled=\"1\"><Word>" + word + "</Word></Phrase>"; }

struct Lost {
  std::string name;
  uint32_t id;
  TextPosition at;
};

struct ReportCase {
  const char* name;
  std::string text;
  int root;                 // Parse's result
  size_t phrases;           // loaded
  TextPosition stop;        // where reading stopped; {0, 0} when it read to the end
  std::vector<Lost> lost;
};

class ParseReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ParseReportTest, SaysWhereReadingStoppedAndWhatWouldBeLost) {
  const ReportCase& c = GetParam();
  PhraseDatabase db;
  ParseReport report;
  EXPECT_EQ(File::Parse(db, c.text, 1, &report), c.root);
  EXPECT_EQ(db.Size(), c.phrases);
  EXPECT_EQ(report.stop, c.stop) << "line " << report.stop.line << ", column " << report.stop.column << ": "
                                 << report.stopReason;
  EXPECT_EQ(report.stop.line != 0, !report.stopReason.empty()) << report.stopReason;
  ASSERT_EQ(report.lost.size(), c.lost.size());
  for (size_t i = 0; i < c.lost.size(); ++i) {
    EXPECT_EQ(report.lost[i].name, c.lost[i].name) << i;
    EXPECT_EQ(report.lost[i].id, c.lost[i].id) << i;
    EXPECT_EQ(report.lost[i].at, c.lost[i].at)
        << i << ": line " << report.lost[i].at.line << ", column " << report.lost[i].at.column;
  }
  EXPECT_EQ(report.ReadWhole(), c.stop.line == 0 && c.lost.empty());
}

const std::string kHead = "<?xml version=\"1.0\" ?>";
const std::string kRoot = "<Tessil_Phrase_Data>";
const std::string kRootEnd = "</Tessil_Phrase_Data>";

const ReportCase kReportCases[] = {
    {"Whole", Lines({kHead, kRoot, PhraseLine("one"), PhraseLine("two"), kRootEnd}), 1, 2, {}, {}},
    // The end tag "</Wrod>" of phrase 2 starts in column 34 of line 4 (four blanks, 20
    // characters of start tag, "<Word>", "two"); the phrases before it and the one it is
    // in are read, the third is not.
    {"MistypedEndTag",
     Lines({kHead, kRoot, PhraseLine("one"), "    <Phrase Enabled=\"1\"><Word>two</Wrod></Phrase>", PhraseLine("three"),
            kRootEnd}),
     1, 2, {4, 34}, {}},
    // Columns count characters as an editor shows them: a tab, an accented letter, a
    // character outside the BMP and a repaired "&" each count one.
    {"ColumnsCountCharacters",
     Lines({kHead, kRoot, "<Phrase><Word>\t\xC3\x84 \xF0\x9F\x98\x80 Tom & Jerry</Wrod></Phrase>", kRootEnd}), 1, 1,
     {3, 31}, {}},
    {"ByteOrderMarkTakesNoColumn", "\xEF\xBB\xBF" + kRoot + "<Phrase><Word>x</Wrod></Phrase>" + kRootEnd, 1, 1,
     {1, 36}, {}},
    // CR alone and LF alone end a line each, CR LF ends one.
    {"LineBreaksOfEveryKind", kHead + "\r" + kRoot + "\n\n" + "<Phrase><Word>x</Wrod>" + kRootEnd, 1, 1, {4, 16}, {}},
    // An interrupted write: the parser stops in the name it could not read to its end,
    // and the phrase cut before its Word is lost.
    {"CutShort", Lines({kHead, kRoot, PhraseLine("one")}) + "    <Phrase Enabled=\"1\"><Wo", 1, 1, {4, 26},
     {{"Phrase", 2, {4, 5}}}},
    {"CutAfterAStartTag", Lines({kHead, kRoot, PhraseLine("one")}) + "    <Phrase Enabled=\"1\"><Word>tw", 1, 2,
     {4, 33}, {}},
    {"TextAfterTheRoot", Lines({kHead, kRoot, PhraseLine("one"), kRootEnd}) + "oops", 1, 1, {5, 1}, {}},
    {"NotXml", "not xml", 0, 0, {1, 1}, {}},
    {"WrongRoot", "<Phrases/>", 0, 0, {}, {{"Phrases", 0, {1, 1}}}},
    // A misspelt Word: the phrase is rejected and its text would be lost by a save.
    {"MisspeltWord",
     Lines({kHead, kRoot, PhraseLine("one"), "    <Phrase Enabled=\"1\"><Wrod>two</Wrod></Phrase>", PhraseLine("three"),
            kRootEnd}),
     1, 2, {}, {{"Phrase", 2, {4, 5}}}},
    {"TextInsteadOfWord", Lines({kHead, kRoot, "<Phrase>two</Phrase>", kRootEnd}), 1, 0, {}, {{"Phrase", 1, {3, 1}}}},
    // What Vellix writes for a phrase whose text is empty is dropped by the format's own
    // rule on every load: nothing more is lost by saving.
    {"PhraseWithEmptyTextAsWritten",
     Lines({kHead, kRoot, "<Phrase Enabled=\"1\"><!-- note --><Prefixes><Prefix Disabled=\"0\">k</Prefix></Prefixes>"
                          "<Include /><Exclude /><DateCreated Year=\"2026\" /></Phrase>",
            PhraseLine("one"), kRootEnd}),
     1, 1, {}, {}},
    // Two databases joined into one file: the second root is not read.
    {"SecondRoot", Lines({kHead, kRoot, PhraseLine("one"), kRootEnd, kHead, kRoot, PhraseLine("two"), kRootEnd}), 1, 1,
     {}, {{"Tessil_Phrase_Data", 0, {6, 1}}}},
};
INSTANTIATE_TEST_SUITE_P(Table, ParseReportTest, ::testing::ValuesIn(kReportCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseReport, TooDeepNestingStopsWhereTheGuardCut) {
  std::string text = kRoot + "<Phrase><Word>kept</Word></Phrase>\r\n<Phrase>";
  for (int i = 0; i < kMaxXmlDepth; ++i) text += "<a>";
  PhraseDatabase db;
  ParseReport report;
  ASSERT_EQ(File::Parse(db, text, 1, &report), 1);
  EXPECT_TRUE(report.inputCut);
  EXPECT_EQ(report.stop, (TextPosition{2, 9 + 3 * (kMaxXmlDepth - 2)}));
  EXPECT_FALSE(report.ReadWhole());
  EXPECT_EQ(db.Size(), 1u);
}

TEST(ParseReport, FileBytesAfterAZeroByteAreNotRead) {
  const std::string whole = Lines({kRoot, PhraseLine("one"), kRootEnd});
  struct Case {
    const char* name;
    std::string bytes;
    TextPosition stop;
  } cases[] = {
      {"zeros at the end", whole + std::string(100, '\0'), {}},
      {"zeros and blanks at the end", whole + std::string("\0\0\r\n\0", 5), {}},
      {"text after a zero", whole + std::string("\0<Phrase/>", 10), {4, 1}},
  };
  for (const Case& c : cases) {
    PhraseDatabase db;
    ParseReport report;
    ASSERT_EQ(File::ParseFileBytes(db, c.bytes, &report), 1) << c.name;
    EXPECT_EQ(report.stop, c.stop) << c.name;
    EXPECT_EQ(db.Size(), 1u) << c.name;
  }
}

// A bare "&" is read as the character "&" wherever TinyXML reads references (texts and
// quoted attribute values), and the next save writes it as "&amp;".
TEST(XmlInputGuard, BareAmpersandIsReadAsItself) {
  struct Case {
    std::string word;          // as written in the file
    std::u16string read;       // the phrase text read
    uint32_t repaired;
  } cases[] = {
      {"Tom & Jerry", u"Tom & Jerry", 1},
      {"AT&T", u"AT&T", 1},
      {"a&", u"a&", 1},
      {"&&&", u"&&&", 3},
      {"&amp; &lt; &gt; &quot; &apos;", u"& < > \" '", 0},
      {"&#65;&#x42;&#x0043;", u"ABC", 0},
      {"&#x1F600;", u"\U0001F600", 0},
      // No reference: kept as typed.
      {"&nbsp;", u"&nbsp;", 1},
      {"&AMP;", u"&AMP;", 1},
      {"&#;", u"&#;", 1},
      {"&#x;", u"&#x;", 1},
      {"&#X41;", u"&#X41;", 1},
      {"&#0;", u"&#0;", 1},
      {"&#x110000;", u"&#x110000;", 1},
      {"&#12 3;", u"&#12 3;", 1},
      {"&#x41", u"&#x41", 1},
  };
  for (const Case& c : cases) {
    const std::string text = kRoot + "<Phrase><Word>" + c.word + "</Word></Phrase>" + kRootEnd;
    PhraseDatabase db;
    ParseReport report;
    ASSERT_EQ(File::Parse(db, text, 1, &report), 1) << c.word;
    ASSERT_EQ(db.Size(), 1u) << c.word;
    EXPECT_EQ(db.At(0).Word(), c.read) << c.word;
    EXPECT_EQ(report.ampersandsRepaired, c.repaired) << c.word;
    EXPECT_TRUE(report.ReadWhole()) << c.word << ": " << report.stopReason;
    // Saved and read again, the text stays.
    PhraseDatabase again;
    ASSERT_EQ(File::Parse(again, File::Serialize(db), 1), 1) << c.word;
    EXPECT_EQ(again.At(0).Word(), c.read) << c.word;
  }
}

TEST(XmlInputGuard, AmpersandsInAttributesCommentsAndSections) {
  const std::string text = kRoot + "<!-- a & b --><Phrase UseWithList=\"x & y\" Enabled=\"1\"><Word><![CDATA[c & d]]></Word>"
                                   "<Prefixes><Prefix Disabled=\"0\">k&amp;r</Prefix><Prefix>q&r</Prefix></Prefixes>"
                                   "</Phrase>" + kRootEnd;
  const XmlInputGuardResult guarded = GuardXmlInput(text);
  // Only the "&" of the attribute value and of the second keystroke are repaired: a comment
  // and a CDATA section are read as they stand.
  ASSERT_EQ(guarded.repairedAmpersands.size(), 2u);
  for (size_t at : guarded.repairedAmpersands) EXPECT_EQ(guarded.text.compare(at, 5, "&amp;"), 0);
  PhraseDatabase db;
  ASSERT_EQ(File::Parse(db, text, 1), 1);
  ASSERT_EQ(db.Size(), 1u);
  EXPECT_EQ(db.At(0).Word(), u"c & d");
  EXPECT_EQ(db.At(0).Prefixes(), (FlagMap{{u"k&r", 1}, {u"q&r", 1}}));
}

TEST(XmlInputGuard, PositionsLeaveOutTheRepairs) {
  const XmlInputGuardResult guarded = GuardXmlInput("<a>&&\r\nx&y</a>");
  ASSERT_EQ(guarded.text, "<a>&amp;&amp;\r\nx&amp;y</a>");
  struct Case {
    std::string at;  // the offset of the first occurrence of this in the guarded text
    TextPosition position;
  } cases[] = {{"<a>", {1, 1}}, {"&amp;&", {1, 4}}, {"&amp;\r", {1, 5}}, {"\r", {1, 6}},
               {"x", {2, 1}},   {"&amp;y", {2, 2}}, {"y", {2, 3}},      {"</a>", {2, 4}}};
  for (const Case& c : cases) {
    EXPECT_EQ(PositionOfOffset(guarded, guarded.text.find(c.at)), c.position) << c.at;
  }
  EXPECT_EQ(PositionOfOffset(guarded, guarded.text.size()), (TextPosition{2, 8}));
  // The parser counts the "amp;" it reads: its column 8 of row 2 is "</a>".
  EXPECT_EQ(PositionOfParserPlace(guarded, 2, 8), (TextPosition{2, 4}));
  EXPECT_EQ(PositionOfParserPlace(guarded, 0, 0), (TextPosition{}));
}

}  // namespace
}  // namespace vellix
