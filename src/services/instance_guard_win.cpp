#include "services/instance_guard_win.h"

#include <atomic>
#include <string>

#include "base/wide.h"
#include "services/instance_events.h"
#include "services/open_security_win.h"

namespace vellix {
namespace {

std::atomic<HWND> g_mainWindow{nullptr};

HANDLE CreateNamedEvent(std::u16string_view suffix, SECURITY_ATTRIBUTES* security) {
  const std::u16string name = InstanceEventName(suffix);
  return CreateEventW(security, TRUE, FALSE, AsWide(name.c_str()));
}

// A held handle may not be closed by accident (a stray CloseHandle elsewhere).
void Protect(HANDLE handle, bool on) {
  SetHandleInformation(handle, HANDLE_FLAG_PROTECT_FROM_CLOSE,
                       on ? HANDLE_FLAG_PROTECT_FROM_CLOSE : 0);
}

// A thread's own handle of a shared event: the owner may close its handle at any time
// without pulling the object from under a wait. Null for a null or failed handle.
HANDLE Duplicate(HANDLE handle) {
  HANDLE own = nullptr;
  if (!handle || !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &own, 0,
                                  FALSE, DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return own;
}

void CloseIfAny(HANDLE handle) {
  if (handle) CloseHandle(handle);
}

struct EditWatch {
  HANDLE stop;
  HANDLE edit;
};

DWORD WINAPI EditWatcherThread(void* argument) {
  EditWatch* watch = static_cast<EditWatch*>(argument);
  const HANDLE handles[2] = {watch->stop, watch->edit};
  for (;;) {
    const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (result != WAIT_OBJECT_0 + 1) break;
    ResetEvent(watch->edit);
    const HWND window = MainWindowHandle();
    if (window && IsWindow(window)) {
      PostMessageW(window, EditRequestMessage(), 0,
                   reinterpret_cast<LPARAM>(GetForegroundWindow()));
    }
  }
  CloseHandle(watch->edit);
  CloseIfAny(watch->stop);
  delete watch;
  return 0;
}

struct MessageWatch {
  HANDLE stop;
  HANDLE event;
  HWND window;
  UINT message;
  WPARAM wparam;
};

DWORD WINAPI MessageWatcherThread(void* argument) {
  MessageWatch* watch = static_cast<MessageWatch*>(argument);
  const HANDLE handles[2] = {watch->stop, watch->event};
  for (;;) {
    const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (result != WAIT_OBJECT_0 + 1) break;
    // Synchronous: the dialog's answer decides whether this watcher keeps listening.
    if (SendMessageW(watch->window, watch->message, watch->wparam, 0) == 0) break;
    ResetEvent(watch->event);
  }
  CloseHandle(watch->event);
  CloseIfAny(watch->stop);
  delete watch;
  return 0;
}

}  // namespace

HWND MainWindowHandle() noexcept { return g_mainWindow.load(); }
void SetMainWindowHandle(HWND window) noexcept { g_mainWindow.store(window); }

UINT InstanceMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"{000B68DC-48A9-4cbd-BF75-0FDF1A67C687}");
  return message;
}

UINT EditRequestMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"{000B68DC-48A9-4cbd-BF75-sdhfakjsdfa}");
  return message;
}

bool SignalInstanceEvent(std::u16string_view suffix) noexcept {
  const std::u16string name = InstanceEventName(suffix);
  HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, AsWide(name.c_str()));
  if (!event) return false;
  SetEvent(event);
  CloseHandle(event);
  return true;
}

bool StartMessageWatcher(HANDLE stop, HWND window, UINT message, WPARAM wparam,
                         std::u16string_view suffix) noexcept {
  HANDLE event = CreateNamedEvent(suffix, nullptr);
  if (!event) return false;
  auto* watch = new MessageWatch{Duplicate(stop), event, window, message, wparam};
  HANDLE thread = CreateThread(nullptr, 0, &MessageWatcherThread, watch, 0, nullptr);
  if (!thread) {
    CloseIfAny(watch->stop);
    CloseHandle(event);
    delete watch;
    return false;
  }
  CloseHandle(thread);
  return true;
}

bool InstanceGuard::IsAnotherInstanceRunning() noexcept {
  const std::u16string name = InstanceEventName(kInstanceEventSuffix);
  HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, AsWide(name.c_str()));
  if (!event) return false;
  CloseHandle(event);
  return true;
}

bool InstanceGuard::Claim() noexcept {
  if (instance_) return true;
  instance_ = CreateNamedEvent(kInstanceEventSuffix, OpenSecurity());
  if (!instance_) return false;
  Protect(instance_, true);
  return true;
}

bool InstanceGuard::StartEditWatcher() noexcept {
  if (edit_) return true;
  HANDLE edit = CreateNamedEvent(kEditEventSuffix, nullptr);
  if (!edit) return false;
  HANDLE own = Duplicate(edit);
  if (!own) {
    CloseHandle(edit);
    return false;
  }
  auto* watch = new EditWatch{Duplicate(instance_), own};
  HANDLE thread = CreateThread(nullptr, 0, &EditWatcherThread, watch, CREATE_SUSPENDED, nullptr);
  if (!thread) {
    CloseIfAny(watch->stop);
    delete watch;
    CloseHandle(own);
    CloseHandle(edit);
    return false;
  }
  Protect(edit, true);
  edit_ = edit;
  ResumeThread(thread);
  CloseHandle(thread);
  return true;
}

bool InstanceGuard::SignalEdit() noexcept { return SignalInstanceEvent(kEditEventSuffix); }

void InstanceGuard::Release() noexcept {
  if (instance_) {
    SetEvent(instance_);
    Protect(instance_, false);
    CloseHandle(instance_);
    instance_ = nullptr;
  }
  if (edit_) {
    Protect(edit_, false);
    CloseHandle(edit_);
    edit_ = nullptr;
  }
}

}  // namespace vellix
