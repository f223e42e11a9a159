#pragma once
// A message-only window of the calling thread with a window procedure of its own: a place
// where the thread receives posted or sent messages without showing anything.

#include <windows.h>

namespace vellix {

// Registers className with procedure once per process and creates the window; null when it
// cannot be created.
HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure);

}  // namespace vellix
