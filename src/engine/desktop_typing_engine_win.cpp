#include "engine/desktop_typing_engine_win.h"

#include <windows.h>

#include "engine/caret_position_win.h"
#include "engine/win_event_hook_manager_win.h"

namespace vellix {

DesktopTypingEngine::DesktopTypingEngine()
    : TypingEngine(desktopPart, hooksPart), worker_(*this, injectorPart) {
  // The program's own windows (editor, dialogs) never feed the word.
  WinEventHookManager::SetSkipOwnProcess(true);
  SetInstanceHandle(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)));
  SetInsertionSignals(&worker_);
}

DesktopTypingEngine::~DesktopTypingEngine() {
  if (IsRunning()) Stop();
  SetInsertionSignals(nullptr);
}

bool DesktopTypingEngine::Start(bool installKeyboardHook) noexcept {
  if (IsRunning()) return false;
  if (!StartTracking(installKeyboardHook)) return false;
  if (!worker_.Start(PrintDelay())) {
    StopTracking();
    return false;
  }
  return true;
}

bool DesktopTypingEngine::Stop() noexcept {
  // The hooks go first: an insertion still being typed then no longer waits for this
  // thread's hook, and no new key can schedule one.
  if (!StopTracking()) return false;
  worker_.Stop();
  return true;
}

bool DesktopTypingEngine::GetCaretScreenPosition(int32_t& x, int32_t& y) const noexcept {
  return vellix::GetCaretScreenPosition(CurrentWordWindow(), x, y);
}

}  // namespace vellix
