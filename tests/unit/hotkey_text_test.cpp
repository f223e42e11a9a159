// Hotkey values as the hotkey control gives them: what may become a global hotkey, the
// modifiers RegisterHotKey gets, and the text the tray menu shows.

#include <gtest/gtest.h>

#include "app/hotkey_text.h"

namespace vellix {
namespace {

constexpr uint16_t Combo(uint16_t flags, uint8_t key) { return static_cast<uint16_t>(flags << 8 | key); }

HotkeyNames Names() {
  HotkeyNames names{u"Ctrl", u"Shift", u"Alt", nullptr};
  names.keyName = [](uint8_t key, bool extended) -> std::u16string {
    if (key == 0x24) return extended ? u"Home" : u"Num 7";
    if (key == 0x20) return u"Space";
    return u"";
  };
  return names;
}

TEST(HotkeyText, UsableCombinationsAndRegisterModifiers) {
  const struct {
    uint16_t hotkey;
    bool usable;
    uint32_t modifiers;  // with MOD_NOREPEAT
  } cases[] = {
      {0, false, 0x4000},
      {Combo(kHotkeyControl, 'P'), true, 0x4002},
      {Combo(kHotkeyAlt, 'P'), true, 0x4001},
      {Combo(kHotkeyControl | kHotkeyAlt | kHotkeyShift, 'P'), true, 0x4007},
      {Combo(0, 'P'), false, 0x4000},                    // a typing key alone
      {Combo(kHotkeyShift, 'P'), false, 0x4004},         // Shift alone types capitals
      {Combo(kHotkeyShift, '1'), false, 0x4004},
      {Combo(0, 0x7A), true, 0x4000},                    // F11 alone
      {Combo(kHotkeyShift, 0x87), true, 0x4004},         // Shift+F24
      {Combo(kHotkeyControl, 0), false, 0x4002},         // modifiers without a key
      {Combo(kHotkeyControl | kHotkeyExtended, 0x24), true, 0x4002},  // the extended flag is no modifier
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsUsableHotkey(c.hotkey), c.usable) << std::hex << c.hotkey;
    EXPECT_EQ(HotkeyRegisterModifiers(c.hotkey), c.modifiers) << std::hex << c.hotkey;
  }
}

TEST(HotkeyText, TextNamesModifiersInWindowsOrderThenTheKey) {
  const struct {
    uint16_t hotkey;
    const char16_t* text;
  } cases[] = {
      {0, u""},
      {Combo(kHotkeyControl | kHotkeyAlt, 'P'), u"Ctrl+Alt+P"},
      {Combo(kHotkeyAlt | kHotkeyShift | kHotkeyControl, '7'), u"Ctrl+Shift+Alt+7"},
      {Combo(0, 0x70), u"F1"},
      {Combo(kHotkeyShift, 0x87), u"Shift+F24"},
      {Combo(kHotkeyControl | kHotkeyExtended, 0x24), u"Ctrl+Home"},  // extended: the arrow block's key
      {Combo(kHotkeyControl, 0x24), u"Ctrl+Num 7"},
      {Combo(kHotkeyAlt, 0x20), u"Alt+Space"},
      {Combo(kHotkeyAlt, 0xE8), u"Alt+#232"},  // a key without a name
  };
  for (const auto& c : cases) EXPECT_EQ(HotkeyText(c.hotkey, Names()), c.text) << std::hex << c.hotkey;
}

TEST(HotkeyText, SettingValuesOutsideTheControlsRangeAreNone) {
  EXPECT_EQ(HotkeyFromSetting(0x0650), 0x0650);
  EXPECT_EQ(HotkeyFromSetting(0x0600), 0);  // no key
  EXPECT_EQ(HotkeyFromSetting(-1), 0);
  EXPECT_EQ(HotkeyFromSetting(0x10050), 0);
}

}  // namespace
}  // namespace vellix
