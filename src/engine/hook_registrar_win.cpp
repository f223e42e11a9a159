#include "engine/hook_registrar_win.h"

#include <windows.h>

#include "engine/keyboard_hook_manager_win.h"
#include "engine/win_event_hook_manager_win.h"

namespace vellix {

bool Win32HookRegistrar::AddWinEventListener(WinEventListener* listener, uint32_t context,
                                             uint32_t event) noexcept {
  return WinEventHookManager::Add(listener, context, event);
}

bool Win32HookRegistrar::RemoveWinEventListener(WinEventListener* listener) noexcept {
  return WinEventHookManager::Remove(listener);
}

bool Win32HookRegistrar::IsWinEventHooked() noexcept { return WinEventHookManager::IsHooked(); }

void Win32HookRegistrar::SetKeyboardModule(uintptr_t module) noexcept {
  KeyboardHookManager::SetModule(reinterpret_cast<HMODULE>(module));
}

bool Win32HookRegistrar::RegisterKeyboardListener(KeyboardListener* listener,
                                                  uint32_t context) noexcept {
  return KeyboardHookManager::Register(listener, context);
}

bool Win32HookRegistrar::UnregisterKeyboardListener(KeyboardListener* listener) noexcept {
  return KeyboardHookManager::Unregister(listener);
}

}  // namespace vellix
