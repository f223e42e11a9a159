#include "editor/conflict_texts.h"

#include <vector>

#include "base/number_text.h"
#include "base/utf.h"
#include "editor/database_texts.h"
#include "phrases/phrase.h"
#include "resource.h"

namespace vellix {
namespace {

// The other phrase's text on one line: line breaks and tabs as blanks, cut with "…".
std::u16string OneLine(std::u16string_view word) {
  std::u16string line = word.size() > kConflictWordLength ? CutText(word, kConflictWordLength) : std::u16string(word);
  for (char16_t& c : line) {
    if (c < u' ') c = u' ';
  }
  if (word.size() > kConflictWordLength) line += u"\u2026";
  return line;
}

}  // namespace

std::vector<std::u16string> KeystrokesInPrefixConflicts(const PhraseDatabase& collection, uint32_t id,
                                                        UnitUpperCase upper) {
  std::vector<std::u16string> marked;
  const Phrase* phrase = collection.Find(id);
  if (!phrase || phrase->Enabled() == 0) return marked;
  for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
    if (enabled != 1 || keystroke.empty()) continue;
    if (!ConflictsOf(collection, id, keystroke, upper).empty()) marked.push_back(keystroke);
  }
  return marked;
}

std::u16string PrefixConflictTip(const PhraseDatabase& collection, uint32_t id, UnitUpperCase upper,
                                 const EditorStringLookup& lookup) {
  const Phrase* phrase = collection.Find(id);
  if (!phrase || phrase->Enabled() == 0) return {};
  std::vector<KeystrokeConflict> conflicts;
  for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
    if (enabled != 1 || keystroke.empty()) continue;
    for (KeystrokeConflict& conflict : ConflictsOf(collection, id, keystroke, upper)) {
      // A pair of two keystrokes of this phrase is found from both of them: keep it once.
      if (conflict.shorterId == id && conflict.longerId == id && conflict.shorter != keystroke) continue;
      conflicts.push_back(std::move(conflict));
    }
  }
  if (conflicts.empty()) return {};
  std::u16string tip;
  for (size_t i = 0; i < conflicts.size() && i < kConflictLinesShown; ++i) {
    const KeystrokeConflict& conflict = conflicts[i];
    // Said from this phrase's side: its keystroke begins another, or another begins it.
    const bool mineIsShorter = conflict.shorterId == id;
    const Phrase* other = collection.Find(mineIsShorter ? conflict.longerId : conflict.shorterId);
    const std::u16string word = other ? OneLine(other->Word()) : std::u16string();
    if (!tip.empty()) tip += u"\n";
    tip += FillPlaceholders(lookup(mineIsShorter ? IDS_PREFIX_BEGINS_OTHER : IDS_PREFIX_BEGUN_BY_OTHER),
                            {conflict.shorter, conflict.longer, word});
  }
  if (conflicts.size() > kConflictLinesShown) {
    tip += u"\n" + FillPlaceholders(lookup(IDS_PREFIX_CONFLICTS_MORE),
                                    {Decimal(static_cast<long long>(conflicts.size() - kConflictLinesShown))});
  }
  tip += u"\n" + lookup(IDS_PREFIX_NO_CONFLICT_AT_WORD_END);
  return tip;
}

}  // namespace vellix
