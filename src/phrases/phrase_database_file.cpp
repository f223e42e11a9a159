#include "phrases/phrase_database_file.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <new>

#include "base/utf.h"
#include "phrases/phrase_xml_reader.h"
#include "phrases/phrase_xml_values.h"
#include "phrases/phrase_xml_writer.h"
#include "phrases/xml_input_guard.h"

namespace vellix {
namespace {

constexpr char kRoot[] = "Tessil_Phrase_Data";
constexpr char kPhrase[] = "Phrase";

int32_t ReadAttribute(const TiXmlElement& element, const char* name, int32_t fallback) {
  const char* value = element.Attribute(name);
  return value ? ReadNumber(value, fallback) : fallback;
}

int32_t ReadFlag(const TiXmlElement& element, const char* name) {
  return ReadAttribute(element, name, 0) != 0 ? 1 : 0;
}

int32_t ReadListMode(const TiXmlElement& element) {
  const char* value = element.Attribute("UseWithList");
  return value ? vellix::ReadListMode(value) : kNotUse;
}

// The element's text when its first child is text; empty otherwise.
std::u16string TextOf(const TiXmlElement& element) {
  const char* text = element.GetText();
  return text ? Utf8ToUtf16(text) : std::u16string();
}

// Entries of `childName` under the first `listName` child: the last occurrence of a name
// decides its flag; empty names are skipped.
void ReadFlagMap(const TiXmlElement& phrase, const char* listName, const char* childName,
                 FlagMap& map) {
  const TiXmlElement* list = phrase.FirstChildElement(listName);
  if (!list) return;
  for (const TiXmlElement* item = list->FirstChildElement(childName); item;
       item = item->NextSiblingElement(childName)) {
    std::u16string name = TextOf(*item);
    if (name.empty()) continue;
    map[std::move(name)] = ReadAttribute(*item, "Disabled", 0) == 0 ? 1 : 0;
  }
}

void ReadDate(const TiXmlElement& date, Phrase& phrase) {
  SystemTime time = CurrentUtcTime();
  auto field = [&date](const char* name, uint16_t current) {
    return static_cast<uint16_t>(ReadAttribute(date, name, current));
  };
  time.year = field("Year", time.year);
  time.month = field("Month", time.month);
  time.day = field("Day", time.day);
  time.hour = field("Hour", time.hour);
  time.minute = field("Min", time.minute);
  time.second = field("Sec", time.second);
  time.dayOfWeek = 0;
  time.milliseconds = 0;
  phrase.SetDateCreated(time);
}

// Reads one `Phrase` element; false (phrase untouched) when it has no `Word`.
bool ReadPhrase(const TiXmlElement& element, uint32_t id, Phrase& phrase) {
  const TiXmlElement* word = element.FirstChildElement("Word");
  if (!word) return false;
  phrase.SetId(id);
  phrase.SetCaseSensitive(ReadFlag(element, "CaseSensitive"));
  phrase.SetAddOrReplace(ReadFlag(element, "AddOrReplace"));
  phrase.SetLeftAfter(ReadAttribute(element, "LeftAfter", 0));
  phrase.SetCountUsage(ReadAttribute(element, "CountUsage", 0));
  phrase.SetUseWithList(ReadListMode(element));
  phrase.SetEnabled(ReadFlag(element, "Enabled"));
  phrase.SetWord(TextOf(*word));
  // A phrase read from a document holds what the document says, nothing from before.
  phrase.Prefixes().clear();
  phrase.Include().clear();
  phrase.Exclude().clear();
  ReadFlagMap(element, "Prefixes", "Prefix", phrase.Prefixes());
  ReadFlagMap(element, "Include", "FileName", phrase.Include());
  ReadFlagMap(element, "Exclude", "FileName", phrase.Exclude());
  if (const TiXmlElement* date = element.FirstChildElement("DateCreated")) ReadDate(*date, phrase);
  return true;
}

// Parses guarded text; the root or null. The document owns everything. No row and column
// bookkeeping (it costs about a third of the parse): Locate parses again for positions when
// something was dropped.
const TiXmlElement* ParseRoot(TiXmlDocument& document, const XmlInputGuardResult& guarded,
                              const char** end = nullptr) {
  document.SetTabSize(0);
  const char* stopped = document.Parse(guarded.text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (end) *end = stopped;
  return document.FirstChildElement(kRoot);
}

// What Vellix writes for a phrase whose text is empty: a `Phrase` without `Word` whose
// children are only these. Such an element is dropped on every load by the format's own rule;
// any other content (a misspelt `Word`, text) would be lost by a save.
bool HoldsOnlyWhatAnEmptyPhraseWrites(const TiXmlElement& phrase) {
  for (const TiXmlNode* child = phrase.FirstChild(); child; child = child->NextSibling()) {
    if (child->ToComment()) continue;
    const TiXmlElement* element = child->ToElement();
    if (!element) return false;
    const std::string& name = element->ValueStr();
    if (name != "Prefixes" && name != "Include" && name != "Exclude" && name != "DateCreated") return false;
  }
  return true;
}

// Elements beside the root: the document's top-level elements other than the root.
template <typename Visit>
void ForEachElementBesideRoot(const TiXmlDocument& document, const TiXmlElement* root, Visit visit) {
  uint32_t index = 0;
  for (const TiXmlElement* element = document.FirstChildElement(); element;
       element = element->NextSiblingElement(), ++index) {
    if (element != root) visit(*element, index);
  }
}

// Fills in where reading stopped and where the lost elements stand. Positions need the
// parser's row and column bookkeeping, so the text is parsed once more with it; that happens
// only for a file that was not read whole.
void Locate(const XmlInputGuardResult& guarded, bool parserError, const char* end,
            const std::vector<uint32_t>& lostPhraseIndexes, uint32_t firstId, ParseReport& report) {
  const bool trailing = !parserError && end && *end;
  if (guarded.cut) {
    report.stop = PositionOfOffset(guarded, guarded.text.size());
    report.stopReason = "elements nest too deep";
  } else if (trailing) {
    report.stop = PositionOfOffset(guarded, size_t(end - guarded.text.c_str()));
    report.stopReason = "text after the root element";
  }
  if (!parserError && lostPhraseIndexes.empty() && report.lost.empty()) return;
  TiXmlDocument located;
  located.SetTabSize(1);
  located.Parse(guarded.text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (parserError && !guarded.cut) {
    report.stopReason = located.ErrorDesc();
    if (located.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY) {
      // No node at all: the parser stopped at the first character that starts none.
      const size_t first = guarded.text.find_first_not_of(" \t\r\n\v\f");
      report.stop = PositionOfOffset(guarded, first == std::string::npos ? guarded.text.size() : first);
    } else {
      report.stop = PositionOfParserPlace(guarded, located.ErrorRow(), located.ErrorCol());
      // The parser names no place when it ran out of text (a file cut short).
      if (report.stop.line == 0) report.stop = PositionOfOffset(guarded, guarded.text.size());
    }
  }
  const TiXmlElement* root = located.FirstChildElement(kRoot);
  std::vector<DroppedElement> lost;
  if (root && !lostPhraseIndexes.empty()) {
    size_t next = 0;
    uint32_t index = 0;
    for (const TiXmlElement* element = root->FirstChildElement(kPhrase);
         element && next < lostPhraseIndexes.size(); element = element->NextSiblingElement(kPhrase), ++index) {
      if (index != lostPhraseIndexes[next]) continue;
      lost.push_back({kPhrase, firstId + index, PositionOfParserPlace(guarded, element->Row(), element->Column())});
      ++next;
    }
  }
  ForEachElementBesideRoot(located, root, [&](const TiXmlElement& element, uint32_t) {
    lost.push_back({element.ValueStr(), 0, PositionOfParserPlace(guarded, element.Row(), element.Column())});
  });
  std::stable_sort(lost.begin(), lost.end(), [](const DroppedElement& a, const DroppedElement& b) {
    return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
  });
  report.lost = std::move(lost);
}

}  // namespace

std::string PhraseDatabaseFile::Serialize(const PhraseDatabase& collection) {
  return WriteDatabaseXml(collection);
}

size_t PhraseDatabaseFile::SerializedSize(const PhraseDatabase& collection) {
  return MeasureDatabaseXml(collection);
}

bool PhraseDatabaseFile::SerializeInto(const PhraseDatabase& collection, std::string& text) {
  return WriteDatabaseXml(collection, text);
}

std::string PhraseDatabaseFile::SerializePhrases(std::span<const Phrase* const> phrases) {
  return WritePhrasesXml(phrases);
}

std::string PhraseDatabaseFile::WritePhraseDocument(const Phrase& phrase) {
  const Phrase* one[] = {&phrase};
  return SerializePhrases(one);
}

namespace {

// TinyXML's reading with the report; unreadTail: the text was cut at a zero byte with more
// than blanks after it.
int ParseTextWithTinyXml(PhraseDatabase& collection, std::string_view text, uint32_t firstId,
                         ParseReport* report, bool unreadTail) {
  try {
    const XmlInputGuardResult guarded = GuardXmlInput(text);
    TiXmlDocument document;
    const char* end = nullptr;
    const TiXmlElement* root = ParseRoot(document, guarded, &end);
    ParseReport found;
    found.inputCut = guarded.cut;
    found.ampersandsRepaired = uint32_t(guarded.repairedAmpersands.size());
    // Read into a collection of our own and take it over at the end, so that running out
    // of memory half-way leaves the caller's collection as it was.
    PhraseDatabase read;
    std::vector<uint32_t> lostPhrases;  // indexes among the `Phrase` elements
    if (root) {
      uint32_t id = firstId;
      for (const TiXmlElement* element = root->FirstChildElement(kPhrase); element;
           element = element->NextSiblingElement(kPhrase), ++id) {
        ++found.phraseElements;
        auto phrase = std::make_unique<Phrase>();
        if (ReadPhrase(*element, id, *phrase)) {
          read.AppendWithId(std::move(phrase));
        } else {
          found.rejected.push_back(id);
          if (!HoldsOnlyWhatAnEmptyPhraseWrites(*element)) lostPhrases.push_back(id - firstId);
        }
      }
    }
    if (report) {
      // Elements beside the root are counted here and placed by Locate.
      ForEachElementBesideRoot(document, root, [&found](const TiXmlElement& element, uint32_t) {
        found.lost.push_back({element.ValueStr(), 0, {}});
      });
      const bool parserError = document.Error();
      if (parserError || guarded.cut || (end && *end) || !lostPhrases.empty() || !found.lost.empty()) {
        Locate(guarded, parserError, end, lostPhrases, firstId, found);
      }
      if (unreadTail && found.stop.line == 0) {
        found.stop = PositionOfOffset(guarded, guarded.text.size());
        found.stopReason = "a zero byte; what follows it is not read";
      }
      *report = std::move(found);
    }
    if (!root) return 0;
    collection.TakeOver(read);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

// Files as Vellix writes them take the quick reader (it reads them whole, so its report
// says so); anything else goes to TinyXML, which also says where reading stopped.
int ParseText(PhraseDatabase& collection, std::string_view text, uint32_t firstId,
              ParseReport* report, bool unreadTail) {
  if (!unreadTail) {
    try {
      PhraseDatabase read;
      ParseReport found;
      if (ReadPlainDatabaseXml(text, firstId, read, found)) {
        collection.TakeOver(read);
        if (report) *report = std::move(found);
        return 1;
      }
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
  return ParseTextWithTinyXml(collection, text, firstId, report, unreadTail);
}

}  // namespace

int PhraseDatabaseFile::Parse(PhraseDatabase& collection, std::string_view text,
                              uint32_t firstId, ParseReport* report) {
  return ParseText(collection, text, firstId, report, false);
}

int PhraseDatabaseFile::ParseWithTinyXml(PhraseDatabase& collection, std::string_view text,
                                         uint32_t firstId, ParseReport* report) {
  return ParseTextWithTinyXml(collection, text, firstId, report, false);
}

int PhraseDatabaseFile::ParseFileBytes(PhraseDatabase& collection, std::string_view bytes,
                                       ParseReport* report) {
  const size_t zero = bytes.find('\0');
  const std::string_view text = bytes.substr(0, zero);
  if (text.empty()) return 0;
  // Zero bytes at the end (space a crash left allocated) hide nothing; anything else after
  // the first one is not read.
  const bool unreadTail =
      zero != std::string_view::npos && bytes.find_first_not_of(std::string_view("\0 \t\r\n", 5), zero) != std::string_view::npos;
  return ParseText(collection, text, 1, report, unreadTail);
}

int PhraseDatabaseFile::ReadPhraseDocument(Phrase& phrase, std::string_view text) {
  try {
    const XmlInputGuardResult guarded = GuardXmlInput(text);
    TiXmlDocument document;
    const TiXmlElement* root = ParseRoot(document, guarded);
    const TiXmlElement* element = root ? root->FirstChildElement(kPhrase) : nullptr;
    return (element && ReadPhrase(*element, 1, phrase)) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

std::u16string PhraseDatabaseFile::BackupName(std::u16string_view databasePath,
                                              std::u16string_view stamp) {
  const size_t slash = databasePath.find_last_of(u"\\/");
  const std::u16string_view fileName =
      slash == std::u16string_view::npos ? databasePath : databasePath.substr(slash + 1);
  const size_t dot = fileName.rfind(u'.');
  const std::u16string_view base = fileName.substr(0, dot);
  const std::u16string_view extension =
      dot == std::u16string_view::npos ? std::u16string_view() : fileName.substr(dot);
  std::u16string name(base);
  name += u'_';
  for (char16_t c : stamp) {
    if (c == u' ') {
      name += u'_';
    } else if (c < 32 || std::u16string_view(u":\\/*?\"<>|").find(c) != std::u16string_view::npos) {
      name += u'-';
    } else {
      name += c;
    }
  }
  name += extension;
  return name;
}

}  // namespace vellix
