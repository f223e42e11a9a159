#pragma once
// The small dialog in which the user presses the keys of a global hotkey (the pause key,
// the phrase picker's key): a hotkey control, None, OK and Cancel. Modal, on the
// user-interface thread; at most one is open.

#include <windows.h>

#include <cstdint>
#include <string>

#include "lang/localized_dialog_win.h"

namespace vellix {

class HotkeyDialog : public LocalizedDialog {
 public:
  HotkeyDialog(std::u16string caption, std::u16string prompt, uint16_t hotkey);
  ~HotkeyDialog() override;

  // The keys chosen (0: None) once the dialog ended with IDOK.
  uint16_t Hotkey() const { return hotkey_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override;
  void OnDestroy() override;

 private:
  std::u16string caption_;
  std::u16string prompt_;
  uint16_t hotkey_;
};

// Shows the dialog with hotkey preselected; true with the chosen keys in hotkey when the
// user pressed OK. An open one is brought to the front instead, and false answered.
bool ChooseHotkey(HWND owner, const std::u16string& caption, const std::u16string& prompt, uint16_t& hotkey);
// The open hotkey dialog, or null.
HWND GetOpenHotkeyWindow();

// The keys as the tray menu and the balloons show them ("Ctrl+Alt+P"), in the current
// language; empty for 0.
std::u16string HotkeyDisplayText(uint16_t hotkey);

}  // namespace vellix
