// The streaming writer against TinyXML's printer, and the quick reader against TinyXML's
// reading: generated collections, the fuzzing corpus, a table of constructs and documents
// damaged at random. TinyXML stays the reference of both.

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "phrases/phrase_database_file.h"
#include "phrases/phrase_xml_reader.h"
#include "phrases/phrase_xml_writer.h"
#include "phrases/tinyxml_phrase_printer.h"
#include "unit/database_corpus.h"

namespace vellix {
namespace {

using File = PhraseDatabaseFile;
using testing::kDatabaseCorpus;

class Unsavable : public Phrase {
 public:
  bool IsSavable() const override { return false; }
};

// Texts and phrases that reach every branch of the writer's escaping and encoding.
class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
  template <typename T, size_t N>
  T Pick(const T (&values)[N]) {
    return values[Below(N)];
  }

  std::u16string Text(size_t maxLength) {
    static const char16_t kUnits[] = {
        u'a', u'Z', u'7', u' ', u' ', u'\t', u'\r', u'\n', 0x0B, 0x0C, 0x00, 0x01, 0x1F, 0x7F,
        u'&', u'<', u'>', u'"', u'\'', u';', u'#', u'x', 0x80, 0xE9, 0x7FF, 0x800, 0x20AC,
        0xFEFF, 0xFFFD, 0xFFFE, 0xFFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF};
    std::u16string text;
    const size_t length = Below(maxLength + 1);
    for (size_t i = 0; i < length; ++i) {
      if (Below(8) == 0) {
        text += u"\U0001F600";  // a pair; the lone halves above make broken ones
      } else {
        text += Pick(kUnits);
      }
    }
    return text;
  }

  void Map(FlagMap& map, size_t maxEntries) {
    for (size_t i = Below(maxEntries + 1); i > 0; --i) map[Text(6)] = Below(3) == 0 ? 0 : 1;
  }

  std::unique_ptr<Phrase> MakePhrase() {
    auto phrase = Below(6) == 0 ? std::make_unique<Unsavable>() : std::make_unique<Phrase>();
    static const int32_t kNumbers[] = {0, 1, 2, -1, 7, 100, INT32_MAX, INT32_MIN};
    phrase->SetWord(Text(12));
    phrase->SetCaseSensitive(Pick(kNumbers));
    phrase->SetAddOrReplace(Pick(kNumbers));
    phrase->SetLeftAfter(Pick(kNumbers));
    phrase->SetCountUsage(Pick(kNumbers));
    phrase->SetUseWithList(Pick(kNumbers));
    phrase->SetEnabled(Pick(kNumbers));
    Map(phrase->Prefixes(), 3);
    Map(phrase->Include(), 2);
    Map(phrase->Exclude(), 2);
    SystemTime time;
    static const uint16_t kFields[] = {0, 1, 9, 10, 59, 2026, 65535};
    time.year = Pick(kFields);
    time.month = Pick(kFields);
    time.day = Pick(kFields);
    time.hour = Pick(kFields);
    time.minute = Pick(kFields);
    time.second = Pick(kFields);
    phrase->SetDateCreated(time);
    return phrase;
  }

  void Collection(PhraseDatabase& db, size_t maxPhrases) {
    for (size_t i = Below(maxPhrases + 1); i > 0; --i) db.Add(MakePhrase());
  }

