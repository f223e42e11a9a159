#include "phrases/phrase_database_file.h"

#include <tinyxml.h>

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

// Parses guarded text; the root or null. The document owns everything.
const TiXmlElement* ParseRoot(TiXmlDocument& document, std::string_view text, bool* cut) {
  const XmlInputGuardResult guarded = GuardXmlInput(text);
  if (cut) *cut = guarded.cut;
  document.SetTabSize(0);  // no row and column bookkeeping: errors are not reported
  document.Parse(guarded.text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  return document.FirstChildElement(kRoot);
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

int PhraseDatabaseFile::Parse(PhraseDatabase& collection, std::string_view text,
                              uint32_t firstId, ParseReport* report) {
  // Files as Vellix writes them take the quick reader; anything else goes to TinyXML.
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
  return ParseWithTinyXml(collection, text, firstId, report);
}

int PhraseDatabaseFile::ParseWithTinyXml(PhraseDatabase& collection, std::string_view text,
                                         uint32_t firstId, ParseReport* report) {
  try {
    TiXmlDocument document;
    ParseReport found;
    const TiXmlElement* root = ParseRoot(document, text, &found.inputCut);
    if (!root) return 0;
    // Read into a collection of our own and take it over at the end, so that running out
    // of memory half-way leaves the caller's collection as it was.
    PhraseDatabase read;
    uint32_t id = firstId;
    for (const TiXmlElement* element = root->FirstChildElement(kPhrase); element;
         element = element->NextSiblingElement(kPhrase), ++id) {
      ++found.phraseElements;
      auto phrase = std::make_unique<Phrase>();
      if (ReadPhrase(*element, id, *phrase)) {
        read.AppendWithId(std::move(phrase));
      } else {
        found.rejected.push_back(id);
      }
    }
    collection.TakeOver(read);
    if (report) *report = std::move(found);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int PhraseDatabaseFile::ParseFileBytes(PhraseDatabase& collection, std::string_view bytes,
                                       ParseReport* report) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  if (text.empty()) return 0;
  return Parse(collection, text, 1, report);
}

int PhraseDatabaseFile::ReadPhraseDocument(Phrase& phrase, std::string_view text) {
  try {
    TiXmlDocument document;
    const TiXmlElement* root = ParseRoot(document, text, nullptr);
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
