#pragma once
// The word tracker's registrations with the process-wide keyboard and WinEvent hook managers.

#include "engine/hook_registrar.h"

namespace vellix {

class Win32HookRegistrar final : public HookRegistrar {
 public:
  bool AddWinEventListener(WinEventListener* listener, uint32_t context,
                           uint32_t event) noexcept override;
  bool RemoveWinEventListener(WinEventListener* listener) noexcept override;
  bool IsWinEventHooked() noexcept override;
  void SetKeyboardModule(uintptr_t module) noexcept override;
  bool RegisterKeyboardListener(KeyboardListener* listener, uint32_t context) noexcept override;
  bool UnregisterKeyboardListener(KeyboardListener* listener) noexcept override;
};

}  // namespace vellix
