#pragma once
// The dots per inch of the display a window is shown on, for scaling layout measures.

#include <windows.h>

namespace vellix {

// The horizontal dots per inch of window's device context; 96 when it cannot be read.
int WindowDpi(HWND window);

}  // namespace vellix
