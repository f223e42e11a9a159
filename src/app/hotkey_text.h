#pragma once
// Global hotkeys as the program keeps them: one 16-bit value as the hotkey control gives
// it, the virtual key in the low byte and the control's modifier flags in the high byte
// (1 Shift, 2 Ctrl, 4 Alt, 8 extended key); 0 is no hotkey. The value is stored as it is in
// settings.ini. These functions turn it into RegisterHotKey's arguments and into the text
// the tray menu and the balloons show.

#include <cstdint>
#include <functional>
#include <string>

namespace vellix {

inline constexpr uint16_t kHotkeyShift = 0x01;   // HOTKEYF_SHIFT
inline constexpr uint16_t kHotkeyControl = 0x02; // HOTKEYF_CONTROL
inline constexpr uint16_t kHotkeyAlt = 0x04;     // HOTKEYF_ALT
inline constexpr uint16_t kHotkeyExtended = 0x08;  // HOTKEYF_EXT

inline constexpr uint8_t HotkeyKey(uint16_t hotkey) { return static_cast<uint8_t>(hotkey & 0xFF); }
inline constexpr uint16_t HotkeyFlags(uint16_t hotkey) { return static_cast<uint16_t>(hotkey >> 8); }

// The hotkey value a setting holds: anything outside 16 bits, or without a key, is none.
uint16_t HotkeyFromSetting(int32_t value);

// RegisterHotKey's modifiers (MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4), with MOD_NOREPEAT
// (0x4000) so that a held combination switches once.
uint32_t HotkeyRegisterModifiers(uint16_t hotkey);

// Whether the combination may become a global hotkey: a key with Ctrl or Alt, or a
// function key (F1 to F24) alone or with Shift. A letter, digit or other typing key alone
// or with Shift only would be taken from every program the user types in.
bool IsUsableHotkey(uint16_t hotkey);

struct HotkeyNames {
  std::u16string ctrl;
  std::u16string shift;
  std::u16string alt;
  // The name of a key other than a letter, digit or function key (virtual key, extended).
  std::function<std::u16string(uint8_t key, bool extended)> keyName;
};

// "Ctrl+Alt+P": the modifiers in the order Windows writes them, then the key (letters and
// digits as themselves, F1 to F24 by number, others by names.keyName; a key without a name
// as its number). Empty for no hotkey.
std::u16string HotkeyText(uint16_t hotkey, const HotkeyNames& names);

}  // namespace vellix
