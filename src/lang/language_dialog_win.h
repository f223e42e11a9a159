#pragma once
// The language dialog shown on the first start: a list of the built-in English and the
// language files of the program folder; each confirmed choice takes effect at once.

#include <windows.h>

#include "lang/localized_dialog_win.h"

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

  HFONT bold_font_ = nullptr;
  HICON large_icon_ = nullptr;
  HICON small_icon_ = nullptr;
};

// Shows the language dialog modally.
INT_PTR ShowLanguageDialog(HWND owner);

}  // namespace vellix
