#pragma once
// The program's global hotkeys, registered on the main dialog's window (RegisterHotKey):
// the pause key and the key of the phrase picker. The window receives WM_HOTKEY with the
// use as its wparam. Main dialog's thread only.

#include <windows.h>

#include <cstdint>

namespace vellix {

enum class HotkeyUse : int { kPause = 1, kFindPhrase = 2 };

class GlobalHotkeys {
 public:
  GlobalHotkeys() = default;
  GlobalHotkeys(const GlobalHotkeys&) = delete;
  GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;
  ~GlobalHotkeys();

  void SetWindow(HWND window) { window_ = window; }

  // Registers the keys for use, replacing what it had; 0 only removes the old keys. False
  // when the system refused them (another program holds them): use then has no keys.
  bool Set(HotkeyUse use, uint16_t hotkey);
  // The keys registered for use, 0 when none.
  uint16_t Registered(HotkeyUse use) const { return registered_[Index(use)]; }
  // Removes every registration (before the window goes).
  void Clear();

 private:
  static int Index(HotkeyUse use) { return static_cast<int>(use) - 1; }

  HWND window_ = nullptr;
  uint16_t registered_[2] = {0, 0};
};

}  // namespace vellix
