#pragma once
// The registrations of the process-wide keyboard hook: which listeners receive key events,
// with which context, and when the hook is installed or released. Runs on the hook's thread
// only; no lock.

#include <cstdint>
#include <functional>
#include <map>

#include "engine/engine_types.h"
#include "engine/hook_switch.h"

namespace vellix {

class KeyboardListenerRegistry {
 public:
  enum class RegisterResult {
    kRegistered,
    kAlreadyRegistered,  // nothing changed
    kHookFailed,         // the hook could not be installed; the owner discards everything
  };

  explicit KeyboardListenerRegistry(HookSwitch& hook) : hook_(hook) {}
  KeyboardListenerRegistry(const KeyboardListenerRegistry&) = delete;
  KeyboardListenerRegistry& operator=(const KeyboardListenerRegistry&) = delete;

  // Adds the listener and installs the hook with the first one.
  RegisterResult Register(KeyboardListener* listener, uint32_t context);
  // True only when the listener was the last one, so that the hook was released (or its
  // release was attempted: a failed release keeps the hook installed).
  bool Unregister(KeyboardListener* listener);
  bool IsHooked() const { return hooked_; }
  size_t size() const { return listeners_.size(); }

  // Hands the event to every listener in ascending order of address.
  void Dispatch(const KeyboardEventInfo& info) const noexcept;
  void DispatchMouse(const MouseEventInfo& info) const noexcept;

 private:
  HookSwitch& hook_;
  bool hooked_ = false;
  std::map<KeyboardListener*, uint32_t, std::less<>> listeners_;
};

}  // namespace vellix
