#pragma once
// The process-wide low-level keyboard hook. Installed when the first listener registers,
// released when the last one leaves; every key event goes to the next hook first and then
// to each listener. Created on first use; all calls on the thread that installs the hook,
// which must pump messages.

#include <windows.h>

#include "engine/engine_types.h"
#include "engine/keyboard_listener_registry.h"

namespace vellix {

class KeyboardHookManager final : private HookSwitch {
 public:
  // The manager, created when there is none (the module defaults to the program's own).
  static KeyboardHookManager& Instance();
  // The module passed to SetWindowsHookExW at the next installation.
  static void SetModule(HMODULE module);
  // False for a listener that is already registered, and when the hook cannot be
  // installed: the manager is then discarded with all its registrations.
  static bool Register(KeyboardListener* listener, uint32_t context);
  // True only when the listener was the last one and the hook was released.
  static bool Unregister(KeyboardListener* listener);
  static bool IsHooked();
  // The hook procedure: passes the event on first, then hands HC_ACTION events to every
  // listener, and answers what the next hook answered.
  static LRESULT CALLBACK HookProc(int code, WPARAM message, LPARAM record);

  virtual ~KeyboardHookManager();

 private:
  KeyboardHookManager() : registry_(*this) {}
  bool Install() noexcept override;
  bool Release() noexcept override;

  KeyboardListenerRegistry registry_;
};

}  // namespace vellix
