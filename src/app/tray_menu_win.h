#pragma once
// The tray menu: built from menu resource 131 for the current state, shown at a point, and
// its commands carried out through the main dialog.
//
// Runs on the main dialog's thread only.

#include <windows.h>

#include "app/tray_menu_host.h"
#include "services/settings.h"
#include "win32/unique_handle.h"

namespace vellix {

// Shows the menu at a screen point (remembered for ShowTrayMenuAgain) and carries out the
// chosen command.
void ShowTrayMenu(TrayMenuHost& host, POINT at);
// The same at the point the menu was last shown at.
void ShowTrayMenuAgain(TrayMenuHost& host);

// The menu resource, translated, with its checks, texts, default item and enabled states
// set for the current state (Sounds read from settings); none when the resource is missing.
UniqueMenu PrepareTrayMenu(TrayMenuHost& host, Settings& settings = Settings::Instance());
// The popup of the prepared menu that is shown.
HMENU TrayPopup(HMENU menu);

// Carries out one chosen command (0: none). True when the menu is to be shown again.
bool RunTrayCommand(TrayMenuHost& host, UINT command, Settings& settings = Settings::Instance());

}  // namespace vellix
