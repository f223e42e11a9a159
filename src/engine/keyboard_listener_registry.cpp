#include "engine/keyboard_listener_registry.h"

namespace vellix {

KeyboardListenerRegistry::RegisterResult KeyboardListenerRegistry::Register(
    KeyboardListener* listener, uint32_t context) {
  // A repeated registration keeps the map and the hook as they are.
  if (hooked_ && listeners_.contains(listener)) return RegisterResult::kAlreadyRegistered;
  listeners_[listener] = context;
  if (hooked_) return RegisterResult::kRegistered;
  hooked_ = hook_.Install();
  if (!hooked_) {
    listeners_.clear();
    return RegisterResult::kHookFailed;
  }
  return RegisterResult::kRegistered;
}

bool KeyboardListenerRegistry::Unregister(KeyboardListener* listener) {
  if (!hooked_) return false;
  if (listeners_.erase(listener) == 0) return false;
  if (!listeners_.empty()) return false;
  if (hook_.Release()) hooked_ = false;
  return true;
}

void KeyboardListenerRegistry::Dispatch(const KeyboardEventInfo& info) const noexcept {
  // Steps by key rather than by iterator, so that a listener may unregister (itself or
  // another) while it is called.
  for (auto it = listeners_.begin(); it != listeners_.end();) {
    KeyboardListener* const listener = it->first;
    listener->OnKeyboardEvent(info, it->second);
    it = listeners_.upper_bound(listener);
  }
}

void KeyboardListenerRegistry::DispatchMouse(const MouseEventInfo& info) const noexcept {
  for (auto it = listeners_.begin(); it != listeners_.end();) {
    KeyboardListener* const listener = it->first;
    listener->OnMouseButton(info, it->second);
    it = listeners_.upper_bound(listener);
  }
}

}  // namespace vellix
