#pragma once
// Small things every window of the program does the same way: coming to the front, its
// icons, a bold variant of its font.

#include <windows.h>

#include "win32/unique_handle.h"

namespace vellix {

// Restores a minimised window, activates it, makes it the foreground window and gives it
// the keyboard focus.
void BringToFront(HWND window);

// The icons a window shows in its caption and on the taskbar. The window draws with them
// until it is destroyed: the owner of this record must outlive it.
struct WindowIcons {
  UniqueIcon large;
  UniqueIcon smallIcon;
};

// Loads the icon resource iconId in the system's large and small icon sizes and sets them
// as the window's icons (each only when it could be loaded).
WindowIcons SetWindowIcons(HWND window, int iconId);

// A bold font of the same face and size as font; none when there is no font or its
// description cannot be read.
UniqueFont MakeBoldFont(HFONT font);

}  // namespace vellix
