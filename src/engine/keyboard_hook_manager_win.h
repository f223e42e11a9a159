#pragma once
// The process-wide low-level input hooks: the keyboard hook and, installed and released
// with it, the mouse hook (button presses only). Installed when the first listener
// registers, released when the last one leaves. Created on first use; all calls on the
// thread that installs the hooks, which must pump messages.
//
// The hook procedures do as little as they can, because every key and every mouse event
// of the desktop waits for them: they follow the modifier keys, ask the InputHoldGate
// whether a key of the user must be held back while an insertion is typed (it is then
// swallowed, and replayed by the engine's worker afterwards), queue a copy of the event for
// the listeners and return. The listeners run right after, through the HookEventPump.
// Keys that the worker replays carry kReplayedKeyMarker in their extra information; they
// pass as the user's own keys.

#include <windows.h>

#include "engine/engine_types.h"
#include "engine/input_hold_gate.h"
#include "engine/keyboard_listener_registry.h"

namespace vellix {

// dwExtraInfo of the key records that give the user's held-back keys back to the system.
inline constexpr ULONG_PTR kReplayedKeyMarker = 0x56454C58;  // "VELX"

class KeyboardHookManager final : private HookSwitch {
 public:
  // The manager, created when there is none (the module defaults to the program's own).
  static KeyboardHookManager& Instance();
  // The module passed to SetWindowsHookExW at the next installation.
  static void SetModule(HMODULE module);
  // False for a listener that is already registered, and when a hook cannot be installed:
  // the manager is then discarded with all its registrations.
  static bool Register(KeyboardListener* listener, uint32_t context);
  // True only when the listener was the last one and the hooks were released.
  static bool Unregister(KeyboardListener* listener);
  static bool IsHooked();
  // The gate shared by the hook (which holds keys back) and the engine's worker.
  static InputHoldGate& Gate();

  // The hook procedures. A user's key held back by the gate is swallowed (answer 1);
  // everything else goes on to the next hook after it was queued for the listeners.
  static LRESULT CALLBACK HookProc(int code, WPARAM message, LPARAM record) noexcept;
  // The keyboard hook's own work on one HC_ACTION record: follows the modifiers, asks the
  // gate and queues the event; true when the key is to be swallowed (held back during an
  // insertion, or a Backspace that undoes one). Apart so that a benchmark can time it
  // without the two system calls around it.
  static bool Intercept(WPARAM message, const KBDLLHOOKSTRUCT& key) noexcept;
  static LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM record) noexcept;

  // The HookEventPump hands queued events to the listeners through these.
  static void Deliver(const KeyboardEventInfo& info) noexcept;
  static void Deliver(const MouseEventInfo& info) noexcept;

  virtual ~KeyboardHookManager();

 private:
  KeyboardHookManager() : registry_(*this) {}
  bool Install() noexcept override;
  bool Release() noexcept override;

  KeyboardListenerRegistry registry_;
};

}  // namespace vellix
