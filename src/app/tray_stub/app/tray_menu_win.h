#pragma once
// Stand-in declarations of the tray menu, used only while src/app/tray_menu_win.cpp is not
// in the tree (see src/app/CMakeLists.txt).
#include <windows.h>

#include "app/tray_menu_host.h"

namespace vellix {

void ShowTrayMenu(TrayMenuHost& host, POINT at);
void ShowTrayMenuAgain(TrayMenuHost& host);

}  // namespace vellix
