#pragma once
// Reading phrases from another program's file into a collection: the format by name, the
// reader, and the keystrokes that now collide with phrases already there.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/import_result.h"
#include "phrases/phrase_database.h"

namespace vellix {

enum class ImportFormat { kCsv, kTsv, kAutoHotkey, kEspanso };

// "csv", "tsv", "ahk" or "autohotkey", "espanso" (any case); nothing for another name.
std::optional<ImportFormat> ImportFormatNamed(std::string_view name);

ImportResult ImportPhrases(ImportFormat format, std::string_view source);

struct KeystrokeCollision {
  std::u16string keystroke;
  uint32_t importedId = 0;
  std::vector<uint32_t> otherIds;  // the phrases that had the keystroke before
};

// Appends the phrases of result to collection (numbered after its last phrase) and answers
// the enabled keystrokes of the new phrases that phrases of the collection already had.
std::vector<KeystrokeCollision> AppendImported(ImportResult& result, PhraseDatabase& collection);

}  // namespace vellix