 private:
  std::mt19937 random_;
};

TEST(PhraseXmlWriter, GivesTheBytesOfTinyXmlsPrinterForGeneratedCollections) {
  Generator generate(20261210);
  std::string reused = "left from an earlier save, longer than some of the documents below";
  for (int round = 0; round < 400; ++round) {
    PhraseDatabase db;
    generate.Collection(db, 6);
    const std::string expected = PrintDatabaseWithTinyXml(db);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(File::Serialize(db), expected) << "round " << round;
    ASSERT_TRUE(File::SerializeInto(db, reused));
    ASSERT_EQ(reused, expected) << "round " << round;
    std::vector<const Phrase*> all;
    for (const auto& phrase : db.Items()) all.push_back(phrase.get());
    ASSERT_EQ(File::SerializePhrases(all), PrintPhrasesWithTinyXml(all)) << "round " << round;
    if (!all.empty()) {
      ASSERT_EQ(File::WritePhraseDocument(*all.front()), PrintPhrasesWithTinyXml({all.data(), 1}));
    }
  }
}

TEST(PhraseXmlWriter, GivesTheBytesOfTinyXmlsPrinterForTheFuzzingCorpus) {
  ASSERT_FALSE(kDatabaseCorpus.empty());
  for (const auto& file : kDatabaseCorpus) {
    PhraseDatabase db;
    if (!File::ParseFileBytes(db, file.bytes)) continue;
    EXPECT_EQ(File::Serialize(db), PrintDatabaseWithTinyXml(db)) << file.name;
    // What was read once is written and read again as Vellix does after each save.
    PhraseDatabase again;
    ASSERT_EQ(File::Parse(again, File::Serialize(db), 1), 1) << file.name;
    EXPECT_EQ(File::Serialize(again), PrintDatabaseWithTinyXml(again)) << file.name;
  }
}

// Differences between two readings of one text, or empty. Dates that come from the clock
// (no DateCreated, or fields that it lacks) differ in their milliseconds and may differ by
// the second that passed between the readings; milliseconds are therefore not compared.
std::string Differences(const PhraseDatabase& a, const ParseReport& ra, const PhraseDatabase& b,
                        const ParseReport& rb) {
  if (ra.phraseElements != rb.phraseElements || ra.rejected != rb.rejected || ra.inputCut != rb.inputCut) {
    return "reports differ";
  }
  if (a.Size() != b.Size()) return "sizes " + std::to_string(a.Size()) + " and " + std::to_string(b.Size());
  for (size_t i = 0; i < a.Size(); ++i) {
    const Phrase& p = a.At(i);
    const Phrase& q = b.At(i);
    SystemTime dp = p.DateCreated();
    SystemTime dq = q.DateCreated();
    dp.milliseconds = dq.milliseconds = 0;
    if (p.Id() != q.Id() || p.Word() != q.Word() || p.Prefixes() != q.Prefixes() ||
        p.Include() != q.Include() || p.Exclude() != q.Exclude() || p.CaseSensitive() != q.CaseSensitive() ||
        p.AddOrReplace() != q.AddOrReplace() || p.LeftAfter() != q.LeftAfter() ||
        p.CountUsage() != q.CountUsage() || p.UseWithList() != q.UseWithList() || p.Enabled() != q.Enabled() ||
        !(dp == dq)) {
      return "phrase " + std::to_string(i) + " differs";
    }
  }
  return {};
}

// Parse (quick reader first) and TinyXML alone read text alike.
::testing::AssertionResult ReadAlike(std::string_view text) {
  std::string difference;
  for (int attempt = 0; attempt < 3; ++attempt) {
    PhraseDatabase quick;
    PhraseDatabase reference;
    quick.Add(std::make_unique<Phrase>());  // a root-less text must leave it
    reference.Add(std::make_unique<Phrase>());
    ParseReport quickReport;
    ParseReport referenceReport;
    const int quickResult = File::Parse(quick, text, 1, &quickReport);
    const int referenceResult = File::ParseWithTinyXml(reference, text, 1, &referenceReport);
    if (quickResult != referenceResult) {
      return ::testing::AssertionFailure() << "results " << quickResult << " and " << referenceResult;
    }
    difference = Differences(quick, quickReport, reference, referenceReport);
    if (difference.empty()) return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << difference;
}

bool TakenByQuickReader(std::string_view text) {
  PhraseDatabase read;
  ParseReport report;
  return ReadPlainDatabaseXml(text, 1, read, report);
}

std::string Document(const std::string& phrases) {
  return "<?xml version=\"1.0\" ?>\r\n<Tessil_Phrase_Data>\r\n" + phrases + "\r\n</Tessil_Phrase_Data>\r\n";
}

const char kDate[] = "<DateCreated Year=\"2026\" Month=\"12\" Day=\"5\" Hour=\"5\" Min=\"25\" Sec=\"11\" />";

TEST(PhraseXmlReader, ReadsWhatTinyXmlReads) {
  struct Case {
    std::string text;
    bool quick;  // the quick reader takes it; otherwise TinyXML reads it
  };
  const std::string d = kDate;
  const Case cases[] = {
      // Files as Vellix writes them and as people edit them.
      {Document("<Phrase CaseSensitive=\"1\" AddOrReplace=\"1\" LeftAfter=\"0\" CountUsage=\"3\" "
                "UseWithList=\"NotUse\" Enabled=\"1\"><Word>Best regards</Word><Prefixes><Prefix "
                "Disabled=\"1\">BR</Prefix><Prefix Disabled=\"0\">br</Prefix></Prefixes><Include />"
                "<Exclude />" + d + "</Phrase>"), true},
      {"<Tessil_Phrase_Data/>", true},
      {"\xEF\xBB\xBF \r\n<Tessil_Phrase_Data a='1' >\n</Tessil_Phrase_Data >\r\n\xEF\xBB\xBF", true},
      {"<?XML version='1.0' encoding=\"ISO-8859-1\" standalone='yes' other ?>\r\n<Tessil_Phrase_Data/>", true},
      {"<?xml version=\"1.0\" ?><?xml version=\"1.0\" ?><Tessil_Phrase_Data/>", false},
      {"<?xml?><Tessil_Phrase_Data/>", true},
      {Document("<Phrase Enabled = '1'CountUsage=\" 42 \" Unknown=\"&lt;x&gt;\" UseWithList=\"useEXCLUDElist\">" + d +
                "<Exclude><FileName Disabled='0'>cmd.exe</FileName></Exclude><Word>w</Word></Phrase>"), true},
      {Document("<Phrase UseWithList=\"Not&#85;se\" LeftAfter=\"&#x2D;3\" Enabled=\"&#x31;\"><Word>x</Word></Phrase>"), true},
      {Document("<Phrase LeftAfter=\"99999999999\" CountUsage=\"-5x\" AddOrReplace=\"0x1\" CaseSensitive=\"+2\"><Word>x</Word></Phrase>"), true},
      {Document("<Phrase><Word/></Phrase><Phrase><Word></Word></Phrase><Phrase><Word>  \r\n </Word></Phrase>"), true},
      {Document("<Phrase><Word>&#x20;&#x09;&#13;&#x0A;</Word></Phrase><Phrase><Word> &#x20;a&#x20; </Word></Phrase>"), true},
      {Document("<Phrase><Word>  a \r\n\t b  &#x0D;&#x0A;  c\t</Word></Phrase>"), true},
      {Document("<Phrase><Word>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#x6a;&#x6A;&#x1F600;&#128512;&#xFFFF;</Word></Phrase>"), true},
      {Document("<Phrase><Word> \xEF\xBB\xBF lead\xEF\xBB\xBFin \xEF\xBF\xBE \xEF\xBF\xBF</Word></Phrase>"), true},
      {Document("<Phrase><Word>Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80 \x01\x7F></Word  ></Phrase>"), true},
      {Document("<Phrase><Word>w</Word><Prefixes><Prefix>a</Prefix><Prefix Disabled=\"1\">a</Prefix>"
                "<Prefix Disabled=\"7\">b</Prefix><Prefix/><Prefix Disabled=\"1\"/><Prefix>  </Prefix>"
                "<Prefix> c  d </Prefix></Prefixes><Include/></Phrase>"), true},
      {Document("<Phrase/><Phrase CountUsage=\"4\"><Prefixes><Prefix>lost</Prefix></Prefixes></Phrase>"
                "<Phrase><Word>kept</Word></Phrase>"), true},
      {Document("<Phrase><Word>x</Word><DateCreated Year=\"2001\"/></Phrase>"
                "<Phrase><Word>y</Word><DateCreated Year=\"2001\" Month=\"x\" Day=\"70000\" Sec=\"\"></DateCreated></Phrase>"
                "<Phrase><Word>z</Word></Phrase>"), true},
      // Constructs left to TinyXML.
      {Document("<!-- c --><Phrase><Word>x</Word></Phrase>"), false},
      {"<!-- c --><Tessil_Phrase_Data/>", false},
      {"<!DOCTYPE x><Tessil_Phrase_Data/>", false},
      {"<?pi?><Tessil_Phrase_Data/>", false},
      {Document("<Phrase><Word><![CDATA[  raw <x> ]]></Word></Phrase>"), false},
      {Document("<Phrase><Word><b/>x</Word></Phrase>"), false},
      {Document("<Phrase><Word>x<!-- c -->y</Word></Phrase>"), false},
      {Document("<Phrase>text<Word>x</Word></Phrase>"), false},
      {Document("<Phrase><Other/><Word>x</Word></Phrase>"), false},
      {Document("<Other/><Phrase><Word>x</Word></Phrase>"), false},
      {Document("<Phrase><Word>first</Word><Word>second</Word></Phrase>"), false},
      {Document("<Phrase><Word>x</Word><Prefixes><Prefix>a</Prefix></Prefixes><Prefixes><Prefix>b</Prefix></Prefixes></Phrase>"), false},
      {Document("<Phrase><Word>x</Word><Prefixes><Prefix>a</Prefix><FileName>b</FileName></Prefixes></Phrase>"), false},
      {Document("<Phrase Enabled=\"1\" Enabled=\"0\"><Word>x</Word></Phrase>"), false},
      {Document("<Phrase Enabled=1><Word>x</Word></Phrase>"), false},
      {Document("<Phrase><Word>a & b</Word></Phrase>"), false},
      {Document("<Phrase><Word>&nbsp;</Word></Phrase>"), false},
      {Document("<Phrase><Word>&#x;&#;</Word></Phrase>"), false},
      {Document("<Phrase><Word>a&#0;b</Word></Phrase>"), false},
      {Document("<Phrase><Word>&#xD800;</Word></Phrase>"), false},
      {Document("<Phrase><Word>&#x110000;</Word></Phrase>"), false},
      {Document("<Phrase><Word>&#X41;</Word></Phrase>"), false},
      {Document("<Phrase><Word>&#x0000041;</Word></Phrase>"), false},
      {Document("<Phrase><Word>&#x4 1;</Word></Phrase>"), false},
      {Document("<Phrase UseWithList=\"a&b\"><Word>x</Word></Phrase>"), false},
      {Document("<Phrase><Word>a\xFF" "b</Word></Phrase>"), false},
      {Document("<Phrase><Word>\xC0\xAF</Word></Phrase>"), false},
      {Document("<Phrase><Word>a" + std::string(1, '\0') + "b</Word></Phrase>"), false},
      {Document("<Phrase><Word>x</Word></Phrase>") + "trailing", false},
      {Document("<Phrase><Word>x</Word></Phrase>") + "<Tessil_Phrase_Data/>", false},
      {Document("<Phrase><Word>one</Word></Phrase><Phrase><Word>tw"), false},
      {"<Tessil_Phrase_Data><Phrase><Word>x</Word></Phrase>", false},
      {Document("<Phrase><Word>x</Wordy></Phrase>"), false},
      {Document("<Phrase><Word\xC3\xA4>x</Word\xC3\xA4></Phrase>"), false},
      {Document("<Phrase\x7F><Word>x</Word></Phrase\x7F>"), false},
      {Document("< Phrase><Word>x</Word></Phrase>"), false},
      {Document("<Phrase><Word>x</Word></Phrase \xEF\xBB\xBF>"), true},
      {"<Tessil_Phrase_Dat/>", false},
      {"<Other><Phrase><Word>x</Word></Phrase></Other>", false},
      {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TakenByQuickReader(c.text), c.quick) << c.text;
    EXPECT_TRUE(ReadAlike(c.text)) << c.text;
  }
  // An element with more attributes than the quick reader keeps track of.
  std::string many = "<Phrase";
  for (int i = 0; i < 70; ++i) many += " a" + std::to_string(i) + "=\"1\"";
  many = Document(many + "><Word>x</Word></Phrase>");
  EXPECT_FALSE(TakenByQuickReader(many));
  EXPECT_TRUE(ReadAlike(many));
}

TEST(PhraseXmlReader, ReadsTheFuzzingCorpusAsTinyXmlDoes) {
  for (const auto& file : kDatabaseCorpus) {
    const std::string_view text = file.bytes.substr(0, file.bytes.find('\0'));
    EXPECT_TRUE(ReadAlike(text)) << file.name;
  }
}

// Written documents damaged at random: bytes inserted, removed or replaced by ones that
// matter to XML. Whichever reader takes a document, the result must be TinyXML's.
TEST(PhraseXmlReader, ReadsDamagedDocumentsAsTinyXmlDoes) {
  const std::string kPieces[] = {
      " ", "\r\n", "\t", "\v", "<", ">", "/", "</", "/>", "=", "\"", "'", "&", "&amp;", "&#", "&#x",
      "&#x41;", "&#65;", "&#x0D;", "&#x20;", ";", "x", "A", "7", "-", "!", "?", "<!--", "-->",
      "<![CDATA[", "]]>", "<Word>", "</Word>", "<Word/>", "<Prefix>", "</Prefix>", "<Prefixes>",
      "</Prefixes>", "<Phrase>", "</Phrase>", "<DateCreated/>", " Disabled=\"1\"", " Enabled='1'",
      "\xEF\xBB\xBF", "\xEF\xBF\xBE", "\xC3\xA4", "\xC3", "\xFF", "\x7F", std::string(1, '\0')};
  Generator generate(4711);
  std::mt19937 random(99);
  auto below = [&random](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  int quick = 0;
  int rounds = 0;
  for (; rounds < 3000; ++rounds) {
    PhraseDatabase db;
    generate.Collection(db, 3);
    std::string text = File::Serialize(db);
    for (size_t edits = 1 + below(3); edits > 0; --edits) {
      const size_t at = below(text.size() + 1);
      const std::string& piece = kPieces[below(std::size(kPieces))];
      switch (below(3)) {
        case 0: text.insert(at, piece); break;
        case 1: text.erase(at, 1 + below(4)); break;
        default: text.replace(at, 1 + below(2), piece); break;
      }
    }
    if (TakenByQuickReader(text)) ++quick;
    ASSERT_TRUE(ReadAlike(text)) << "round " << rounds << ": " << text;
  }
  // Both readers had their share.
  EXPECT_GT(quick, 100);
  EXPECT_LT(quick, rounds - 100);
}

}  // namespace
}  // namespace vellix
