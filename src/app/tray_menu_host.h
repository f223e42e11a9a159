#pragma once
// What the tray menu needs of the main dialog.
#include <windows.h>

#include <string>

#include "app/global_hotkeys_win.h"

namespace vellix {
class TrayMenuHost {
 public:
  virtual HWND MainWindow() noexcept = 0;
  virtual bool IsEngineOn() noexcept = 0;
  // The Enable command: ToggleEngine with balloon, then session registration as the dialog's rules say.
  virtual void EnableCommand() noexcept = 0;
  virtual void RequestClose(bool restart) noexcept = 0;
  virtual void RunPhraseEditor(HWND foregroundHint, bool addOnOpen) noexcept = 0;
  virtual void ShowAbout() noexcept = 0;
  // The open phrase editor window, or null.
  virtual HWND EditorWindow() noexcept = 0;
  // After a language item was chosen: refresh the tooltip and tell the open editor.
  virtual void LanguageChanged() noexcept = 0;
  // After a setting that the engine follows was changed.
  virtual void EngineSettingsChanged() noexcept = 0;
  // The file name of the program the user was in before the tray was clicked; empty when
  // it is not known.
  virtual std::u16string ProgramBeforeTray() noexcept = 0;
  // After the tray command excluded program (excluded) or took it out of the list: the
  // engine follows the list, the tooltip and a balloon say so.
  virtual void ProgramExclusionChanged(const std::u16string& program, bool excluded) noexcept = 0;
  // Lets the user choose the keys of a global hotkey, registers and keeps them.
  virtual void ChooseHotkey(HotkeyUse use) noexcept = 0;
  // Opens the phrase picker for the program the user was in.
  virtual void OpenPhrasePicker() noexcept = 0;
 protected:
  ~TrayMenuHost() = default;
};
}  // namespace vellix
