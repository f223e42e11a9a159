// Feeds arbitrary bytes to the database readers and the phrase-document reader. Besides
// crashes it checks these properties: the places a report names lie inside the text; TinyXML never nests deeper than the input guard allows
// (its recursion is what a hostile file would use to overflow the stack); Parse, which tries
// the quick reader first, reads every text exactly as TinyXML alone does; the streaming
// writer gives the bytes of TinyXML's printer for whatever was read; and reading what was
// written settles: a blank text is written as such, dropped on reading, and the phrase whose
// text became empty is then written without text and dropped on the next reading, so from
// the third save on a reloaded database gives the same bytes.

#include <tinyxml.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "phrases/phrase_database_file.h"
#include "phrases/tinyxml_phrase_printer.h"
#include "phrases/xml_input_guard.h"

namespace {

int DeepestElement(const TiXmlNode& root) {
  int deepest = 0;
  std::vector<std::pair<const TiXmlNode*, int>> pending{{&root, 0}};
  while (!pending.empty()) {
    auto [node, depth] = pending.back();
    pending.pop_back();
    if (depth > deepest) deepest = depth;
    for (const TiXmlElement* child = node->FirstChildElement(); child; child = child->NextSiblingElement()) {
      pending.emplace_back(child, depth + 1);
    }
  }
  return deepest;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

// Every field but the milliseconds of the creation time: dates taken from the clock differ
// in those between two readings (and, rarely, by the second that passed in between).
bool SameReading(const vellix::PhraseDatabase& a, const vellix::ParseReport& ra,
                 const vellix::PhraseDatabase& b, const vellix::ParseReport& rb) {
  if (ra.phraseElements != rb.phraseElements || ra.rejected != rb.rejected || ra.inputCut != rb.inputCut ||
      a.Size() != b.Size()) {
    return false;
  }
  for (size_t i = 0; i < a.Size(); ++i) {
    const vellix::Phrase& p = a.At(i);
    const vellix::Phrase& q = b.At(i);
    vellix::SystemTime dp = p.DateCreated();
    vellix::SystemTime dq = q.DateCreated();
    dp.milliseconds = dq.milliseconds = 0;
    if (p.Id() != q.Id() || p.Word() != q.Word() || p.Prefixes() != q.Prefixes() ||
        p.Include() != q.Include() || p.Exclude() != q.Exclude() || p.CaseSensitive() != q.CaseSensitive() ||
        p.AddOrReplace() != q.AddOrReplace() || p.LeftAfter() != q.LeftAfter() ||
        p.CountUsage() != q.CountUsage() || p.UseWithList() != q.UseWithList() || p.Enabled() != q.Enabled() ||
        !(dp == dq)) {
      return false;
    }
  }
  return true;
}

// Parse and TinyXML alone read the bytes alike (read again when a second passed between).
void RequireReadAlike(std::string_view bytes) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  for (int attempt = 0;; ++attempt) {
    vellix::PhraseDatabase quick;
    vellix::PhraseDatabase reference;
    vellix::ParseReport quickReport;
    vellix::ParseReport referenceReport;
    const int quickResult = vellix::PhraseDatabaseFile::Parse(quick, text, 1, &quickReport);
    const int referenceResult = vellix::PhraseDatabaseFile::ParseWithTinyXml(reference, text, 1, &referenceReport);
    Require(quickResult == referenceResult);
    if (SameReading(quick, quickReport, reference, referenceReport)) return;
    Require(attempt < 2);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vellix::PhraseDatabaseFile;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const vellix::XmlInputGuardResult guarded = vellix::GuardXmlInput(input);
  TiXmlDocument document;
  document.Parse(guarded.text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  Require(DeepestElement(document) <= vellix::kMaxXmlDepth);

  // The report's places lie inside the text: no line beyond its line breaks, columns from 1.
  vellix::PhraseDatabase reported;
  vellix::ParseReport report;
  PhraseDatabaseFile::ParseFileBytes(reported, input, &report);
  size_t lineBreaks = 0;
  for (char c : input) lineBreaks += (c == '\r' || c == '\n') ? 1 : 0;
  Require(report.stop.line <= lineBreaks + 1 && (report.stop.line == 0) == (report.stop.column == 0));
  for (const vellix::DroppedElement& element : report.lost) {
    Require(element.at.line >= 1 && element.at.line <= lineBreaks + 1 && element.at.column >= 1);
  }

  RequireReadAlike(input);

  vellix::PhraseDatabase first;
  if (PhraseDatabaseFile::ParseFileBytes(first, input)) {
    const std::string once = PhraseDatabaseFile::Serialize(first);
    Require(once == vellix::PrintDatabaseWithTinyXml(first));
    RequireReadAlike(once);
    vellix::PhraseDatabase second;
    Require(PhraseDatabaseFile::Parse(second, once, 1) == 1);
    const std::string twice = PhraseDatabaseFile::Serialize(second);
    vellix::PhraseDatabase third;
    Require(PhraseDatabaseFile::Parse(third, twice, 1) == 1);
    const std::string thrice = PhraseDatabaseFile::Serialize(third);
    vellix::PhraseDatabase fourth;
    Require(PhraseDatabaseFile::Parse(fourth, thrice, 1) == 1);
    Require(PhraseDatabaseFile::Serialize(fourth) == thrice);
  }

  vellix::Phrase phrase;
  if (PhraseDatabaseFile::ReadPhraseDocument(phrase, input)) {
    const std::string text = PhraseDatabaseFile::WritePhraseDocument(phrase);
    const vellix::Phrase* one[] = {&phrase};
    Require(text == vellix::PrintPhrasesWithTinyXml(one));
    vellix::Phrase copy;
    Require(PhraseDatabaseFile::ReadPhraseDocument(copy, text) == (phrase.Word().empty() ? 0 : 1));
  }
  return 0;
}
