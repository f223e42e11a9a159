#pragma once
// A dialog that translates itself through the language file when it is initialised:
// its menu bar, its controls (except the excluded ids and the edit, list-view, up-down
// and tree-view controls) and its caption, from the section "Dialog_" + template id.

#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "win32/dialog.h"

namespace vellix {

class LocalizedDialog : public Dialog {
 public:
  explicit LocalizedDialog(int template_id);

  const std::u16string& section() const { return section_; }
  bool IsExcluded(int control_id) const { return excluded_.count(control_id) != 0; }

  // Translates the caption; runs only when HasCaption is true.
  virtual void TranslateCaption();
  // True when the window has a caption bar.
  virtual bool HasCaption() const;

  // The control's English text: its text when it was first translated. Keys are always
  // derived from it, so that translating again after a change of language finds them.
  const std::u16string& EnglishText(HWND control);
  const std::u16string& EnglishCaption();

 protected:
  void ExcludeFromTranslation(int control_id) { excluded_.insert(control_id); }
  // Translates the dialog; derived dialogs call it first from their own OnInitDialog.
  bool OnInitDialog() override;

 private:
  std::u16string section_;
  std::set<int> excluded_;
  std::map<HWND, std::u16string> english_;
  std::u16string english_caption_;
  bool caption_known_ = false;
};

// The window text of any window.
std::u16string WindowText(HWND window);

}  // namespace vellix
