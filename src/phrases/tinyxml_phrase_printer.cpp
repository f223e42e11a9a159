#include "phrases/tinyxml_phrase_printer.h"

#include <tinyxml.h>

#include <memory>
#include <new>

#include "base/utf.h"
#include "phrases/phrase_xml_values.h"

namespace vellix {
namespace {

void AppendTextElement(TiXmlElement& parent, const char* name, std::u16string_view text) {
  auto element = std::make_unique<TiXmlElement>(name);
  element->LinkEndChild(new TiXmlText(Utf16ToUtf8(text)));
  parent.LinkEndChild(element.release());
}

void AppendFlagMap(TiXmlElement& phrase, const char* listName, const char* childName,
                   const FlagMap& map) {
  auto list = std::make_unique<TiXmlElement>(listName);
  for (const auto& [name, enabled] : map) {
    if (name.empty()) continue;
    auto item = std::make_unique<TiXmlElement>(childName);
    item->SetAttribute("Disabled", enabled ? "0" : "1");
    item->LinkEndChild(new TiXmlText(Utf16ToUtf8(name)));
    list->LinkEndChild(item.release());
  }
  phrase.LinkEndChild(list.release());
}

TiXmlElement* MakePhraseElement(const Phrase& phrase) {
  auto element = std::make_unique<TiXmlElement>("Phrase");
  element->SetAttribute("CaseSensitive", phrase.CaseSensitive() ? 1 : 0);
  element->SetAttribute("AddOrReplace", phrase.AddOrReplace());
  element->SetAttribute("LeftAfter", phrase.LeftAfter());
  element->SetAttribute("CountUsage", phrase.CountUsage());
  const std::string mode(ListModeWord(phrase.UseWithList()));
  element->SetAttribute("UseWithList", mode.c_str());
  element->SetAttribute("Enabled", phrase.Enabled());
  if (!phrase.Word().empty()) AppendTextElement(*element, "Word", phrase.Word());
  AppendFlagMap(*element, "Prefixes", "Prefix", phrase.Prefixes());
  AppendFlagMap(*element, "Include", "FileName", phrase.Include());
  AppendFlagMap(*element, "Exclude", "FileName", phrase.Exclude());
  auto date = std::make_unique<TiXmlElement>("DateCreated");
  const SystemTime& time = phrase.DateCreated();
  date->SetAttribute("Year", time.year);
  date->SetAttribute("Month", time.month);
  date->SetAttribute("Day", time.day);
  date->SetAttribute("Hour", time.hour);
  date->SetAttribute("Min", time.minute);
  date->SetAttribute("Sec", time.second);
  element->LinkEndChild(date.release());
  return element.release();
}

// GCC 12 inlines TiXmlPrinter's string members and then warns about bytes it cannot follow
// (a false alarm inside the library's header).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

template <typename Phrases, typename Filter>
std::string PrintDocument(const Phrases& phrases, Filter keep) {
  try {
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    auto* root = new TiXmlElement("Tessil_Phrase_Data");
    document.LinkEndChild(root);
    for (const auto& phrase : phrases) {
      if (keep(*phrase)) root->LinkEndChild(MakePhraseElement(*phrase));
    }
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("\r\n");
    if (!document.Accept(&printer)) return {};
    return printer.Str();
  } catch (const std::bad_alloc&) {
    return {};
  }
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace

std::string PrintDatabaseWithTinyXml(const PhraseDatabase& collection) {
  return PrintDocument(collection.Items(), [](const Phrase& p) { return p.IsSavable(); });
}

std::string PrintPhrasesWithTinyXml(std::span<const Phrase* const> phrases) {
  return PrintDocument(phrases, [](const Phrase&) { return true; });
}

}  // namespace vellix
