#include "app/hotkey_text.h"

#include "base/number_text.h"

namespace vellix {
namespace {

constexpr uint8_t kVkF1 = 0x70;
constexpr uint8_t kVkF24 = 0x87;
constexpr uint32_t kModAlt = 0x0001;
constexpr uint32_t kModControl = 0x0002;
constexpr uint32_t kModShift = 0x0004;
constexpr uint32_t kModNoRepeat = 0x4000;

bool IsFunctionKey(uint8_t key) { return key >= kVkF1 && key <= kVkF24; }
bool IsLetterOrDigit(uint8_t key) { return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'); }

}  // namespace

uint16_t HotkeyFromSetting(int32_t value) {
  if (value <= 0 || value > 0xFFFF) return 0;
  const auto hotkey = static_cast<uint16_t>(value);
  return HotkeyKey(hotkey) == 0 ? 0 : hotkey;
}

uint32_t HotkeyRegisterModifiers(uint16_t hotkey) {
  const uint16_t flags = HotkeyFlags(hotkey);
  uint32_t modifiers = kModNoRepeat;
  if (flags & kHotkeyAlt) modifiers |= kModAlt;
  if (flags & kHotkeyControl) modifiers |= kModControl;
  if (flags & kHotkeyShift) modifiers |= kModShift;
  return modifiers;
}

bool IsUsableHotkey(uint16_t hotkey) {
  const uint8_t key = HotkeyKey(hotkey);
  if (key == 0) return false;
  const uint16_t flags = HotkeyFlags(hotkey);
  if (flags & (kHotkeyControl | kHotkeyAlt)) return true;
  return IsFunctionKey(key);
}

std::u16string HotkeyText(uint16_t hotkey, const HotkeyNames& names) {
  const uint8_t key = HotkeyKey(hotkey);
  if (key == 0) return {};
  const uint16_t flags = HotkeyFlags(hotkey);
  std::u16string text;
  if (flags & kHotkeyControl) text += names.ctrl + u"+";
  if (flags & kHotkeyShift) text += names.shift + u"+";
  if (flags & kHotkeyAlt) text += names.alt + u"+";
  if (IsLetterOrDigit(key)) {
    text += static_cast<char16_t>(key);
  } else if (IsFunctionKey(key)) {
    text += u"F" + Decimal(key - kVkF1 + 1);
  } else {
    std::u16string name = names.keyName ? names.keyName(key, (flags & kHotkeyExtended) != 0) : std::u16string();
    text += name.empty() ? u"#" + Decimal(key) : name;
  }
  return text;
}

}  // namespace vellix
