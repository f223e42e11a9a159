#include "engine/engine_worker_win.h"

#include <windows.h>

#include <mutex>
#include <span>
#include <vector>

#include "base/boundary.h"
#include "engine/clipboard_paste_win.h"
#include "engine/input_hold_gate.h"
#include "engine/keyboard_hook_manager_win.h"
#include "engine/synthetic_typing.h"
#include "engine/typing_engine.h"

namespace vellix {

struct EngineWorker::Context {
  UniqueKernelHandle stop;
  UniqueKernelHandle print;
  UniqueKernelHandle cancel;
  TypingEngine* engine = nullptr;
  KeyInjector* injector = nullptr;
  InputHoldGate* gate = nullptr;
  EngineWorker::FocusTest focusTest = nullptr;
  std::shared_ptr<std::atomic<uint32_t>> pasteFromLength;
  uint32_t delay = 0;
  // Set by Stop under sendLock: once Stop holds the lock no batch is in flight, and every
  // later Send sees the flag and sends nothing.
  bool stopping = false;
  std::mutex sendLock;
};

namespace {

using Context = EngineWorker::Context;

bool IsStopping(Context& context) {
  std::lock_guard guard(context.sendLock);
  return context.stopping;
}

// The worker's view of the injector: sends nothing once Stop has begun, and its pauses end
// at once when the stop event is signalled, so that a stop during a long insertion does not
// wait for the rest of it.
class StoppableInjector final : public KeyInjector {
 public:
  explicit StoppableInjector(Context& context) : context_(context) {}

  size_t Send(std::span<const KeyRecord> records) noexcept override {
    std::lock_guard guard(context_.sendLock);
    if (context_.stopping) return 0;
    return context_.injector->Send(records);
  }
  uint16_t ScanCode(uint16_t vk) noexcept override { return context_.injector->ScanCode(vk); }
  void Pause(uint32_t milliseconds) noexcept override {
    // The stop event is auto-reset: a stop that ends this pause is remembered in stopping.
    if (!IsStopping(context_)) WaitForSingleObject(context_.stop.get(), milliseconds);
  }

