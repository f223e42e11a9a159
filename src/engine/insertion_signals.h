#pragma once
// The engine's side of the delayed insertion. The engine thread (Win32 layer) implements it
// over its print and cancel events; tests give a fake that records the calls. Both calls are
// made with the engine lock held, on the hook thread or on the worker (after EndPrint), so
// they must only set or reset events and return.

namespace vellix {

class InsertionSignals {
 public:
  // A new insertion was scheduled: clear a cancel left over from before, then signal the
  // print request.
  virtual void StartDelayed() noexcept = 0;
  // Releases a worker that is waiting out the print delay; no effect at any other moment.
  virtual void Cancel() noexcept = 0;
  // The last expansion can no longer be undone (the focus moved on): a Backspace is no
  // longer held back for it.
  virtual void DisarmUndo() noexcept {}

 protected:
  ~InsertionSignals() = default;
};

}  // namespace vellix
