#include "app/global_hotkeys_win.h"

#include "app/hotkey_text.h"

namespace vellix {

GlobalHotkeys::~GlobalHotkeys() { Clear(); }

bool GlobalHotkeys::Set(HotkeyUse use, uint16_t hotkey) {
  uint16_t& registered = registered_[Index(use)];
  if (registered != 0) {
    UnregisterHotKey(window_, static_cast<int>(use));
    registered = 0;
  }
  if (hotkey == 0) return true;
  if (!window_ || !RegisterHotKey(window_, static_cast<int>(use), HotkeyRegisterModifiers(hotkey), HotkeyKey(hotkey)))
    return false;
  registered = hotkey;
  return true;
}

void GlobalHotkeys::Clear() {
  Set(HotkeyUse::kPause, 0);
  Set(HotkeyUse::kFindPhrase, 0);
}

}  // namespace vellix
