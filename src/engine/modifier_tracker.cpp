#include "engine/modifier_tracker.h"

#include <algorithm>

namespace vellix {
namespace {

// The held-down bit of a modifier key, 0 for other keys. A generic key (VK_SHIFT, ...)
// stands for its left form.
uint32_t HeldBit(uint32_t vk) noexcept {
  switch (vk) {
    case kVkShiftKey:
    case kVkLShift: return kModLeftShift;
    case kVkRShift: return kModRightShift;
    case kVkControlKey:
    case kVkLControl: return kModLeftControl;
    case kVkRControl: return kModRightControl;
    case kVkMenuKey:
    case kVkLMenu: return kModLeftAlt;
    case kVkRMenu: return kModRightAlt;
    case kVkLWin: return kModLeftWin;
    case kVkRWin: return kModRightWin;
    default: return 0;
  }
}

bool IsKeyUp(const KeyboardEventInfo& key) noexcept {
  return key.message == kWmKeyUp || key.message == kWmSysKeyUp;
}

}  // namespace

bool IsModifierKey(uint32_t vk) noexcept {
  return HeldBit(vk) != 0 || vk == kVkCapital || vk == kVkNumLock;
}

void FillKeyState(uint32_t modifiers, uint8_t* state) noexcept {
  std::fill(state, state + 256, uint8_t{0});
  constexpr uint8_t kDown = 0x80;
  constexpr uint8_t kToggled = 0x01;
  auto set = [&](uint32_t bit, uint32_t sided, uint32_t generic) {
    if ((modifiers & bit) == 0) return;
    state[sided] = kDown;
    state[generic] = kDown;
  };
  set(kModLeftShift, kVkLShift, kVkShiftKey);
  set(kModRightShift, kVkRShift, kVkShiftKey);
  set(kModLeftControl, kVkLControl, kVkControlKey);
  set(kModRightControl, kVkRControl, kVkControlKey);
  set(kModLeftAlt, kVkLMenu, kVkMenuKey);
  set(kModRightAlt, kVkRMenu, kVkMenuKey);
  set(kModLeftWin, kVkLWin, kVkLWin);
  set(kModRightWin, kVkRWin, kVkRWin);
  if ((modifiers & kModCapsLock) != 0) state[kVkCapital] = kToggled;
  if ((modifiers & kModNumLock) != 0) state[kVkNumLock] = kToggled;
}

void ModifierTracker::Update(const KeyboardEventInfo& key) noexcept {
  const bool up = IsKeyUp(key);
  if (const uint32_t bit = HeldBit(key.vkCode); bit != 0) {
    bits_ = up ? bits_ & ~bit : bits_ | bit;
    return;
  }
  auto toggle = [&](bool& down, uint32_t bit) {
    if (!up && !down) bits_ ^= bit;
    down = !up;
  };
  if (key.vkCode == kVkCapital) toggle(capsDown_, kModCapsLock);
  if (key.vkCode == kVkNumLock) toggle(numDown_, kModNumLock);
}

}  // namespace vellix
