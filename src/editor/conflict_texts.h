#pragma once
// What the phrase list tells about keystrokes that begin a longer one (or are begun by a
// shorter one): typed at an ordinary speed the longer keystroke never arrives, because the
// shorter one expands first. Words that expand only at their end have no such conflict,
// and the text says so. Localised strings come through a lookup.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/editor_texts.h"
#include "phrases/keystroke_conflicts.h"
#include "phrases/phrase_database.h"

namespace vellix {

// Pair lines shown in one tooltip; the rest are counted in a last line.
inline constexpr size_t kConflictLinesShown = 5;
// Longest text of the other phrase in a line, in code units.
inline constexpr size_t kConflictWordLength = 40;

// The enabled keystrokes of the enabled phrase with id that begin another enabled
// keystroke or are begun by one, in the phrase's order. The details panel marks them.
std::vector<std::u16string> KeystrokesInPrefixConflicts(const PhraseDatabase& collection, uint32_t id,
                                                        UnitUpperCase upper);

// The lines for the enabled keystrokes of the enabled phrase with id, one per pair, each
// naming the other keystroke and its phrase, then one line that says that with Expand When
// the Word Ends they do not conflict. Empty when the phrase has no such keystroke.
std::u16string PrefixConflictTip(const PhraseDatabase& collection, uint32_t id, UnitUpperCase upper,
                                 const EditorStringLookup& lookup);

}  // namespace vellix
