#pragma once
// A dialog that never becomes visible: every request to show it is taken out of its
// position changes, and does not activate it, unless MayBeShown says otherwise.
#include <windows.h>

#include "win32/dialog.h"

namespace vellix {

class HiddenDialog : public Dialog {
 public:
  explicit HiddenDialog(int template_id) : Dialog(template_id) {}

 protected:
  virtual bool MayBeShown() const { return false; }
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
};

}  // namespace vellix
