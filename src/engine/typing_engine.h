#pragma once
// TypingEngine: the word tracker plus the engine's entries, keystroke matching and the
// pending insertion. After every change of the word (and every window event and end of a
// print cycle) it looks for the first entry with a keystroke equal to the word, asks the
// host through the print callback and, when allowed, records the PendingInsertion and starts
// the delayed insertion through InsertionSignals. The engine thread (Win32 layer) waits out
// the delay, types the insertion and then calls OnInsertionTyped and RaiseEndPrint.
//
// Threads and the engine lock. The hook thread runs the key and window events, matching and
// scheduling after them, TAC_IS_ALLOW_PRINT_WORD for those, LoadPhrases and the setters. The
// worker runs OnInsertionTyped (WordCleared, TAC_WORD_IS_PRINTED), RaiseEndPrint and the
// matching after it. One recursive mutex (the tracker's Lock) serialises all of it: the
// records, currentWindow, previousClass, pending, lastWord, lastEntry, the entries and
// both callbacks. It is recursive because the notify callback, which runs with it held, is
// re-entered for PrintPending, and the host may call back (CurrentWordWindow, LastEntry)
// from its callbacks. Both callbacks and the Desktop therefore run with the lock held: they
// must return quickly and must never wait for the hook thread (no SendMessage to it, no
// message loop), or the hook thread, waiting for the lock, would never answer.
// Desktop::UpperCase is also called on the worker (matching after EndPrint), so it must
// allow calls from both threads.
// The user's keys typed while an insertion goes out never reach the engine in between: the
// hook holds them back and they arrive, in order, after it (InputHoldGate).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_entry.h"
#include "engine/entry_index.h"
#include "engine/insertion_signals.h"
#include "engine/word_tracker.h"

namespace vellix {

class Phrase;
class PhraseDatabase;

// Print callback codes.
inline constexpr int32_t TAC_IS_ALLOW_PRINT_WORD = 0;  // answer 1 to refuse the insertion
inline constexpr int32_t TAC_WORD_IS_PRINTED = 1;      // the answer is ignored

// The host's approval and record of insertions: (code, the entry, the zero-terminated word,
// context). For TAC_IS_ALLOW_PRINT_WORD the entry is the matched one in the entry list; for
// TAC_WORD_IS_PRINTED it is the copy held in the pending insertion and the word is lastWord.
using PrintCallback = int32_t (*)(int32_t code, const EngineEntry* entry, const char16_t* word,
                                  void* context);
// The host's observer of every TrackerEvent code, called before the engine reacts. The
// entry is an empty scratch record that carries no information; the answer is ignored.
using NotifyCallback = int32_t (*)(int32_t code, const EngineEntry* entry, void* context);

class TypingEngine : public WordTracker {
 public:
  static constexpr uint32_t kDefaultPrintDelay = 400;  // milliseconds

  TypingEngine(Desktop& desktop, HookRegistrar& hooks);
  ~TypingEngine() override;

  CharClass ClassifyText(std::u16string_view text) const noexcept override;

  // Hook thread (or the worker after EndPrint): reacts to one tracker notification.
  void OnTrackerEvent(TrackerEvent code) noexcept;

  // Replaces the entry list with one entry per usable phrase, in collection order. Always
  // true.
  bool LoadPhrases(const PhraseDatabase& phrases);
  size_t EntryCount() const noexcept;

  // The first entry (collection order) with a keystroke equal to the whole word, or null.
  // The pointer is valid until the next LoadPhrases; hold Lock() while using it when other
  // threads may load.
  const EngineEntry* FindEntry(std::u16string_view word) const noexcept;
  // The same answer by walking every entry; kept as the reference for the index.
  const EngineEntry* FindEntryPlain(std::u16string_view word) const noexcept;

  // Asks the host and, when allowed, records the pending insertion for word and entry and
  // starts the delayed insertion. ender: the separator that ended the word, when words
  // expand at their end (the insertion then starts at once).
  void Schedule(const std::u16string& word, const EngineEntry& entry,
                const std::u16string& ender = std::u16string()) noexcept;

