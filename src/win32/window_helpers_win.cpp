#include "win32/window_helpers_win.h"

#include "win32/dialog.h"

namespace vellix {

void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetActiveWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
}

WindowIcons SetWindowIcons(HWND window, int iconId) {
  const HINSTANCE module = Dialog::ResourceModule();
  WindowIcons icons;
  icons.large.reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  icons.smallIcon.reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), 0)));
  if (icons.large) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.large.get()));
  if (icons.smallIcon) {
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.smallIcon.get()));
  }
  return icons;
}

UniqueFont MakeBoldFont(HFONT font) {
  LOGFONTW face{};
  if (!font || !GetObjectW(font, sizeof face, &face)) return UniqueFont();
  face.lfWeight = FW_BOLD;
  return UniqueFont(CreateFontIndirectW(&face));
}

}  // namespace vellix
