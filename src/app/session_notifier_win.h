#pragma once
// Registration of windows for session-change notifications (lock, unlock, logon...).
// "Wtsapi32.dll" is loaded on first use and its functions are looked up by name at each
// call, so a system without it simply has no session handling.
#include <windows.h>

#include <set>

#include "win32/unique_handle.h"

namespace vellix {

class SessionNotifier {
 public:
  SessionNotifier() = default;
  // Unregisters every registered window and frees the library.
  ~SessionNotifier();
  SessionNotifier(const SessionNotifier&) = delete;
  SessionNotifier& operator=(const SessionNotifier&) = delete;

  // False when the window does not exist, the library or function is missing, the window
  // is registered already or the call fails. thisSessionOnly false asks for all sessions.
  bool Register(HWND window, bool thisSessionOnly);
  // Calls the unregister function; on success and with forget the window leaves the set.
  bool Unregister(HWND window, bool forget);
  bool IsRegistered(HWND window) const { return windows_.count(window) != 0; }

 private:
  FARPROC Function(const char* name);

  UniqueModule library_;
  std::set<HWND> windows_;
};

}  // namespace vellix
