#include "win32/message_window_win.h"

namespace vellix {

HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className;
  RegisterClassExW(&windowClass);  // fails harmlessly when the class is registered already
  return CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

}  // namespace vellix
