#pragma once
// How the word tracker registers itself with the two process-wide hook managers. The Win32
// layer implements it over the WinEvent and keyboard hook managers; tests give a fake that
// records the calls and can fail them. Every call is made on the thread that owns the hooks
// (the main dialog's thread), the same thread that later receives the events.

#include <cstdint>

#include "engine/engine_types.h"

namespace vellix {

class HookRegistrar {
 public:
  // WinEvent hook manager: adds one event code to the listener's set. The result says only
  // whether the registration was recorded; whether the hook itself could be installed is
  // answered by IsWinEventHooked.
  virtual bool AddWinEventListener(WinEventListener* listener, uint32_t context,
                                   uint32_t event) noexcept = 0;
  // Removes the listener with all its events; false when it had none or removal failed.
  virtual bool RemoveWinEventListener(WinEventListener* listener) noexcept = 0;
  virtual bool IsWinEventHooked() noexcept = 0;

  // Keyboard hook manager: the module that the low-level hook is installed for.
  virtual void SetKeyboardModule(uintptr_t module) noexcept = 0;
  // False when the hook could not be installed.
  virtual bool RegisterKeyboardListener(KeyboardListener* listener, uint32_t context) noexcept = 0;
  // True only when the listener was the last one and the hook was released.
  virtual bool UnregisterKeyboardListener(KeyboardListener* listener) noexcept = 0;

 protected:
  ~HookRegistrar() = default;
};

}  // namespace vellix
