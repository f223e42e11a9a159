#pragma once
// The engine's worker thread: waits for a scheduled insertion, waits out the print delay
// (a cancel pulse releases it early), types the insertion and reports the end of each cycle.
//
// Typing begins only through the InputHoldGate: when a key or click of the user reached the
// system after the input the insertion follows, or the focus left the insertion's window,
// the cycle ends without typing (the engine matches again). While it types, the hook holds
// the user's keys back; the worker gives them back, in order, once the insertion is out.
//
// Lifetime. Start creates the three events and the thread; Stop signals the stop event and
// then waits for the thread to end, so once Stop has returned nothing more is typed. The
// events belong to a context that the thread shares, so no handle is ever released while
// the thread may still wait on it, even if Stop gives up waiting. Stop must be called on the
// hook thread after the hooks were released: the injected keys of an insertion that is
// being typed would otherwise wait for the hook thread, which is blocked in Stop.

#include <atomic>
#include <memory>
#include <mutex>

#include "engine/insertion_signals.h"
#include "win32/unique_handle.h"

namespace vellix {

class InputHoldGate;
class KeyInjector;
class TypingEngine;

class EngineWorker final : public InsertionSignals {
 public:
  // How long Stop waits for a cycle that is typing to finish before it lets the thread go.
  static constexpr DWORD kStopWaitMilliseconds = 10000;

  // Whether the keyboard focus is in the window an insertion belongs to.
  using FocusTest = bool (*)(uintptr_t window);
  static bool FocusIsIn(uintptr_t window) noexcept;

  EngineWorker(TypingEngine& engine, KeyInjector& injector, InputHoldGate& gate,
               FocusTest focusTest = &FocusIsIn);
  ~EngineWorker();
  EngineWorker(const EngineWorker&) = delete;
  EngineWorker& operator=(const EngineWorker&) = delete;

  // Creates the events and the thread with a copy of delay; false (nothing left behind)
  // when either cannot be created or the worker runs already.
  bool Start(uint32_t delay) noexcept;
  // Ends the thread; false when it was not running.
  bool Stop() noexcept;
  bool IsRunning() const noexcept;

  // Phrases of at least this many UTF-16 units are pasted through the clipboard instead of
  // typed; 0 types every phrase. Read at every insertion.
  void SetPasteFromLength(uint32_t length) noexcept { pasteFromLength_->store(length); }
  uint32_t PasteFromLength() const noexcept { return pasteFromLength_->load(); }

  void StartDelayed() noexcept override;
  void DisarmUndo() noexcept override;
  void Cancel() noexcept override;

  struct Context;

 private:
  TypingEngine& engine_;
  KeyInjector& injector_;
  InputHoldGate& gate_;
  FocusTest focusTest_;
  // Guards context_: the hook thread and the worker (matching after EndPrint) signal
  // through it while Stop, on the hook thread, lets it go.
  mutable std::mutex contextLock_;
  std::shared_ptr<Context> context_;
  UniqueKernelHandle thread_;
  // Shared with the thread, which may outlive a Stop that gave up waiting for it.
  std::shared_ptr<std::atomic<uint32_t>> pasteFromLength_ =
      std::make_shared<std::atomic<uint32_t>>(0);
};

}  // namespace vellix
