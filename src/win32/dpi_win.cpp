#include "win32/dpi_win.h"

#include "base/dpi.h"

namespace vellix {

int WindowDpi(HWND window) {
  HDC dc = GetDC(window);
  if (!dc) return kBaseDpi;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace vellix
