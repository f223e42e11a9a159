#include "app/hidden_dialog_win.h"

namespace vellix {

INT_PTR HiddenDialog::OnMessage(UINT message, WPARAM /*wparam*/, LPARAM lparam, bool& handled) {
  if (message == WM_WINDOWPOSCHANGING && !MayBeShown()) {
    auto* position = reinterpret_cast<WINDOWPOS*>(lparam);
    position->flags &= ~SWP_SHOWWINDOW;
    handled = false;  // the default handling goes on with the changed record
  }
  return 0;
}

}  // namespace vellix
