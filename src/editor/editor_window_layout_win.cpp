#include "editor/editor_window_layout_win.h"

#include <iterator>

#include "resource.h"
#include "services/settings.h"

namespace vellix {
namespace {

// The settings key of the editor window's rectangle.
constexpr char16_t kPlacementName[] = u"EditorWindowPos";

LayoutRect ChildRect(HWND dialog, int id) {
  RECT rect{};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

void EditorWindowLayout::Capture(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  EditorControls controls;
  controls.list = ChildRect(dialog, IDC_PHRASE_LIST);
  controls.frame = ChildRect(dialog, IDC_DETAILS_FRAME);
  controls.ok = ChildRect(dialog, IDOK);
  controls.cancel = ChildRect(dialog, IDCANCEL);
  controls.homeLink = ChildRect(dialog, IDC_HOME_LINK);
  controls.productLink = ChildRect(dialog, IDC_PRODUCT_LINK);
  layout_ = EditorLayout({client.right, client.bottom}, controls);
  // The search box stays above the list, as wide as it, at the template's distance.
  if (GetDlgItem(dialog, IDC_EDITOR_SEARCH)) {
    const LayoutRect box = ChildRect(dialog, IDC_EDITOR_SEARCH);
    searchGap_ = controls.list.top - box.bottom;
    searchHeight_ = box.Height();
  }
  captured_ = true;
}

void EditorWindowLayout::RestorePlacement(HWND dialog) const {
  WindowPlacement stored;
  if (!Settings::Instance().LoadPlacement(stored, kPlacementName)) return;
  RECT rect{stored.left, stored.top, stored.right, stored.bottom};
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  // A rectangle on a monitor that is gone would put the window out of reach.
  if (!MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) return;
  SetWindowPos(dialog, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditorWindowLayout::LayOut(HWND dialog) {
  if (!captured_) return;
  RECT client{};
  GetClientRect(dialog, &client);
  if (client.right <= 0 || client.bottom <= 0) return;  // minimised
  const EditorControls c = layout_.Arrange({client.right, client.bottom});
  const struct {
    int id;
    LayoutRect rect;
  } moves[] = {{IDC_PHRASE_LIST, c.list}, {IDC_DETAILS_FRAME, c.frame}, {IDOK, c.ok},
               {IDCANCEL, c.cancel},      {IDC_HOME_LINK, c.homeLink}, {IDC_PRODUCT_LINK, c.productLink}};
  HDWP batch = BeginDeferWindowPos(static_cast<int>(std::size(moves)));
  for (const auto& move : moves) {
    const HWND control = GetDlgItem(dialog, move.id);
    if (!control) continue;
    if (batch) {
      batch = DeferWindowPos(batch, control, nullptr, move.rect.left, move.rect.top, move.rect.Width(),
                             move.rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (batch) EndDeferWindowPos(batch);
  if (const HWND search = GetDlgItem(dialog, IDC_EDITOR_SEARCH)) {
    SetWindowPos(search, nullptr, c.list.left, c.list.top - searchGap_ - searchHeight_, c.list.Width(), searchHeight_,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  frame_.LayOutPanel();
  grid_.FitLastColumn();
  InvalidateRect(dialog, nullptr, TRUE);
}

void EditorWindowLayout::StorePlacement(HWND dialog) const {
  if (!IsWindowVisible(dialog) || IsIconic(dialog) || IsZoomed(dialog)) return;
  RECT rect{};
  GetWindowRect(dialog, &rect);
  Settings::Instance().SavePlacement({rect.left, rect.top, rect.right, rect.bottom}, kPlacementName);
}

bool EditorWindowLayout::OnMessage(HWND dialog, UINT message, LPARAM lparam, INT_PTR* result) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      RECT ok{};
      const HWND button = GetDlgItem(dialog, IDOK);
      const bool hasOk = button && GetWindowRect(button, &ok);
      const LayoutSize size = EditorMinTrackSize(hasOk, {ok.right - ok.left, ok.bottom - ok.top});
      info->ptMinTrackSize = {size.width, size.height};
      *result = 0;
      return true;
    }
    case WM_SIZE:
      LayOut(dialog);
      return false;
    case WM_ENTERSIZEMOVE:
      inSizeMove_ = true;
      return false;
    case WM_EXITSIZEMOVE:
      inSizeMove_ = false;
      StorePlacement(dialog);
      return false;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
      // While the user drags, the rectangle is stored once at the end.
      if (!inSizeMove_ && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        StorePlacement(dialog);
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace vellix
