// No-op tray icon and menu for builds without the tray sources: the program runs, expands
// and ends, but shows no icon.
#include "app/tray_icon_win.h"
#include "app/tray_menu_win.h"

namespace vellix {

bool TrayIcon::AddWithStartBalloon(HWND, int, int) { return false; }
bool TrayIcon::AddWithStateBalloon(HWND, int, int) { return false; }
void TrayIcon::RefreshTooltip() {}
void TrayIcon::SetStateIcon() {}
void TrayIcon::MessageBalloon(std::u16string_view) {}
void TrayIcon::HideBalloon() {}
void TrayIcon::Remove() {}
bool TrayIcon::ReAdd() { return false; }
UINT TrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

void ShowTrayMenu(TrayMenuHost&, POINT) {}
void ShowTrayMenuAgain(TrayMenuHost&) {}

}  // namespace vellix