 private:
  Context& context_;
};

}  // namespace

// Whether the keyboard focus is still in the window the insertion belongs to (the same
// top-level window): the synthetic keys go wherever the focus is. The engine cancels on the
// focus event, but that event may still wait in the hooks' queue.
bool EngineWorker::FocusIsIn(uintptr_t window) noexcept {
  if (window == 0) return true;
  const HWND foreground = GetForegroundWindow();
  if (foreground == nullptr) return true;  // nothing to compare with, as on a locked desktop
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const DWORD thread = GetWindowThreadProcessId(foreground, nullptr);
  const HWND focus = GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus : foreground;
  const HWND target = reinterpret_cast<HWND>(window);
  return GetAncestor(focus, GA_ROOT) == GetAncestor(target, GA_ROOT);
}

namespace {

// Gives the keys that the hook held back during the insertion back to the system, in their
// order, until no more are held; marked so that the hook lets them pass as the user's.
void ReplayHeldKeys(InputHoldGate& gate, KeyInjector& injector) {
  std::vector<KeyboardEventInfo> held;
  std::vector<KeyRecord> records;
  while (gate.TakeHeld(held)) {
    records.clear();
    for (const KeyboardEventInfo& key : held) {
      KeyRecord record;
      record.vk = static_cast<uint16_t>(key.vkCode);
      record.scan = static_cast<uint16_t>(key.scanCode);
      if ((key.flags & LLKHF_EXTENDED) != 0) record.flags |= kKeyEventExtendedKey;
      if ((key.flags & LLKHF_UP) != 0) record.flags |= kKeyEventKeyUp;
      record.extraInfo = static_cast<uint32_t>(kReplayedKeyMarker);
      records.push_back(record);
    }
    injector.Send(records);
  }
}

// Erases the keystroke and types the phrase, or pastes it when it is long enough (typing
// it after all when the clipboard is busy).
// Undoes an expansion: Right presses over the caret-left steps, Backspaces over the typed
// phrase, then the keystroke (and separator) typed back.
void Undo(KeyInjector& injector, const PendingInsertion& pending) {
  const KeyRecord releaseControl{kVkControl, 0, kKeyEventKeyUp, 0};
  injector.Send(std::span<const KeyRecord>(&releaseControl, 1));
  if (pending.rightBefore > 0) {
    std::vector<KeyRecord> rights;
    for (int32_t i = 0; i < pending.rightBefore; ++i) {
      rights.push_back({kVkRight, 0, 0, 0});
      rights.push_back({kVkRight, 0, kKeyEventKeyUp, 0});
    }
    injector.Send(rights);
  }
  SendBackspaces(injector, static_cast<uint32_t>(pending.eraseCount));
  if (!pending.text.empty()) TypeText(injector, pending.text, 0, 0);
}

void Insert(KeyInjector& injector, const PendingInsertion& pending, uint32_t pasteFromLength) {
  if (pending.undo) {
    Undo(injector, pending);
    return;
  }
  const auto erase = static_cast<uint32_t>(pending.eraseCount);
  const auto left = static_cast<uint32_t>(pending.leftAfter);
  if (pasteFromLength == 0 || pending.text.size() < pasteFromLength) {
    TypeText(injector, pending.text, erase, left);
    return;
  }
  const KeyRecord releaseControl{kVkControl, 0, kKeyEventKeyUp, 0};
  injector.Send(std::span<const KeyRecord>(&releaseControl, 1));
  if (erase > 0) SendBackspaces(injector, erase);
  if (PasteText(pending.text, left, injector) == PasteResult::kClipboardBusy) {
    TypeText(injector, pending.text, 0, left);
  }
}

enum class CycleEnd { kTyped, kNotTyped, kStopped };

// Waits up to half a second for the focus to reach window; false on a stop or time-out.
bool AwaitFocus(Context& context, WindowHandle window) {
  constexpr DWORD kWaitMs = 500;
  constexpr DWORD kStepMs = 10;
  for (DWORD waited = 0; waited < kWaitMs; waited += kStepMs) {
    if (WaitForSingleObject(context.stop.get(), kStepMs) == WAIT_OBJECT_0) {
      SetEvent(context.stop.get());  // the loop that waits for the stop must see it too
      return false;
    }
    if (IsStopping(context)) return false;
    if (context.focusTest(window)) return true;
  }
  return false;
}

// Types the pending insertion. kStopped when Stop began meanwhile (the cycle then ends
// without reporting anything, as the engine is no longer running).
CycleEnd TypePending(Context& context) {
  TypingEngine& engine = *context.engine;
  const PendingInsertion pending = engine.Pending();
  if (!context.focusTest(pending.window)) {
    // Nothing is erased for such an insertion, so waiting for the focus is safe.
    if (!pending.awaitFocus || !AwaitFocus(context, pending.window)) return CycleEnd::kNotTyped;
  }
  if (!context.gate->TryBeginInsertion(pending.inputSeq, GetTickCount64())) {
    return CycleEnd::kNotTyped;
  }
  bool stopped = true;
  try {
    BYTE noKeysDown[256] = {};
    SetKeyboardState(noKeysDown);  // no modifier of the user's leaks into the typed text
    StoppableInjector injector(context);
    Insert(injector, pending, context.pasteFromLength->load());
    stopped = IsStopping(context);
    if (!stopped) {
      engine.OnInsertionTyped();
      // A Backspace right after the expansion undoes it (when the user wants that).
      if (engine.UndoArmed()) context.gate->ArmUndo(GetTickCount64());
    }
  } catch (...) {
    // Nothing may keep the user's keys: they go back below whatever happened here.
    ReportCaughtException("engine worker");
  }
  // The keys come back even after a stop: they are the user's, not the engine's.
  ReplayHeldKeys(*context.gate, *context.injector);
  return stopped ? CycleEnd::kStopped : CycleEnd::kTyped;
}

// One print cycle. False when the stop event ended it (the thread must end at once).
bool RunCycle(Context& context) {
  const uint32_t delay = context.engine->PendingDelay(context.delay);
  const HANDLE waitFor[2] = {context.cancel.get(), context.stop.get()};
  const DWORD result = WaitForMultipleObjects(2, waitFor, FALSE, delay);
  if (result == WAIT_OBJECT_0 + 1) return false;
  if (result == WAIT_TIMEOUT) {
    // A stop begun at the very moment the delay ran out still wins over typing.
    if (IsStopping(context)) return false;
    if (TypePending(context) == CycleEnd::kStopped) return false;
  } else if (result == WAIT_OBJECT_0) {
    ResetEvent(context.cancel.get());
  }
  // A print request signalled while this cycle ran is dropped here; matching after EndPrint
  // schedules again when the word still equals a keystroke.
  ResetEvent(context.print.get());
  context.engine->RaiseEndPrint();
  return true;
}

DWORD WorkerLoop(Context& context) {
  for (;;) {
    const HANDLE waitFor[2] = {context.stop.get(), context.print.get()};
    const DWORD result = WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    if (result == WAIT_OBJECT_0) return 0;
    if (result != WAIT_OBJECT_0 + 1) return 1;
    if (!RunCycle(context)) return 0;
  }
}

DWORD WINAPI WorkerMain(void* parameter) noexcept {
  // The thread owns one reference to the context for its whole life.
  std::unique_ptr<std::shared_ptr<Context>> owner(static_cast<std::shared_ptr<Context>*>(parameter));
  try {
    return WorkerLoop(**owner);
  } catch (...) {
    // No exception may leave a thread; the engine stays marked running but types no more.
    ReportCaughtException("engine worker");
    return 2;
  }
}

UniqueKernelHandle CreateAutoResetEvent() {
  return UniqueKernelHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

}  // namespace

EngineWorker::EngineWorker(TypingEngine& engine, KeyInjector& injector, InputHoldGate& gate,
                           FocusTest focusTest)
    : engine_(engine), injector_(injector), gate_(gate), focusTest_(focusTest) {}

EngineWorker::~EngineWorker() { Stop(); }

bool EngineWorker::IsRunning() const noexcept {
  std::lock_guard guard(contextLock_);
  return context_ != nullptr;
}

bool EngineWorker::Start(uint32_t delay) noexcept {
  if (IsRunning()) return false;
  auto context = std::make_shared<Context>();
  context->stop = CreateAutoResetEvent();
  context->print = CreateAutoResetEvent();
  context->cancel = CreateAutoResetEvent();
  if (!context->stop || !context->print || !context->cancel) return false;
  context->engine = &engine_;
  context->injector = &injector_;
  context->gate = &gate_;
  context->focusTest = focusTest_;
  context->pasteFromLength = pasteFromLength_;
  context->delay = delay;

  auto* threadReference = new std::shared_ptr<Context>(context);
  HANDLE thread = CreateThread(nullptr, 0, WorkerMain, threadReference, 0, nullptr);
  if (!thread) {
    delete threadReference;
    return false;
  }
  thread_.reset(thread);
  std::lock_guard guard(contextLock_);
  context_ = std::move(context);
  return true;
}

bool EngineWorker::Stop() noexcept {
  std::shared_ptr<Context> context;
  {
    std::lock_guard guard(contextLock_);
    context = std::move(context_);  // from now on nothing more is signalled
  }
  if (!context) return false;
  {
    // Waits for a batch in flight; after this block the worker sends nothing more.
    std::lock_guard guard(context->sendLock);
    context->stopping = true;
  }
  SetEvent(context->stop.get());
  // Not under contextLock_: the cycle being finished may still signal (and find nothing).
  // When the thread does not end in time (a host callback that hangs), it is let go: it can
  // no longer type, and it keeps its own reference to the events.
  WaitForSingleObject(thread_.get(), kStopWaitMilliseconds);
  thread_.reset();
  return true;
}

void EngineWorker::StartDelayed() noexcept {
  std::lock_guard guard(contextLock_);
  if (!context_) return;
  ResetEvent(context_->cancel.get());
  SetEvent(context_->print.get());
}

void EngineWorker::DisarmUndo() noexcept { gate_.DisarmUndo(); }

void EngineWorker::Cancel() noexcept {
  std::lock_guard guard(contextLock_);
  if (!context_) return;
  // A pulse: a worker waiting out the delay is released; at any other moment nothing.
  SetEvent(context_->cancel.get());
  ResetEvent(context_->cancel.get());
}

}  // namespace vellix
