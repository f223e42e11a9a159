#include "services/instance_guard_win.h"

#include <atomic>
#include <memory>
#include <new>
#include <string>

#include "base/messages.h"
#include "base/wide.h"
#include "services/instance_events.h"
#include "services/open_security_win.h"

namespace vellix {
namespace {

std::atomic<HWND> g_mainWindow{nullptr};

UniqueKernelHandle CreateNamedEvent(std::u16string_view suffix, SECURITY_ATTRIBUTES* security) {
  const std::u16string name = InstanceEventName(suffix);
  return UniqueKernelHandle(CreateEventW(security, TRUE, FALSE, AsWide(name.c_str())));
}

// A held handle may not be closed by accident (a stray CloseHandle elsewhere).
void Protect(HANDLE handle, bool on) {
  SetHandleInformation(handle, HANDLE_FLAG_PROTECT_FROM_CLOSE,
                       on ? HANDLE_FLAG_PROTECT_FROM_CLOSE : 0);
}

// A thread's own handle of a shared event: the owner may close its handle at any time
// without pulling the object from under a wait. None for a null or failed handle.
UniqueKernelHandle Duplicate(HANDLE handle) {
  HANDLE own = nullptr;
  if (!handle || !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &own, 0,
                                  FALSE, DUPLICATE_SAME_ACCESS)) {
    return UniqueKernelHandle();
  }
  return UniqueKernelHandle(own);
}

// What a watcher thread owns; it ends with the thread. Without a stop handle the first
// wait fails and the thread ends at once.
struct EditWatch {
  UniqueKernelHandle stop;
  UniqueKernelHandle edit;
};

struct MessageWatch {
  UniqueKernelHandle stop;
  UniqueKernelHandle event;
  HWND window;
  UINT message;
  WPARAM wparam;
};

// The watchers wait, post and send: nothing in them can throw.
DWORD WINAPI EditWatcherThread(void* argument) noexcept {
  const std::unique_ptr<EditWatch> watch(static_cast<EditWatch*>(argument));
  const HANDLE handles[2] = {watch->stop.get(), watch->edit.get()};
  for (;;) {
    const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (result != WAIT_OBJECT_0 + 1) break;
    ResetEvent(watch->edit.get());
    const HWND window = MainWindowHandle();
    if (window && IsWindow(window)) {
      PostMessageW(window, EditRequestMessage(), 0,
                   reinterpret_cast<LPARAM>(GetForegroundWindow()));
    }
  }
  return 0;
}

DWORD WINAPI MessageWatcherThread(void* argument) noexcept {
  const std::unique_ptr<MessageWatch> watch(static_cast<MessageWatch*>(argument));
  const HANDLE handles[2] = {watch->stop.get(), watch->event.get()};
  for (;;) {
    const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (result != WAIT_OBJECT_0 + 1) break;
    // Synchronous: the dialog's answer decides whether this watcher keeps listening.
    if (SendMessageW(watch->window, watch->message, watch->wparam, 0) == 0) break;
    ResetEvent(watch->event.get());
  }
  return 0;
}

}  // namespace

HWND MainWindowHandle() noexcept { return g_mainWindow.load(); }
void SetMainWindowHandle(HWND window) noexcept { g_mainWindow.store(window); }

UINT InstanceMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(AsWide(kInstanceMessageName));
  return message;
}

UINT EditRequestMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(AsWide(kEditRequestMessageName));
  return message;
}

bool SignalInstanceEvent(std::u16string_view suffix) noexcept {
  const std::u16string name = InstanceEventName(suffix);
  const UniqueKernelHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, AsWide(name.c_str())));
  if (!event) return false;
  SetEvent(event.get());
  return true;
}

bool StartMessageWatcher(HANDLE stop, HWND window, UINT message, WPARAM wparam,
                         std::u16string_view suffix) noexcept {
  UniqueKernelHandle event = CreateNamedEvent(suffix, nullptr);
  if (!event) return false;
  auto watch = std::unique_ptr<MessageWatch>(
      new (std::nothrow) MessageWatch{Duplicate(stop), std::move(event), window, message, wparam});
  if (!watch) return false;
  const UniqueKernelHandle thread(CreateThread(nullptr, 0, &MessageWatcherThread, watch.get(), 0, nullptr));
  if (!thread) return false;
  (void)watch.release();  // the thread owns it now
  return true;
}

bool InstanceGuard::IsAnotherInstanceRunning() noexcept {
  const std::u16string name = InstanceEventName(kInstanceEventSuffix);
  return UniqueKernelHandle(OpenEventW(SYNCHRONIZE, FALSE, AsWide(name.c_str()))).valid();
}

bool InstanceGuard::Claim() noexcept {
  if (instance_) return true;
  instance_ = CreateNamedEvent(kInstanceEventSuffix, OpenSecurity());
  if (!instance_) return false;
  Protect(instance_.get(), true);
  return true;
}

bool InstanceGuard::StartEditWatcher() noexcept {
  if (edit_) return true;
  UniqueKernelHandle edit = CreateNamedEvent(kEditEventSuffix, nullptr);
  if (!edit) return false;
  UniqueKernelHandle own = Duplicate(edit.get());
  if (!own) return false;
  auto watch = std::unique_ptr<EditWatch>(new (std::nothrow) EditWatch{Duplicate(instance_.get()), std::move(own)});
  if (!watch) return false;
  const UniqueKernelHandle thread(
      CreateThread(nullptr, 0, &EditWatcherThread, watch.get(), CREATE_SUSPENDED, nullptr));
  if (!thread) return false;
  (void)watch.release();  // the thread owns it now
  Protect(edit.get(), true);
  edit_ = std::move(edit);
  ResumeThread(thread.get());
  return true;
}

bool InstanceGuard::SignalEdit() noexcept { return SignalInstanceEvent(kEditEventSuffix); }

void InstanceGuard::Release() noexcept {
  if (instance_) {
    SetEvent(instance_.get());
    Protect(instance_.get(), false);
    instance_.reset();
  }
  if (edit_) {
    Protect(edit_.get(), false);
    edit_.reset();
  }
}

}  // namespace vellix
