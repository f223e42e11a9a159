#include "phrases/phrase_database_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "phrases/xml_input_guard.h"

namespace vellix {
namespace {

using File = PhraseDatabaseFile;

const std::string kBestRegards =
    "<?xml version=\"1.0\" ?>\r\n"
    "<Tessil_Phrase_Data>\r\n"
    "    <Phrase CaseSensitive=\"1\" AddOrReplace=\"1\" LeftAfter=\"0\" CountUsage=\"3\" "
    "UseWithList=\"NotUse\" Enabled=\"1\">\r\n"
    "        <Word>Best regards</Word>\r\n"
    "        <Prefixes>\r\n"
    "            <Prefix Disabled=\"1\">BR</Prefix>\r\n"
    "            <Prefix Disabled=\"0\">br</Prefix>\r\n"
    "        </Prefixes>\r\n"
    "        <Include />\r\n"
    "        <Exclude />\r\n"
    "        <DateCreated Year=\"2026\" Month=\"12\" Day=\"5\" Hour=\"5\" Min=\"25\" Sec=\"11\" />\r\n"
    "    </Phrase>\r\n"
    "</Tessil_Phrase_Data>\r\n";

SystemTime Dec5() {
  SystemTime t;
  t.year = 2026;
  t.month = 12;
  t.day = 5;
  t.hour = 5;
  t.minute = 25;
  t.second = 11;
  return t;
}

std::unique_ptr<Phrase> BestRegardsPhrase() {
  auto phrase = std::make_unique<Phrase>();
  phrase->SetId(1);
  phrase->SetWord(u"Best regards");
  phrase->Prefixes() = {{u"br", 1}, {u"BR", 0}};
  phrase->SetCountUsage(3);
  phrase->SetDateCreated(Dec5());
  return phrase;
}

std::string Wrap(const std::string& phrases) {
  return "<?xml version=\"1.0\" ?><Tessil_Phrase_Data>" + phrases + "</Tessil_Phrase_Data>";
}

const std::string kDate = "<DateCreated Year=\"2026\" Month=\"12\" Day=\"5\" Hour=\"5\" Min=\"25\" Sec=\"11\" />";

// Parses a document whose root must be found; the collection it read.
std::unique_ptr<PhraseDatabase> Read(const std::string& text) {
  auto db = std::make_unique<PhraseDatabase>();
  EXPECT_EQ(File::Parse(*db, text, 1), 1) << text;
  return db;
}

std::unique_ptr<PhraseDatabase> RoundTrip(std::unique_ptr<Phrase> phrase) {
  PhraseDatabase db;
  db.AppendWithId(std::move(phrase));
  return Read(File::Serialize(db));
}

TEST(PhraseDatabaseFile, WritesOnePhraseByteForByte) {
  PhraseDatabase db;
  db.AppendWithId(BestRegardsPhrase());
  EXPECT_EQ(File::Serialize(db), kBestRegards);
  EXPECT_EQ(File::WritePhraseDocument(db.At(0)), kBestRegards);
}

TEST(PhraseDatabaseFile, ReadsOnePhraseBack) {
  auto db = Read(kBestRegards);
  ASSERT_EQ(db->Size(), 1u);
  const Phrase& p = db->At(0);
  EXPECT_EQ(p.Id(), 1u);
  EXPECT_EQ(p.Word(), u"Best regards");
  EXPECT_EQ(p.Prefixes(), (FlagMap{{u"BR", 0}, {u"br", 1}}));
  EXPECT_EQ(p.CaseSensitive(), 1);
  EXPECT_EQ(p.AddOrReplace(), 1);
  EXPECT_EQ(p.LeftAfter(), 0);
  EXPECT_EQ(p.CountUsage(), 3);
  EXPECT_EQ(p.UseWithList(), kNotUse);
  EXPECT_EQ(p.Enabled(), 1);
  EXPECT_TRUE(p.Include().empty());
  EXPECT_TRUE(p.Exclude().empty());
  EXPECT_EQ(p.DateCreated(), Dec5());
  EXPECT_EQ(File::Serialize(*db), kBestRegards);
}

TEST(PhraseDatabaseFile, EmptyCollectionWritesTwoLines) {
  PhraseDatabase db;
  EXPECT_EQ(File::Serialize(db), "<?xml version=\"1.0\" ?>\r\n<Tessil_Phrase_Data />\r\n");
}

class Unsavable : public Phrase {
 public:
  bool IsSavable() const override { return false; }
};

TEST(PhraseDatabaseFile, SerializeSkipsUnsavablePhrasesButDocumentsDoNot) {
  PhraseDatabase db;
  auto hidden = std::make_unique<Unsavable>();
  hidden->SetWord(u"hidden");
  const Phrase* hiddenPointer = hidden.get();
  db.Add(std::move(hidden));
  EXPECT_EQ(File::Serialize(db).find("hidden"), std::string::npos);
  EXPECT_NE(File::WritePhraseDocument(*hiddenPointer).find("<Word>hidden</Word>"), std::string::npos);
}

TEST(PhraseDatabaseFile, SeveralPhrasesDocumentReadsBackInOrder) {
  auto a = BestRegardsPhrase();
  auto b = BestRegardsPhrase();
  b->SetWord(u"Second");
  const Phrase* both[] = {a.get(), b.get()};
  auto db = Read(File::SerializePhrases(both));
  ASSERT_EQ(db->Size(), 2u);
  EXPECT_EQ(db->At(0).Word(), u"Best regards");
  EXPECT_EQ(db->At(1).Word(), u"Second");
  EXPECT_EQ(db->At(1).Id(), 2u);
}

TEST(PhraseDatabaseFile, RootWithoutPhrasesEmptiesTheCollection) {
  PhraseDatabase db;
  db.Add(BestRegardsPhrase());
  EXPECT_EQ(File::Parse(db, "<Tessil_Phrase_Data/>", 1), 1);
  EXPECT_TRUE(db.Empty());
}

TEST(PhraseDatabaseFile, TextWithoutRootLeavesTheCollectionUntouched) {
  for (const std::string text : {"", "   ", "<Other><Phrase><Word>x</Word></Phrase></Other>",
                                 "not xml at all", "\xEF\xBB\xBF", "<Tessil_Phrase_Dat/>"}) {
    PhraseDatabase db;
    db.Add(BestRegardsPhrase());
    EXPECT_EQ(File::Parse(db, text, 1), 0) << text;
    EXPECT_EQ(db.Size(), 1u);
  }
}

TEST(PhraseDatabaseFile, RejectedPhraseKeepsItsNumber) {
  const std::string text = Wrap("<Phrase><Word>a</Word></Phrase><Phrase/><Phrase><Word>c</Word></Phrase>");
  PhraseDatabase db;
  ParseReport report;
  ASSERT_EQ(File::Parse(db, text, 1, &report), 1);
  ASSERT_EQ(db.Size(), 2u);
  EXPECT_EQ(db.At(0).Id(), 1u);
  EXPECT_EQ(db.At(1).Id(), 3u);
  EXPECT_EQ(report.phraseElements, 3u);
  EXPECT_EQ(report.rejected, std::vector<uint32_t>{2});
  ASSERT_EQ(File::Parse(db, text, 10), 1);
  EXPECT_EQ(db.At(1).Id(), 12u);
}

TEST(PhraseDatabaseFile, EmptyTextIsNotWrittenAndDoesNotSurvive) {
  auto phrase = BestRegardsPhrase();
  phrase->SetWord(u"");
  PhraseDatabase db;
  db.AppendWithId(std::move(phrase));
  const std::string text = File::Serialize(db);
  EXPECT_EQ(text.find("<Word"), std::string::npos);
  EXPECT_TRUE(Read(text)->Empty());
}

TEST(PhraseDatabaseFile, PhraseWithoutAttributesReadsTheFileDefaults) {
  auto db = Read(Wrap("<Phrase><Word>x</Word></Phrase>"));
  ASSERT_EQ(db->Size(), 1u);
  const Phrase& p = db->At(0);
  EXPECT_EQ(p.CaseSensitive(), 0);
  EXPECT_EQ(p.AddOrReplace(), 0);
  EXPECT_EQ(p.LeftAfter(), 0);
  EXPECT_EQ(p.CountUsage(), 0);
  EXPECT_EQ(p.Enabled(), 0);
  EXPECT_EQ(p.UseWithList(), kNotUse);
}

TEST(PhraseDatabaseFile, ReadsNumbersAndFlags) {
  struct Case {
    const char* value;
    int32_t number;  // LeftAfter
    int32_t flag;    // Enabled
  } cases[] = {
      {"7", 7, 1},          {"  42abc", 42, 1},   {"-3", -3, 1},
      {"+5", 5, 1},         {"abc", 0, 0},        {"", 0, 0},
      {"0", 0, 0},          {"- 4", 0, 0},        {"\t9", 9, 1},
      {"99999999999", INT32_MAX, 1},              {"-99999999999", INT32_MIN, 1},
      {"2147483647", INT32_MAX, 1},               {"-2147483648", INT32_MIN, 1},
      {"0x10", 0, 0},       {"1.9", 1, 1},
  };
  for (const Case& c : cases) {
    const std::string text = Wrap(std::string("<Phrase LeftAfter=\"") + c.value +
                                  "\" Enabled=\"" + c.value + "\"><Word>x</Word></Phrase>");
    auto db = Read(text);
    ASSERT_EQ(db->Size(), 1u);
    EXPECT_EQ(db->At(0).LeftAfter(), c.number) << c.value;
    EXPECT_EQ(db->At(0).Enabled(), c.flag) << c.value;
  }
}

TEST(PhraseDatabaseFile, ReadsTheListMode) {
  struct Case {
    const char* value;
    int32_t mode;
  } cases[] = {{"UseIncludeList", 0}, {"useexcludelist", 1}, {"NOTUSE", 2},
               {"Include", 2},        {"", 2},               {"UseExcludeList ", 2}};
  for (const Case& c : cases) {
    auto db = Read(Wrap(std::string("<Phrase UseWithList=\"") + c.value + "\"><Word>x</Word></Phrase>"));
    EXPECT_EQ(db->At(0).UseWithList(), c.mode) << c.value;
  }
}

TEST(PhraseDatabaseFile, OutOfRangeListModeWritesAnEmptyValue) {
  auto phrase = BestRegardsPhrase();
  phrase->SetUseWithList(7);
  const std::string text = File::WritePhraseDocument(*phrase);
  EXPECT_NE(text.find("UseWithList=\"\""), std::string::npos);
  PhraseDatabase db;
  ASSERT_EQ(File::Parse(db, text, 1), 1);
  EXPECT_EQ(db.At(0).UseWithList(), kNotUse);
}

TEST(PhraseDatabaseFile, WhiteSpaceIsCondensedButCharacterReferencesSurvive) {
  auto phrase = BestRegardsPhrase();
  phrase->Prefixes() = {{u"  ab  c ", 1}};
  phrase->SetWord(u"line one\r\n\tline two <&> \"'");
  auto db = RoundTrip(std::move(phrase));
  ASSERT_EQ(db->Size(), 1u);
  EXPECT_EQ(db->At(0).Prefixes(), (FlagMap{{u"ab c", 1}}));
  EXPECT_EQ(db->At(0).Word(), u"line one\r\n\tline two <&> \"'");
}

TEST(PhraseDatabaseFile, LineBreakIsStoredAsCharacterReferences) {
  auto phrase = BestRegardsPhrase();
  phrase->SetWord(u"a\r\nb");
  EXPECT_NE(File::WritePhraseDocument(*phrase).find("<Word>a&#x0D;&#x0A;b</Word>"), std::string::npos);
}

TEST(PhraseDatabaseFile, NonAsciiTextRoundTrips) {
  auto phrase = BestRegardsPhrase();
  const std::u16string text = u"Gr\u00fc\u00dfe \u0416 \U0001F600 \u20ac";
  phrase->SetWord(text);
  phrase->Prefixes() = {{u"\u00e4\u00f6", 1}};
  auto db = RoundTrip(std::move(phrase));
  EXPECT_EQ(db->At(0).Word(), text);
  EXPECT_EQ(db->At(0).Prefixes(), (FlagMap{{u"\u00e4\u00f6", 1}}));
}

TEST(PhraseDatabaseFile, EmptyKeysAreNeitherWrittenNorRead) {
  auto phrase = BestRegardsPhrase();
  phrase->Prefixes() = {{u"", 1}, {u"k", 1}};
  phrase->Include() = {{u"", 1}};
  const std::string text = File::WritePhraseDocument(*phrase);
  EXPECT_NE(text.find("<Include />"), std::string::npos);
  auto db = Read(Wrap("<Phrase><Word>x</Word><Prefixes><Prefix/><Prefix>  </Prefix><Prefix>k</Prefix></Prefixes></Phrase>"));
  EXPECT_EQ(db->At(0).Prefixes(), (FlagMap{{u"k", 1}}));
}

TEST(PhraseDatabaseFile, ReadsListsWithTheirFlags) {
  auto db = Read(Wrap(
      "<Phrase><Word>x</Word>"
      "<Prefixes><Prefix Disabled=\"0\">a</Prefix><Prefix Disabled=\"1\">b</Prefix>"
      "<Prefix>c</Prefix><Prefix Disabled=\"1\">a</Prefix><Other>z</Other></Prefixes>"
      "<Prefixes><Prefix>second list ignored</Prefix></Prefixes>"
      "<Include><FileName>notepad.exe</FileName><FileName Disabled=\"5\">x.exe</FileName></Include>"
      "<Exclude><FileName Disabled=\"0\">cmd.exe</FileName></Exclude>"
      "</Phrase>"));
  const Phrase& p = db->At(0);
  EXPECT_EQ(p.Prefixes(), (FlagMap{{u"a", 0}, {u"b", 0}, {u"c", 1}}));
  EXPECT_EQ(p.Include(), (FlagMap{{u"notepad.exe", 1}, {u"x.exe", 0}}));
  EXPECT_EQ(p.Exclude(), (FlagMap{{u"cmd.exe", 1}}));
}

TEST(PhraseDatabaseFile, TextCountsOnlyWhenItIsTheFirstChild) {
  auto db = Read(Wrap(
      "<Phrase><Word><!-- c -->text</Word><Prefixes><Prefix><b/>k</Prefix><Prefix>ok</Prefix></Prefixes></Phrase>"
      "<Phrase><Word><![CDATA[  kept  ]]></Word></Phrase>"));
  ASSERT_EQ(db->Size(), 2u);
  EXPECT_EQ(db->At(0).Word(), u"");
  EXPECT_EQ(db->At(0).Prefixes(), (FlagMap{{u"ok", 1}}));
  EXPECT_EQ(db->At(1).Word(), u"  kept  ");
}

TEST(PhraseDatabaseFile, DateCreatedFields) {
  const SystemTime before = CurrentUtcTime();
  auto db = Read(Wrap("<Phrase><Word>x</Word><DateCreated Year=\"2001\"/></Phrase>"
                      "<Phrase><Word>y</Word></Phrase>"
                      "<Phrase><Word>z</Word><DateCreated Year=\"2001\" Month=\"x\" Day=\"70000\"/></Phrase>"));
  const SystemTime after = CurrentUtcTime();
  const SystemTime& onlyYear = db->At(0).DateCreated();
  EXPECT_EQ(onlyYear.year, 2001);
  EXPECT_TRUE(onlyYear.month == before.month || onlyYear.month == after.month);
  EXPECT_TRUE(onlyYear.day == before.day || onlyYear.day == after.day);
  EXPECT_EQ(onlyYear.dayOfWeek, 0);
  EXPECT_EQ(onlyYear.milliseconds, 0);
  const SystemTime& none = db->At(1).DateCreated();
  EXPECT_TRUE(none.year == before.year || none.year == after.year);
  const SystemTime& odd = db->At(2).DateCreated();
  EXPECT_TRUE(odd.month == before.month || odd.month == after.month);
  EXPECT_EQ(odd.day, uint16_t(70000));
}

TEST(PhraseDatabaseFile, AcceptsByteOrderMarkAndForeignDeclarations) {
  for (const std::string prefix : {"\xEF\xBB\xBF", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
                                   "\xEF\xBB\xBF<!-- note -->\r\n"}) {
    auto db = Read(prefix + "<Tessil_Phrase_Data><Phrase><Word>\xC3\xA4</Word></Phrase></Tessil_Phrase_Data>");
    ASSERT_EQ(db->Size(), 1u);
    EXPECT_EQ(db->At(0).Word(), u"\u00e4");
  }
}

TEST(PhraseDatabaseFile, DocumentCutShortLoadsWhatWasRead) {
  const std::string full =
      Wrap("<Phrase Enabled=\"1\"><Word>one</Word></Phrase>"
           "<Phrase CountUsage=\"2\"><Word>two</Word><Prefixes><Prefix>t</Prefix><Prefix>u</Prefix></Prefixes>" +
           kDate + "</Phrase><Phrase><Word>three</Word></Phrase>");
  struct Case {
    const char* after;  // the text is cut right after this
    size_t phrases;
    size_t prefixesOfSecond;
  } cases[] = {{"<Word>one</Word></Phrase>", 1, 0},
               {"<Phrase CountUsage=\"2\"><Wo", 1, 0},
               {"<Prefix>t</Prefix><Pre", 2, 1},
               {"<Word>two</Wo", 2, 0},
               {"<Word>thr", 3, 2}};
  for (const Case& c : cases) {
    const size_t at = full.find(c.after);
    ASSERT_NE(at, std::string::npos);
    auto db = Read(full.substr(0, at + std::strlen(c.after)));
    ASSERT_EQ(db->Size(), c.phrases) << c.after;
    if (c.phrases >= 2) { EXPECT_EQ(db->At(1).Prefixes().size(), c.prefixesOfSecond) << c.after; }
  }
}

TEST(PhraseDatabaseFile, FileBytesStopAtTheFirstZeroByte) {
  std::string bytes = kBestRegards;
  bytes.insert(bytes.find("</Phrase>"), std::string("\0garbage", 8));
  PhraseDatabase db;
  ASSERT_EQ(File::ParseFileBytes(db, bytes), 1);
  EXPECT_EQ(db.Size(), 1u);
  EXPECT_EQ(File::ParseFileBytes(db, std::string("\0<Tessil_Phrase_Data/>", 22)), 0);
  EXPECT_EQ(db.Size(), 1u);
}

TEST(PhraseDatabaseFile, InvalidUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string word;
    std::u16string expected;
  } cases[] = {{"a\xFF" "b", u"a\uFFFDb"},
               {"\xC3", u"\uFFFD"},
               {"\xE2\x82", u"\uFFFD"},
               {"\xED\xA0\x80", u"\uFFFD"},
               {"\xC0\xAF", u"\uFFFD"},
               {"\xE0\x80\x80", u"\uFFFD"},
               {"\xF4\x90\x80\x80", u"\uFFFD"},
               {"\xF0\x9F\x98", u"\uFFFD"}};
  for (const Case& c : cases) {
    auto db = Read(Wrap("<Phrase><Word>" + c.word + "</Word></Phrase>"));
    ASSERT_EQ(db->Size(), 1u);
    EXPECT_EQ(db->At(0).Word(), c.expected) << c.word;
  }
  // A cut sequence inside an attribute must not swallow the closing quote.
  auto db = Read(Wrap("<Phrase UseWithList=\"\xE2\"><Word>x</Word></Phrase>"));
  ASSERT_EQ(db->Size(), 1u);
  EXPECT_EQ(db->At(0).Word(), u"x");
}

TEST(PhraseDatabaseFile, DeepNestingIsCutBeforeParsing) {
  std::string deep = "<Tessil_Phrase_Data><Phrase><Word>kept</Word></Phrase>";
  for (int i = 0; i < 200000; ++i) deep += "<a>";
  PhraseDatabase db;
  ParseReport report;
  ASSERT_EQ(File::Parse(db, deep, 1, &report), 1);
  EXPECT_TRUE(report.inputCut);
  ASSERT_EQ(db.Size(), 1u);
  EXPECT_EQ(db.At(0).Word(), u"kept");
  // A phrase that holds deep foreign content keeps what came before the cut.
  std::string inner = "<Tessil_Phrase_Data><Phrase><Word>w</Word><Prefixes><Prefix>k</Prefix></Prefixes><x>";
  for (int i = 0; i < 100; ++i) inner += "<x>";
  ASSERT_EQ(File::Parse(db, inner, 1), 1);
  ASSERT_EQ(db.Size(), 1u);
  EXPECT_EQ(db.At(0).Prefixes().size(), 1u);
}

TEST(XmlInputGuard, FollowsTheParserThroughConstructsThatHideTags) {
  struct Case {
    std::string text;
    int deepest;
  } cases[] = {
      {"<a><b><c/></b></a>", 3},
      {"<a x=\"</a><b>\"><b/></a>", 2},
      {"<a><!-- </a> --><b><c/></b></a>", 3},
      {"<a><![CDATA[</a>]]><b><c/></b></a>", 3},
      // TinyXML would take "&#x</a>x41;" as one reference and so hide the end tag; the guard
      // writes such an "&" as "&amp;", and the end tag ends the element.
      {"<a>&#x</a>x41;<b><c/></b></a>", 1},
      {"<a>&#</a>#65;<b/></a>", 1},
      {"<a><?xml version=\"</a>\"?><b><c/></b></a>", 3},
      {"<a><!DOCTYPE x><b/></a>", 2},
      {"<a>< b><c/></a>", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GuardXmlInput(c.text).deepest, c.deepest) << c.text;
    EXPECT_FALSE(GuardXmlInput(c.text).cut);
  }
}

TEST(XmlInputGuard, CutsAtTheLimits) {
  std::string deep;
  for (int i = 0; i < kMaxXmlDepth + 1; ++i) deep += "<a>";
  auto guarded = GuardXmlInput(deep);
  EXPECT_TRUE(guarded.cut);
  EXPECT_EQ(guarded.deepest, kMaxXmlDepth);
  EXPECT_EQ(guarded.text.size(), size_t(3 * kMaxXmlDepth));
  std::string wide = "<a";
  for (int i = 0; i < 100000; ++i) wide += " a" + std::to_string(i) + "=\"\"";
  guarded = GuardXmlInput(wide + "/>");
  EXPECT_TRUE(guarded.cut);
  EXPECT_LT(guarded.text.size(), 5000u);
}

TEST(PhraseDatabaseFile, ReadPhraseDocument) {
  Phrase phrase;
  ASSERT_EQ(File::ReadPhraseDocument(phrase, kBestRegards), 1);
  EXPECT_EQ(phrase.Id(), 1u);
  EXPECT_EQ(phrase.Word(), u"Best regards");
  EXPECT_EQ(phrase.Prefixes().size(), 2u);
  for (const std::string& text : {std::string(""), std::string("<Tessil_Phrase_Data/>"),
                                 Wrap("<Phrase CountUsage=\"9\"/>"), std::string("<Phrase><Word>x</Word></Phrase>")}) {
    Phrase other;
    other.SetWord(u"kept");
    other.SetCountUsage(4);
    EXPECT_EQ(File::ReadPhraseDocument(other, text), 0) << text;
    EXPECT_EQ(other.Word(), u"kept");
    EXPECT_EQ(other.CountUsage(), 4);
  }
}

TEST(PhraseDatabaseFile, BackupNames) {
  struct Case {
    std::u16string path, stamp, expected;
  } cases[] = {
      {u"C:\\x\\Database.xml", u"05.12.2026 14:05:09", u"Database_05.12.2026_14-05-09.xml"},
      {u"C:\\x\\Database.xml", u"12/5/2026 2:05:09 PM", u"Database_12-5-2026_2-05-09_PM.xml"},
      {u"D:/a.b/phrases", u"a*b?c\"d<e>f|g\\h\ti", u"phrases_a-b-c-d-e-f-g-h-i"},
      {u"my.data.xml", u"s", u"my.data_s.xml"},
  };
  for (const Case& c : cases) EXPECT_EQ(File::BackupName(c.path, c.stamp), c.expected);
}

}  // namespace
}  // namespace vellix
