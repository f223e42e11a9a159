#include "controls/details_frame_win.h"

#include <commctrl.h>

#include "base/dpi.h"
#include "win32/dpi_win.h"

namespace vellix {
namespace {

constexpr UINT_PTR kFrameSubclass = 0x4446;

// The first control of the panel that can take the focus, in tab order; else its first
// child at all.
HWND FirstControl(HWND panel) {
  const HWND first = GetWindow(panel, GW_CHILD);
  for (HWND child = first; child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
  }
  return first;
}

}  // namespace

DetailsFrame::~DetailsFrame() {
  if (frame_) RemoveWindowSubclass(frame_, &DetailsFrame::FrameProc, kFrameSubclass);
}

bool DetailsFrame::Attach(HWND groupBox) {
  if (!groupBox || !IsWindow(groupBox)) return false;
  if (frame_) RemoveWindowSubclass(frame_, &DetailsFrame::FrameProc, kFrameSubclass);
  frame_ = nullptr;
  if (!SetWindowSubclass(groupBox, &DetailsFrame::FrameProc, kFrameSubclass, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  frame_ = groupBox;
  // The group box paints only its frame and caption; keep it from painting over the panel.
  SetWindowLongPtrW(frame_, GWL_STYLE, GetWindowLongPtrW(frame_, GWL_STYLE) | WS_CLIPCHILDREN);
  // Lets the dialog manager's Tab and mnemonic handling reach into the panel.
  SetWindowLongPtrW(frame_, GWL_EXSTYLE, GetWindowLongPtrW(frame_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  return true;
}

void DetailsFrame::SetPanel(HWND panel) {
  panel_ = panel;
  if (!frame_ || !panel_) return;
  if (GetParent(panel_) != frame_) SetParent(panel_, frame_);
  LayOutPanel();
}

RECT DetailsFrame::PanelRect(const RECT& frameClient, int dpi) {
  const int side = ScaleToDpi(4, dpi);
  RECT rect{frameClient.left + side, frameClient.top + ScaleToDpi(16, dpi), frameClient.right - side,
            frameClient.bottom - side};
  // A frame smaller than its margins leaves the panel empty, never inverted.
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  return rect;
}

void DetailsFrame::LayOutPanel() const {
  if (!frame_ || !panel_ || !IsWindow(panel_)) return;
  RECT client{};
  GetClientRect(frame_, &client);
  const RECT rect = PanelRect(client, WindowDpi(frame_));
  SetWindowPos(panel_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// Nothing here can throw: it moves, paints and focuses windows.
LRESULT CALLBACK DetailsFrame::FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                         DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<DetailsFrame*>(data);
  switch (message) {
    case WM_SIZE: {
      const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
      self->LayOutPanel();
      return result;
    }
    case WM_ERASEBKGND:
      // A group box leaves its inside to the parent's background, which a parent with
      // WS_CLIPCHILDREN never paints there: the frame paints it, as the parent colours
      // static controls.
      if (wparam) {
        const auto dc = reinterpret_cast<HDC>(wparam);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, wparam, LPARAM(hwnd)));
        if (!brush) brush = GetSysColorBrush(COLOR_3DFACE);
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, brush);
        return 1;
      }
      break;
    case WM_SETFOCUS:
      if (self->panel_ && IsWindow(self->panel_) && IsWindowEnabled(self->panel_)) {
        if (HWND first = FirstControl(self->panel_)) {
          SetFocus(first);
          return 0;
        }
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &DetailsFrame::FrameProc, kFrameSubclass);
      self->frame_ = nullptr;
      self->panel_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace vellix
