#pragma once
// The engine's own plain records: one usable phrase (EngineEntry) and the insertion that the
// worker types after the print delay (PendingInsertion). Both are values: the engine, its
// pending insertion and its last match each hold their own copies, so replacing the entry
// list never invalidates them.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <string_view>

#include "engine/engine_types.h"

namespace vellix {

struct EngineEntry {
  std::set<std::u16string> keystrokes;  // distinct, in code-unit order
  std::u16string text;
  int32_t caseSensitive = 0;  // 32-bit boolean
  int32_t addOrReplace = 0;   // 0 append the rest of the phrase, 1 replace the typed word
  int32_t leftAfter = 0;      // Left-arrow presses after the text
  uint32_t lParam = 0;        // the phrase's identifier
  // Where the phrase fires: everywhere (kEverywhere), only in the programs listed
  // (kOnlyIn) or everywhere but in them (kNeverIn). The programs are the enabled entries
  // of the phrase's include or exclude list, executable file names in the invariant upper
  // case.
  int32_t programRule = 0;
  std::vector<std::u16string> programs;
};

// Values of EngineEntry::programRule.
inline constexpr int32_t kEverywhere = 0;
inline constexpr int32_t kOnlyIn = 1;
inline constexpr int32_t kNeverIn = 2;

// Whether entry may fire in program (its file name in the invariant upper case; empty
// when the focused program is not known, as for an elevated one): only a phrase without a
// program rule fires there.
bool AppliesIn(const EngineEntry& entry, std::u16string_view program) noexcept;

// Values of EngineEntry::addOrReplace.
inline constexpr int32_t kAppend = 0;
inline constexpr int32_t kReplace = 1;

struct PendingInsertion {
  std::u16string text;     // the characters to type
  WindowHandle window = 0;  // the window the insertion belongs to
  int32_t eraseCount = 0;   // Backspace presses before the text
  int32_t leftAfter = 0;    // Left-arrow presses after the text, 0 to kMaxLeftAfter
  EngineEntry entry;        // copy of the matched entry
  // The number of the last user input seen when it was scheduled: it may be typed only if
  // no input came after (InputHoldGate).
  uint64_t inputSeq = 0;
  // Typed at once, without the print delay: the word has ended (or an expansion is
  // undone), there is nothing left to cancel.
  bool immediate = false;
  // Right-arrow presses sent before the Backspaces (undoing an expansion's Left presses).
  int32_t rightBefore = 0;
  // An undo of the last expansion rather than an expansion.
  bool undo = false;
  // The focus is on its way back to the window (the phrase picker just closed): the worker
  // waits a moment for it instead of dropping the insertion at once.
  bool awaitFocus = false;
};

// How the user wants expansion to behave; every option off is the classic behaviour.
struct ExpansionOptions {
  // A keystroke fires only when a separator or a full stop ends the word that equals it;
  // the separator is erased with the keystroke and typed again after the phrase.
  bool expandOnWordEnd = false;
  // A Backspace right after an expansion, in the same window, undoes it.
  bool undoWithBackspace = false;
  // "Btw" gives the phrase with a capital first letter, "BTW" the phrase in capitals, for
  // phrases whose keystrokes compare without case.
  bool caseFollowsKeystroke = false;
};

// The most Left-arrow presses an insertion sends. The field is signed and comes from the
// database file as it stands; a negative count sends none, a larger one is cut here so
// that a damaged value cannot make the desktop type for minutes.
inline constexpr int32_t kMaxLeftAfter = 100;

}  // namespace vellix
