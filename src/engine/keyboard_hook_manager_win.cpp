#include "engine/keyboard_hook_manager_win.h"

namespace vellix {
namespace {

// Process-wide beside the manager: the hook procedure reads them without the instance.
HHOOK g_hook = nullptr;
HMODULE g_module = nullptr;
KeyboardHookManager* g_instance = nullptr;

}  // namespace

KeyboardHookManager& KeyboardHookManager::Instance() {
  if (!g_module) g_module = GetModuleHandleW(nullptr);
  if (!g_instance) g_instance = new KeyboardHookManager();
  return *g_instance;
}

void KeyboardHookManager::SetModule(HMODULE module) { g_module = module; }

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

bool KeyboardHookManager::IsHooked() { return g_hook != nullptr; }

KeyboardHookManager::~KeyboardHookManager() {
  // Never leave a hook behind that would call into a discarded manager.
  if (g_hook && UnhookWindowsHookEx(g_hook)) g_hook = nullptr;
}

bool KeyboardHookManager::Install() noexcept {
  g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, &HookProc, g_module, 0);
  return g_hook != nullptr;
}

bool KeyboardHookManager::Release() noexcept {
  if (!UnhookWindowsHookEx(g_hook)) return false;
  g_hook = nullptr;
  return true;
}

LRESULT CALLBACK KeyboardHookManager::HookProc(int code, WPARAM message, LPARAM record) {
  if (code != HC_ACTION) return CallNextHookEx(g_hook, code, message, record);
  // The key goes on first: whatever the listeners do, it is never swallowed or delayed.
  const LRESULT result = CallNextHookEx(g_hook, HC_ACTION, message, record);
  const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(record);
  if (g_instance && key) {
    const KeyboardEventInfo info{static_cast<uint32_t>(message), key->vkCode, key->scanCode,
                                 key->flags};
    g_instance->registry_.Dispatch(info);
  }
  return result;
}

}  // namespace vellix
