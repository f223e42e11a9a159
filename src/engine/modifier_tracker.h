#pragma once
// The modifier keys the user holds, followed from the low-level key events themselves.
// Asking the system for them (GetKeyState, GetAsyncKeyState, GetKeyboardState) costs a
// round trip to the window server on every call under some systems, far too slow for the
// keyboard hook; the hook sees every key that changes them anyway. The tracker is seeded
// from the system once when the hook is installed and then follows each event that reaches
// the system, injected ones included (our own typing releases Ctrl and Shift).
//
// Platform-free; the hook's thread owns it (no lock).

#include <cstdint>

#include "engine/engine_types.h"

namespace vellix {

// Virtual keys of the modifiers, as Windows defines them. A low-level hook reports the
// left/right forms; the generic ones are accepted too.
inline constexpr uint32_t kVkShiftKey = 0x10;
inline constexpr uint32_t kVkControlKey = 0x11;
inline constexpr uint32_t kVkMenuKey = 0x12;
inline constexpr uint32_t kVkCapital = 0x14;
inline constexpr uint32_t kVkLWin = 0x5B;
inline constexpr uint32_t kVkRWin = 0x5C;
inline constexpr uint32_t kVkNumLock = 0x90;
inline constexpr uint32_t kVkLShift = 0xA0;
inline constexpr uint32_t kVkRShift = 0xA1;
inline constexpr uint32_t kVkLControl = 0xA2;
inline constexpr uint32_t kVkRControl = 0xA3;
inline constexpr uint32_t kVkLMenu = 0xA4;
inline constexpr uint32_t kVkRMenu = 0xA5;

// Whether vk is a modifier or lock key, which alone never changes a text.
bool IsModifierKey(uint32_t vk) noexcept;

// Fills a 256-byte key-state table, as ToUnicodeEx takes it, for the given modifiers.
void FillKeyState(uint32_t modifiers, uint8_t* state) noexcept;

class ModifierTracker {
 public:
  void Seed(uint32_t modifiers) noexcept {
    bits_ = modifiers;
    capsDown_ = false;
    numDown_ = false;
  }
  uint32_t Bits() const noexcept { return bits_; }
  // Follows one key event (down or up) that reached the system.
  void Update(const KeyboardEventInfo& key) noexcept;

 private:
  uint32_t bits_ = 0;
  // The lock keys toggle on the press, not on the repeats while held.
  bool capsDown_ = false;
  bool numDown_ = false;
};

}  // namespace vellix
