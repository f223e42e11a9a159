#pragma once
// Single instance per user session, and the watcher threads that turn the named events of
// later instances into window messages for the main dialog.
#include <windows.h>

#include <string_view>

#include "win32/unique_handle.h"

namespace vellix {

// The window the watchers deliver to (the main dialog); null while there is none. Set on
// the user-interface thread, read by the watcher threads.
HWND MainWindowHandle() noexcept;
void SetMainWindowHandle(HWND window) noexcept;

// The registered messages of the instance watchers.
UINT InstanceMessage() noexcept;     // wParam 0 exit requested, 1 second start
UINT EditRequestMessage() noexcept;  // lParam: the foreground window at the request

// Opens the event of this suffix with the right to set it, sets it and closes it; false
// when the event does not exist.
bool SignalInstanceEvent(std::u16string_view suffix) noexcept;

// Creates the event of the suffix and a thread that waits for it or for stop. On the event
// it sends message with wParam (lParam 0) to window: an answer of 0 ends the thread, any
// other answer makes it wait again. False when the event or the thread cannot be created.
bool StartMessageWatcher(HANDLE stop, HWND window, UINT message, WPARAM wparam,
                         std::u16string_view suffix) noexcept;

class InstanceGuard {
 public:
  InstanceGuard() = default;
  ~InstanceGuard() { Release(); }
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // The instance event of this session exists (opened for synchronisation and closed).
  static bool IsAnotherInstanceRunning() noexcept;
  // Creates the instance event with OpenSecurity, protected from closing.
  bool Claim() noexcept;
  // Creates the "_Edit" event and the thread that posts EditRequestMessage for it.
  bool StartEditWatcher() noexcept;
  // Sets the running instance's "_Edit" event.
  static bool SignalEdit() noexcept;
  // Sets the instance event (ending every watcher of this instance) and closes both events.
  void Release() noexcept;

  // The stop signal of the instance's long-lived threads; null when not claimed.
  HANDLE InstanceEvent() const noexcept { return instance_.get(); }

 private:
  UniqueKernelHandle instance_;
  UniqueKernelHandle edit_;
};

}  // namespace vellix
