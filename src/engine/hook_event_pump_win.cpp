#include "engine/hook_event_pump_win.h"

#include "base/boundary.h"
#include "base/messages.h"
#include "base/wide.h"
#include "engine/keyboard_hook_manager_win.h"
#include "engine/win_event_hook_manager_win.h"
#include "win32/message_window_win.h"

namespace vellix {
namespace {

constexpr wchar_t kWindowClass[] = L"VellixHookEvents";

}  // namespace

HookEventPump& HookEventPump::Instance() {
  static HookEventPump* pump = new HookEventPump();  // lives as long as the hooks may call it
  return *pump;
}

bool HookEventPump::Open() noexcept {
  if (window_ && IsWindow(window_)) return true;
  window_ = CreateMessageWindow(kWindowClass, &WindowProc);
  drainPosted_ = false;
  return window_ != nullptr;
}

void HookEventPump::RequestDrain() noexcept {
  if (drainPosted_ || queue_.Empty()) return;
  if (window_ && PostMessageW(window_, kHookDrainMessage, 0, 0)) {
    drainPosted_ = true;
  }
}

void HookEventPump::Drain() noexcept {
  drainPosted_ = false;
  if (draining_) return;  // the drain under way takes the new events too
  draining_ = true;
  HookEvent event;
  while (queue_.Pop(event)) {
    switch (event.kind) {
      case HookEvent::Kind::kKey:
        KeyboardHookManager::Deliver(event.key);
        break;
      case HookEvent::Kind::kMouse:
        KeyboardHookManager::Deliver(event.mouse);
        break;
      case HookEvent::Kind::kWindow:
        WinEventHookManager::Deliver(event.window);
        break;
      case HookEvent::Kind::kLost:
        // Input the listeners never saw: as after a click, nothing is known of the caret.
        KeyboardHookManager::Deliver(MouseEventInfo{});
        break;
    }
  }
  draining_ = false;
}

LRESULT CALLBACK HookEventPump::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
  if (message == kHookDrainMessage) {
    try {
      Instance().Drain();
    } catch (...) {
      ReportCaughtException("hook event listener");
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vellix
