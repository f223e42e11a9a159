#include "win32/dpi_win.h"

#include "base/dpi.h"
#include "win32/scoped_dc.h"

namespace vellix {

int WindowDpi(HWND window) {
  const WindowDC dc(window);
  if (!dc) return kBaseDpi;
  const int dpi = GetDeviceCaps(dc.get(), LOGPIXELSX);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace vellix