  // Types the phrase of lParam (an entry of the list) into window at once, as an expansion
  // would but without erasing anything (the phrase picker's choice); the host is told
  // TAC_WORD_IS_PRINTED as for any typed phrase. False when there is no such entry.
  bool InsertNow(uint32_t lParam, WindowHandle window) noexcept;
  // While set, the user's keys and clicks are not tracked and nothing is scheduled: one of
  // the program's own windows (the phrase picker) has the keyboard, and its keys must not
  // reach the word of the window the user came from. Setting it ends the word.
  void SetTrackingPaused(bool paused) noexcept;

  void SetOptions(const ExpansionOptions& options) noexcept;
  ExpansionOptions Options() const noexcept;
  // The user pressed Backspace right after an expansion (the hook held it back): undoes
  // the expansion, or gives the Backspace back when it no longer applies.
  void OnUndoRequest() noexcept override;
  // Whether the last expansion can still be undone.
  bool UndoArmed() const noexcept;

  void SetPrintDelay(uint32_t milliseconds) noexcept { printDelay_.store(milliseconds); }
  uint32_t PrintDelay() const noexcept { return printDelay_.load(); }
  // The wait before an insertion is typed: delay, halved (rounded down) when the insertion
  // does not move the caret afterwards.
  static uint32_t InsertionDelay(uint32_t delay, int32_t leftAfter) noexcept {
    return leftAfter == 0 ? delay / 2 : delay;
  }
  // InsertionDelay for the current pending insertion, with the delay copied at Start.
  uint32_t PendingDelay(uint32_t delay) const noexcept;

  void SetPrintCallback(PrintCallback callback, void* context) noexcept;
  void SetNotifyCallback(NotifyCallback callback, void* context) noexcept;
  // The engine thread's events; null (the default) signals nothing.
  void SetInsertionSignals(InsertionSignals* signals) noexcept;

  // Copies taken under the lock.
  PendingInsertion Pending() const;
  std::u16string LastWord() const;
  EngineEntry LastEntry() const;

  // Worker, after the insertion was typed: empties the word (WordCleared) and tells the host
  // TAC_WORD_IS_PRINTED with the pending entry and lastWord.
  void OnInsertionTyped() noexcept;
  // Worker, at the end of every print cycle, typed or cancelled: EndPrint, then matching.
  void RaiseEndPrint() noexcept;

 private:
  static void NotifyTrampoline(TrackerEvent code, void* context) noexcept;
  int32_t CallPrintCallback(int32_t code, const EngineEntry* entry,
                            const char16_t* word) noexcept;
  void CancelPending() noexcept;
  void Match() noexcept;
  void MatchEnded(std::u16string_view word, std::u16string_view ender) noexcept;
  // The phrase's text with the keystroke's capitals carried over (when the option is on).
  std::u16string CasedText(std::u16string_view word, const EngineEntry& entry) const;
  void ScheduleUndo(const std::u16string& text, int32_t eraseCount, int32_t rightBefore) noexcept;
  void ForgetUndo() noexcept;
  // The entry's program rule from the phrase's list mode and enabled list entries.
  void SetProgramRule(const Phrase& phrase, EngineEntry& entry) const;

  std::vector<EngineEntry> entries_;
  EntryIndex index_;
  PendingInsertion pending_;
  std::u16string lastWord_;
  std::u16string lastEnder_;  // the separator that ended lastWord_, or empty
  EngineEntry lastEntry_;
  ExpansionOptions options_;
  // The last expansion, while a Backspace may still undo it.
  struct Undoable {
    bool valid = false;
    WindowHandle window = 0;
    int32_t typedCharacters = 0;
    int32_t leftAfter = 0;
    int32_t addOrReplace = kReplace;
  } undoable_;
  std::u16string suppressedWord_;  // an undone keystroke, until the word changes
  bool undoRestoresWord_ = false;  // the pending undo gives the word its keystroke back
  std::u16string matchWord_;  // reused copy of the word being matched
  // The empty record handed to the notify callback; a member, so that no event allocates.
  const EngineEntry scratchEntry_;

  PrintCallback printCallback_ = nullptr;
  void* printContext_ = nullptr;
  NotifyCallback notifyCallback_ = nullptr;
  void* notifyContext_ = nullptr;
  InsertionSignals* signals_ = nullptr;
  std::atomic<uint32_t> printDelay_{kDefaultPrintDelay};
};

}  // namespace vellix
