#pragma once
// The gate between the user's input and the engine's own typing. While an insertion erases
// the keystroke and types the phrase, a key the user presses must neither land between the
// Backspaces (where it would be erased) nor inside the phrase: the keyboard hook holds such
// keys back and the worker replays them, in their order, once the insertion is out.
//
// The gate also decides, without a race, whether an insertion may begin at all. Every key
// press and mouse click of the user that reaches the system gets the next number; the
// engine remembers the number of the last input it had seen when it scheduled the
// insertion, and the worker may begin only when no input has passed since. A key pressed a
// moment before the delay ran out has then already reached the target, and the insertion
// is dropped (the engine matches again when it sees that key).
//
// Threads: the hook thread calls OnUserKey and CountInput; the worker calls
// TryBeginInsertion and TakeHeld. One mutex, held for a few instructions at a time.

#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/engine_types.h"

namespace vellix {

class InputHoldGate {
 public:
  // A hold that lasts longer than this (a worker that hangs) lets keys pass again: the
  // keyboard is never kept from the user.
  static constexpr uint64_t kMaxHoldMs = 5000;

  InputHoldGate() { held_.reserve(256); }
  InputHoldGate(const InputHoldGate&) = delete;
  InputHoldGate& operator=(const InputHoldGate&) = delete;

  // How long after an expansion a Backspace still undoes it.
  static constexpr uint64_t kUndoWindowMs = 3000;

  enum class Verdict {
    kPass,
    kHold,
    kUndo,     // the Backspace right after an expansion: swallowed, the expansion is undone
    kSwallow,  // the release of that Backspace: swallowed too
  };

  // Hook thread: one key event (down or up) of the user. While an insertion is typed the
  // event is kept for replay and kHold is answered; otherwise it passes, and a key press
  // gets the next number in seq (key releases keep the last number).
  Verdict OnUserKey(const KeyboardEventInfo& key, uint64_t nowMs, uint64_t& seq);
  // Hook thread: user input that always passes (a mouse click, a replayed key press);
  // answers its number.
  uint64_t CountInput() noexcept;

  // Worker: begins an insertion that followed input number lastSeen. False, changing
  // nothing, when later input has passed (or another insertion holds the gate).
  bool TryBeginInsertion(uint64_t lastSeen, uint64_t nowMs) noexcept;
  // Worker, after the insertion went out: moves the held events into out (in order) and
  // answers true; when nothing is held it ends the hold and answers false. Call it until
  // it answers false, replaying each batch before the next call, so that keys pressed
  // during the replay follow it.
  bool TakeHeld(std::vector<KeyboardEventInfo>& out);

  uint64_t LastInput() const noexcept;
  bool IsHolding() const noexcept;

  // Worker, after an expansion that may be undone: the next key press, when it is a
  // Backspace with no Ctrl, Alt or Windows key held and comes within kUndoWindowMs, asks
  // for the undo instead of reaching the target. Any other press, or a click, ends that.
  void ArmUndo(uint64_t nowMs) noexcept;
  void DisarmUndo() noexcept;

 private:
  mutable std::mutex lock_;
  uint64_t seq_ = 0;
  bool holding_ = false;
  uint64_t holdStart_ = 0;
  std::vector<KeyboardEventInfo> held_;
  bool undoArmed_ = false;
  uint64_t undoDeadline_ = 0;
  bool swallowBackspaceUp_ = false;
};

}  // namespace vellix
