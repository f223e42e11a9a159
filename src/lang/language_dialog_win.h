#pragma once
// The language dialog shown on the first start: a list of the built-in English and the
// language files of the program folder; each confirmed choice takes effect at once.

#include <windows.h>

#include "lang/localized_dialog_win.h"
#include "win32/unique_handle.h"
#include "win32/window_helpers_win.h"

namespace vellix {

class LanguageDialog : public LocalizedDialog {
 public:
  LanguageDialog();
  ~LanguageDialog() override;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void SetTexts();
  void FillList();
  void ApplySelection();

  UniqueFont bold_font_;
  WindowIcons icons_;
};

// Shows the language dialog modally.
INT_PTR ShowLanguageDialog(HWND owner);

}  // namespace vellix
