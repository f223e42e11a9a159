#include "engine/caret_position_win.h"

#include <windows.h>

namespace vellix {

bool GetCaretScreenPosition(WindowHandle window, int32_t& x, int32_t& y) noexcept {
  x = 0;
  y = 0;
  const HWND hwnd = reinterpret_cast<HWND>(window);
  if (!hwnd || !IsWindow(hwnd)) return false;
  const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
  if (thread == 0) return false;
  // The size member must be the platform's own: 48 bytes is the 32-bit layout, and a 64-bit
  // build that passed it would see every query fail.
  GUITHREADINFO info{};
  info.cbSize = sizeof(GUITHREADINFO);
  if (!GetGUIThreadInfo(thread, &info)) return false;
  POINT point{info.rcCaret.right, info.rcCaret.bottom};
  x = point.x;
  y = point.y;
  HWND source = info.hwndFocus ? info.hwndFocus : info.hwndCaret ? info.hwndCaret : info.hwndActive;
  if (!source) return false;
  MapWindowPoints(source, HWND_DESKTOP, &point, 1);
  x = point.x;
  y = point.y;
  return true;
}

}  // namespace vellix
