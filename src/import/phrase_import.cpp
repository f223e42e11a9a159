#include "import/phrase_import.h"

#include <algorithm>
#include <cctype>

#include "import/autohotkey_format.h"
#include "import/csv_format.h"
#include "import/espanso_format.h"

namespace vellix {

std::optional<ImportFormat> ImportFormatNamed(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "csv") return ImportFormat::kCsv;
  if (lower == "tsv") return ImportFormat::kTsv;
  if (lower == "ahk" || lower == "autohotkey") return ImportFormat::kAutoHotkey;
  if (lower == "espanso") return ImportFormat::kEspanso;
  return std::nullopt;
}

ImportResult ImportPhrases(ImportFormat format, std::string_view source) {
  try {
    switch (format) {
      case ImportFormat::kCsv: return ImportDelimited(source, ',');
      case ImportFormat::kTsv: return ImportDelimited(source, '\t');
      case ImportFormat::kAutoHotkey: return ImportAutoHotkey(source);
      case ImportFormat::kEspanso: return ImportEspanso(source);
    }
  } catch (const std::exception& e) {
    ImportResult failed;
    failed.Fail(0, std::string("the file could not be read: ") + e.what());
    return failed;
  }
  return {};
}

std::vector<KeystrokeCollision> AppendImported(ImportResult& result, PhraseDatabase& collection) {
  uint32_t nextId = 1;
  for (const auto& phrase : collection.Items()) nextId = std::max(nextId, phrase->Id() + 1);
  std::vector<uint32_t> importedIds;
  for (auto& phrase : result.phrases) {
    phrase->SetId(nextId);
    importedIds.push_back(nextId++);
    collection.AppendWithId(std::move(phrase));
  }
  result.phrases.clear();
  std::vector<KeystrokeCollision> collisions;
  for (const uint32_t id : importedIds) {
    const Phrase* phrase = collection.Find(id);
    for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
      if (!enabled) continue;
      DuplicateSet others;
      if (collection.FindKeystrokeDuplicates(keystroke, id, others) == 0) continue;
      KeystrokeCollision collision{keystroke, id, {}};
      for (const uint32_t other : others) {
        if (other < id) collision.otherIds.push_back(other);  // each pair once
      }
      if (!collision.otherIds.empty()) collisions.push_back(std::move(collision));
    }
  }
  return collisions;
}

}  // namespace vellix
