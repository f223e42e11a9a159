#include "engine/desktop_typing_engine_win.h"

#include <windows.h>

#include "engine/caret_position_win.h"
#include "engine/keyboard_hook_manager_win.h"
#include "engine/win_event_hook_manager_win.h"

namespace vellix {

DesktopTypingEngine::DesktopTypingEngine()
    : TypingEngine(desktopPart, hooksPart),
      worker_(*this, injectorPart, KeyboardHookManager::Gate()) {
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
  FollowFocusedWindow();
  return true;
}

void DesktopTypingEngine::FollowFocusedWindow() noexcept {
  // The window that has the focus when the engine starts raises no event until it changes,
  // so the first key typed there would find no window and be lost: take it as if its focus
  // event had arrived. The program's own windows are skipped, as their events are.
  const HWND foreground = GetForegroundWindow();
  if (foreground == nullptr) return;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const DWORD thread = GetWindowThreadProcessId(foreground, nullptr);
  const HWND focus = GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus : foreground;
  DWORD process = 0;
  GetWindowThreadProcessId(focus, &process);
  if (process == GetCurrentProcessId()) return;
  WinEventInfo event;
  event.event = kEventObjectFocus;
  event.window = reinterpret_cast<WindowHandle>(focus);
  event.objectId = kObjIdWindow;
  event.eventThread = thread;
  OnWinEvent(event, 0);
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
