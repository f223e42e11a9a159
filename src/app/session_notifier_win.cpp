#include "app/session_notifier_win.h"

namespace vellix {
namespace {
using RegisterFunction = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFunction = BOOL(WINAPI*)(HWND);

// A looked-up function as its own type; the detour through void* says the cast is meant.
template <typename Function>
Function As(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}
}  // namespace

SessionNotifier::~SessionNotifier() {
  if (auto unregister = As<UnregisterFunction>(
          windows_.empty() ? nullptr : Function("WTSUnRegisterSessionNotification"))) {
    for (HWND window : windows_) unregister(window);
  }
  windows_.clear();
}

FARPROC SessionNotifier::Function(const char* name) {
  if (!library_) library_.reset(LoadLibraryW(L"Wtsapi32.dll"));
  return library_ ? GetProcAddress(library_.get(), name) : nullptr;
}

bool SessionNotifier::Register(HWND window, bool thisSessionOnly) {
  if (!window || !IsWindow(window) || IsRegistered(window)) return false;
  auto function = As<RegisterFunction>(Function("WTSRegisterSessionNotification"));
  if (!function) return false;
  if (!function(window, thisSessionOnly ? 0 : 1)) return false;
  windows_.insert(window);
  return true;
}

bool SessionNotifier::Unregister(HWND window, bool forget) {
  auto function = As<UnregisterFunction>(Function("WTSUnRegisterSessionNotification"));
  if (!function || !function(window)) return false;
  if (forget) windows_.erase(window);
  return true;
}

}  // namespace vellix
