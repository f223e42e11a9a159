#pragma once
// Keystrokes that fire before a longer one: when an enabled keystroke is the beginning of
// another enabled keystroke, typing the longer one expands the shorter one first, unless
// the user types faster than the print delay. Compared as the engine compares them: with
// exact case only when both phrases are case-sensitive, otherwise unit by unit in upper
// case. When words expand only at their end, prefixes do not conflict.
//
// The scan sorts the keystrokes once; every keystroke then finds the longer ones that
// begin with it right after it, so 100 000 keystrokes take a fraction of a second.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "phrases/phrase_database.h"

namespace vellix {

struct KeystrokeConflict {
  std::u16string shorter;
  uint32_t shorterId = 0;  // the phrase of the shorter keystroke
  std::u16string longer;
  uint32_t longerId = 0;
};

// The upper-case form of one UTF-16 unit (the unit itself when it has none).
using UnitUpperCase = char16_t (*)(char16_t unit);

struct KeystrokeConflicts {
  size_t total = 0;                         // every conflicting pair
  std::vector<KeystrokeConflict> examples;  // the first ones, in collection order
};

// The pairs of enabled keystrokes of enabled phrases where one begins the other; at most
// maxExamples of them are kept as examples.
KeystrokeConflicts FindPrefixConflicts(const PhraseDatabase& collection, UnitUpperCase upper,
                                       size_t maxExamples);

// The ids of the phrases that own a keystroke of such a pair, ascending, each once. For the
// editor's marks on the phrase list.
std::vector<uint32_t> PhrasesInPrefixConflicts(const PhraseDatabase& collection, UnitUpperCase upper);

// The keystrokes of other phrases (and of the same one) that conflict with keystroke of
// the phrase with id: which ones it fires before, and which fire before it. For the editor.
std::vector<KeystrokeConflict> ConflictsOf(const PhraseDatabase& collection, uint32_t id,
                                           std::u16string_view keystroke, UnitUpperCase upper);

}  // namespace vellix
