#pragma once
// The key list: a message box that names the command-line keys, in the current language.
// Shown by "/?" at start, from the phrase editor's Help menu and from the About dialog.

#include <windows.h>

namespace vellix {

// Modal on the calling thread; no owner makes it top-most.
void ShowKeyList(HWND owner);

}  // namespace vellix
