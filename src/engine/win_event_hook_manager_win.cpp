#include "engine/win_event_hook_manager_win.h"

#include <algorithm>

#include "engine/hook_event_pump_win.h"

namespace vellix {
namespace {

DWORD g_lowestEvent = EVENT_MIN;
DWORD g_highestEvent = EVENT_MAX;
DWORD g_hookFlags = WINEVENT_OUTOFCONTEXT;
WinEventHookManager* g_instance = nullptr;
// Whether the installed hook was asked to skip this process's events. Wine ignores
// WINEVENT_SKIPOWNPROCESS, so the procedure also checks the window's process itself.
bool g_skippingOwnProcess = false;

bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  return window && GetWindowThreadProcessId(window, &process) != 0 &&
         process == GetCurrentProcessId();
}

}  // namespace

WinEventHookManager& WinEventHookManager::Instance() {
  if (!g_instance) g_instance = new WinEventHookManager();
  return *g_instance;
}

bool WinEventHookManager::Add(WinEventListener* listener, uint32_t context, uint32_t event) {
  return Instance().registry_.Add(listener, context, event);
}

bool WinEventHookManager::Remove(WinEventListener* listener) {
  return Instance().registry_.Remove(listener);
}

bool WinEventHookManager::IsHooked() { return g_instance && g_instance->hook_.valid(); }

void WinEventHookManager::SetSkipOwnProcess(bool skip) {
  if (skip) {
    g_hookFlags |= WINEVENT_SKIPOWNPROCESS;
  } else {
    g_hookFlags &= ~static_cast<DWORD>(WINEVENT_SKIPOWNPROCESS);
  }
}

WinEventHookManager::~WinEventHookManager() = default;

bool WinEventHookManager::Install() noexcept {
  if (!HookEventPump::Instance().Open()) return false;
  hook_.reset(SetWinEventHook(std::min(g_lowestEvent, g_highestEvent),
                              std::max(g_lowestEvent, g_highestEvent), nullptr, &HookProc, 0, 0,
                              g_hookFlags));
  g_skippingOwnProcess = (g_hookFlags & WINEVENT_SKIPOWNPROCESS) != 0;
  return hook_.valid();
}

bool WinEventHookManager::Release() noexcept { return hook_.valid() && hook_.close(); }

void CALLBACK WinEventHookManager::HookProc(HWINEVENTHOOK, DWORD event, HWND window,
                                            LONG objectId, LONG childId, DWORD eventThread,
                                            DWORD eventTime) noexcept {
  if (!g_instance || !g_instance->registry_.Wants(event)) return;
  if (g_skippingOwnProcess && IsOwnWindow(window)) return;
  HookEvent queued;
  queued.kind = HookEvent::Kind::kWindow;
  queued.window = {event, reinterpret_cast<WindowHandle>(window), eventThread, objectId, childId,
                   eventTime};
  HookEventPump::Instance().Push(queued);
}

void WinEventHookManager::Deliver(const WinEventInfo& info) noexcept {
  if (g_instance) g_instance->registry_.Dispatch(info);
}

}  // namespace vellix
