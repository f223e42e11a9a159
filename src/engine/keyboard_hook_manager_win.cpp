#include "engine/keyboard_hook_manager_win.h"

#include "engine/hook_event_pump_win.h"
#include "engine/modifier_tracker.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

// Process-wide beside the manager: the hook procedures read them without the instance.
UniqueHook g_hook;
UniqueHook g_mouseHook;
HMODULE g_module = nullptr;
KeyboardHookManager* g_instance = nullptr;
ModifierTracker g_modifiers;  // the hooks' thread only

bool IsPress(WPARAM message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }

bool IsButtonDown(WPARAM message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
         message == WM_MBUTTONDOWN || message == WM_XBUTTONDOWN ||
         message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
         message == WM_MBUTTONDBLCLK || message == WM_XBUTTONDBLCLK;
}

// The modifiers as the system has them now; read once, when the hooks are installed.
uint32_t SystemModifiers() {
  struct Key {
    int vk;
    uint32_t bit;
  };
  static constexpr Key kHeld[] = {
      {VK_LSHIFT, kModLeftShift}, {VK_RSHIFT, kModRightShift},
      {VK_LCONTROL, kModLeftControl}, {VK_RCONTROL, kModRightControl},
      {VK_LMENU, kModLeftAlt}, {VK_RMENU, kModRightAlt},
      {VK_LWIN, kModLeftWin}, {VK_RWIN, kModRightWin},
  };
  uint32_t bits = 0;
  for (const Key& key : kHeld) {
    if ((GetAsyncKeyState(key.vk) & 0x8000) != 0) bits |= key.bit;
  }
  if ((GetKeyState(VK_CAPITAL) & 1) != 0) bits |= kModCapsLock;
  if ((GetKeyState(VK_NUMLOCK) & 1) != 0) bits |= kModNumLock;
  return bits;
}

}  // namespace

KeyboardHookManager& KeyboardHookManager::Instance() {
  if (!g_module) g_module = GetModuleHandleW(nullptr);
  if (!g_instance) g_instance = new KeyboardHookManager();
  return *g_instance;
}

void KeyboardHookManager::SetModule(HMODULE module) { g_module = module; }

InputHoldGate& KeyboardHookManager::Gate() {
  static InputHoldGate* gate = new InputHoldGate();  // outlives every thread that uses it
  return *gate;
}

bool KeyboardHookManager::Register(KeyboardListener* listener, uint32_t context) {
  switch (Instance().registry_.Register(listener, context)) {
    case KeyboardListenerRegistry::RegisterResult::kRegistered:
      return true;
    case KeyboardListenerRegistry::RegisterResult::kAlreadyRegistered:
      return false;
    case KeyboardListenerRegistry::RegisterResult::kHookFailed:
      break;
  }
  delete g_instance;
  g_instance = nullptr;
  return false;
}

bool KeyboardHookManager::Unregister(KeyboardListener* listener) {
  return g_instance && g_instance->registry_.Unregister(listener);
}

bool KeyboardHookManager::IsHooked() { return g_hook.valid(); }

KeyboardHookManager::~KeyboardHookManager() {
  // Never leave a hook behind that would call into a discarded manager.
  (void)g_hook.close();
  (void)g_mouseHook.close();
}

bool KeyboardHookManager::Install() noexcept {
  if (!HookEventPump::Instance().Open()) return false;
  g_hook.reset(SetWindowsHookExW(WH_KEYBOARD_LL, &HookProc, g_module, 0));
  if (!g_hook) return false;
  // Seeded once the hook is in place: a modifier released before this query reads as up,
  // one released after it reaches the hook (this thread runs the hook only when it pumps).
  // Seeded first, a release in between was never seen and left Ctrl or Alt held for every
  // key, as when the pause key (Ctrl+Alt+...) switches the engine on.
  g_modifiers.Seed(SystemModifiers());
  g_mouseHook.reset(SetWindowsHookExW(WH_MOUSE_LL, &MouseHookProc, g_module, 0));
  if (!g_mouseHook) {
    g_hook.reset();
    return false;
  }
  return true;
}

bool KeyboardHookManager::Release() noexcept {
  (void)g_mouseHook.close();
  return g_hook.valid() && g_hook.close();
}

void KeyboardHookManager::Deliver(const KeyboardEventInfo& info) noexcept {
  if (g_instance) g_instance->registry_.Dispatch(info);
}

void KeyboardHookManager::Deliver(const MouseEventInfo& info) noexcept {
  if (g_instance) g_instance->registry_.DispatchMouse(info);
}

bool KeyboardHookManager::Intercept(WPARAM message, const KBDLLHOOKSTRUCT& key) noexcept {
  HookEvent event;
  KeyboardEventInfo& info = event.key;
  info = {static_cast<uint32_t>(message), key.vkCode, key.scanCode, key.flags,
          g_modifiers.Bits(), 0};
  const bool injected = (key.flags & LLKHF_INJECTED) != 0;
  if (injected && key.dwExtraInfo == kReplayedKeyMarker) {
    // The user's own key, given back after an insertion: it counts as typed.
    info.flags &= ~static_cast<uint32_t>(LLKHF_INJECTED);
    info.inputSeq = IsPress(message) ? Gate().CountInput() : 0;
  } else if (!injected) {
    switch (Gate().OnUserKey(info, GetTickCount64(), info.inputSeq)) {
      case InputHoldGate::Verdict::kPass:
        break;
      case InputHoldGate::Verdict::kHold:
      case InputHoldGate::Verdict::kSwallow:
        return true;
      case InputHoldGate::Verdict::kUndo:
        // The target never sees this Backspace; the listeners hear of the undo request.
        info.flags |= kUndoRequestFlag;
        HookEventPump::Instance().Queue(event);
        return true;
    }
  }
  g_modifiers.Update(info);
  HookEventPump::Instance().Queue(event);
  return false;
}

LRESULT CALLBACK KeyboardHookManager::HookProc(int code, WPARAM message, LPARAM record) noexcept {
  const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(record);
  if (code != HC_ACTION || !g_instance || !key) {
    return CallNextHookEx(g_hook.get(), code, message, record);
  }
  // Swallowed: held back until the insertion is out, or a Backspace that undoes one.
  if (Intercept(message, *key)) {
    HookEventPump::Instance().RequestDrain();
    return 1;
  }
  // A release changes no word: it waits in the queue for the next press or event, which
  // saves the drain request (a round trip to the window server under Wine) on half the keys.
  HookEventPump& pump = HookEventPump::Instance();
  if (IsPress(message) || pump.Backlog() >= HookEventPump::kReleaseBacklog) pump.RequestDrain();
  return CallNextHookEx(g_hook.get(), code, message, record);
}

LRESULT CALLBACK KeyboardHookManager::MouseHookProc(int code, WPARAM message, LPARAM record) noexcept {
  const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(record);
  if (code == HC_ACTION && g_instance && mouse && IsButtonDown(message)) {
    HookEvent event;
    event.kind = HookEvent::Kind::kMouse;
    event.mouse = {static_cast<uint32_t>(message), mouse->pt.x, mouse->pt.y,
                   (mouse->flags & LLMHF_INJECTED) != 0, Gate().CountInput()};
    HookEventPump::Instance().Push(event);
  }
  return CallNextHookEx(g_mouseHook.get(), code, message, record);
}

}  // namespace vellix
