#include "engine/engine_worker_win.h"

#include <windows.h>

#include <mutex>
#include <span>

#include "engine/synthetic_typing.h"
#include "engine/typing_engine.h"

namespace vellix {

struct EngineWorker::Context {
  UniqueKernelHandle stop;
  UniqueKernelHandle print;
  UniqueKernelHandle cancel;
  TypingEngine* engine = nullptr;
  KeyInjector* injector = nullptr;
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

// Types the pending insertion; false when Stop began meanwhile (the cycle then ends without
// reporting anything, as the engine is no longer running).
bool TypePending(Context& context) {
  BYTE noKeysDown[256] = {};
  SetKeyboardState(noKeysDown);  // no modifier of the user's leaks into the typed text
  TypingEngine& engine = *context.engine;
  engine.SetIgnorePhysical(true);
  const PendingInsertion pending = engine.Pending();
  StoppableInjector injector(context);
  TypeText(injector, pending.text, pending.eraseCount, pending.leftAfter);
  const bool stopped = IsStopping(context);
  if (!stopped) engine.OnInsertionTyped();
  engine.SetIgnorePhysical(false);
  return !stopped;
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
    if (!TypePending(context)) return false;
  } else if (result == WAIT_OBJECT_0) {
    ResetEvent(context.cancel.get());
  }
  // A print request signalled while this cycle ran is dropped here; matching after EndPrint
  // schedules again when the word still equals a keystroke.
  ResetEvent(context.print.get());
  context.engine->RaiseEndPrint();
  return true;
}

DWORD WINAPI WorkerMain(void* parameter) {
  // The thread owns one reference to the context for its whole life.
  std::unique_ptr<std::shared_ptr<Context>> owner(static_cast<std::shared_ptr<Context>*>(parameter));
  Context& context = **owner;
  for (;;) {
    const HANDLE waitFor[2] = {context.stop.get(), context.print.get()};
    const DWORD result = WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    if (result == WAIT_OBJECT_0) return 0;
    if (result != WAIT_OBJECT_0 + 1) return 1;
    if (!RunCycle(context)) return 0;
  }
}

UniqueKernelHandle CreateAutoResetEvent() {
  return UniqueKernelHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

}  // namespace

EngineWorker::EngineWorker(TypingEngine& engine, KeyInjector& injector)
    : engine_(engine), injector_(injector) {}

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

void EngineWorker::Cancel() noexcept {
  std::lock_guard guard(contextLock_);
  if (!context_) return;
  // A pulse: a worker waiting out the delay is released; at any other moment nothing.
  SetEvent(context_->cancel.get());
  ResetEvent(context_->cancel.get());
}

}  // namespace vellix
