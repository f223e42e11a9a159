#include "app/hidden_dialog_win.h"

namespace vellix {

INT_PTR HiddenDialog::OnMessage(UINT message, WPARAM /*wparam*/, LPARAM lparam, bool& handled) {
  if (message == WM_WINDOWPOSCHANGING && !MayBeShown()) {
    auto* position = reinterpret_cast<WINDOWPOS*>(lparam);
    // The modal loop shows the dialog once its queue is empty. A show request that only
    // lost its show flag would still activate the invisible window and take the keyboard
    // from the window the user types in (start-up with a large database ends after the
    // user went on typing). Explicit activation (SetForegroundWindow before the tray
    // menu) does not come through here with the show flag and stays as it is.
    if (position->flags & SWP_SHOWWINDOW) position->flags |= SWP_NOACTIVATE;
    position->flags &= ~SWP_SHOWWINDOW;
    handled = false;  // the default handling goes on with the changed record
  }
  return 0;
}

}  // namespace vellix
