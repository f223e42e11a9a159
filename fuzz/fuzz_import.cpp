// Feeds arbitrary bytes to the readers of other programs' phrase files (CSV, TSV,
// AutoHotkey, espanso YAML). Besides crashes it checks that a source is either read or
// fails with a message, never both, and that every phrase taken has a text and a keystroke.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/phrase_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static constexpr vellix::ImportFormat kFormats[] = {
      vellix::ImportFormat::kCsv, vellix::ImportFormat::kTsv, vellix::ImportFormat::kAutoHotkey,
      vellix::ImportFormat::kEspanso};
  const vellix::ImportFormat format = kFormats[data[0] % 4];
  const std::string_view source(reinterpret_cast<const char*>(data + 1), size - 1);
  const vellix::ImportResult result = vellix::ImportPhrases(format, source);
  if (result.failed && (result.error.text.empty() || !result.phrases.empty())) std::abort();
  for (const auto& phrase : result.phrases) {
    if (phrase->Word().empty() || phrase->Prefixes().empty()) std::abort();
    if (phrase->LeftAfter() < 0 || phrase->LeftAfter() > 100) std::abort();
  }
  return 0;
}
