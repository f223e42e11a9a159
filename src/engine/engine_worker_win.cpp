#include "engine/engine_worker_win.h"

#include <windows.h>

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
};

namespace {

using Context = EngineWorker::Context;

bool IsSignalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

void TypePending(Context& context) {
  BYTE noKeysDown[256] = {};
  SetKeyboardState(noKeysDown);  // no modifier of the user's leaks into the typed text
  TypingEngine& engine = *context.engine;
  engine.SetIgnorePhysical(true);
  const PendingInsertion pending = engine.Pending();
  TypeText(*context.injector, pending.text, pending.eraseCount, pending.leftAfter);
  engine.OnInsertionTyped();
  engine.SetIgnorePhysical(false);
}

// One print cycle. False when the stop event ended it (the thread must end at once).
bool RunCycle(Context& context) {
  const uint32_t delay = context.engine->PendingDelay(context.delay);
  const HANDLE waitFor[2] = {context.cancel.get(), context.stop.get()};
  const DWORD result = WaitForMultipleObjects(2, waitFor, FALSE, delay);
  if (result == WAIT_OBJECT_0 + 1) return false;
  if (result == WAIT_TIMEOUT) {
    // A stop signalled at the very moment the delay ran out still wins over typing.
    if (IsSignalled(context.stop.get())) return false;
    TypePending(context);
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
  SetEvent(context->stop.get());
  // Not under contextLock_: the cycle being finished may still signal (and find nothing).
  WaitForSingleObject(thread_.get(), kStopWaitMilliseconds);
  thread_.reset();
  return true;  // the thread keeps its own reference if it is still finishing a cycle
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
