#pragma once
// Where the caret of a window's thread is, in screen coordinates.

#include <cstdint>

#include "engine/engine_types.h"

namespace vellix {

// The bottom-right corner of the caret of window's GUI thread, converted to screen
// coordinates from the client area of its focus, caret or active window. False when the
// window is 0 or gone, its thread is unknown or the query fails: x and y are then 0, or
// the unconverted corner when the thread has none of the three windows.
bool GetCaretScreenPosition(WindowHandle window, int32_t& x, int32_t& y) noexcept;

}  // namespace vellix
