// PhraseGrid: mouse and keyboard, and the subclass procedures of the list and its owner.

#include "controls/phrase_grid_state_win.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "base/boundary.h"

namespace vellix {

using namespace grid_internal;

void PhraseGrid::State::SetHover(int position) {
  if (position == hoverPosition) return;
  InvalidatePosition(hoverPosition);
  hoverPosition = position;
  InvalidatePosition(position);
  if (position >= 0) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, list, 0};
    TrackMouseEvent(&track);
  }
}

void PhraseGrid::State::SetCurrentColumn(int column) {
  if (!IsColumn(column) || column == currentColumn) return;
  currentColumn = column;
  InvalidatePosition(SelectedPosition());
}

bool PhraseGrid::State::OnLeftButton(POINT pt, bool doubleClick) {
  HideBalloon();
  int column = -1;
  const int position = PositionAt(pt, &column);
  if (position < 0) return false;
  const bool wasCurrent = position == SelectedPosition() && column == currentColumn && GetFocus() == list;
  SetFocus(list);
  if (position != SelectedPosition()) SelectPosition(position);
  if (column < 0) return true;
  SetCurrentColumn(column);
  const int row = rows.RowAt(position);
  if (row < 0) return true;
  const CellParts parts = PartsOf(row, column, CellRectAt(position, column));
  if (PtInRect(&parts.expander, pt)) {
    ExpandRow(row, !rows.IsExpanded(row));
  } else if (PtInRect(&parts.box, pt)) {
    ToggleCheck(row, column);
  } else if (Kind(column) == CellKind::Choice) {
    if (!doubleClick) OpenChoice(row, column);
  } else if (IsTextKind(Kind(column)) && (doubleClick || wasCurrent)) {
    BeginEdit(row, column);
  }
  return true;
}

bool PhraseGrid::State::NextCell(int step, int* position, int* column) const {
  if (ColumnCount() == 0 || ShownCount() == 0) return false;
  int p = SelectedPosition();
  int c = currentColumn + step;
  if (p < 0) {
    p = step > 0 ? 0 : ShownCount() - 1;
    c = step > 0 ? 0 : ColumnCount() - 1;
  } else if (c >= ColumnCount()) {
    ++p;
    c = 0;
  } else if (c < 0) {
    --p;
    c = ColumnCount() - 1;
  }
  if (p < 0 || p >= ShownCount()) return false;
  *position = p;
  *column = c;
  return true;
}

void PhraseGrid::State::MoveToCell(int position, int column) {
  if (position != SelectedPosition()) SelectPosition(position);
  currentColumn = column;
  EnsureColumnVisible(position, column);
  InvalidatePosition(position);
}

void PhraseGrid::State::ActivateCurrent() {
  const int row = SelectedRow();
  if (row < 0) return;
  const CellKind kind = Kind(currentColumn);
  if (kind == CellKind::Choice) {
    OpenChoice(row, currentColumn);
  } else if (IsTextKind(kind)) {
    BeginEdit(row, currentColumn);
  }
}

bool PhraseGrid::State::OnKey(WPARAM key) {
  int position = -1;
  int column = -1;
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
      const int selected = SelectedPosition();
      const int next = std::clamp(currentColumn + (key == VK_LEFT ? -1 : 1), 0, std::max(ColumnCount() - 1, 0));
      if (selected >= 0) {
        MoveToCell(selected, next);
      } else {
        currentColumn = next;
      }
      return true;
    }
    case VK_TAB:
      if (NextCell(IsShiftDown() ? -1 : 1, &position, &column)) MoveToCell(position, column);
      return true;
    case VK_SPACE:
      swallowChar = true;
      if (SelectedRow() >= 0) ToggleCheck(SelectedRow(), currentColumn);
      return true;
    case VK_F2:
      ActivateCurrent();
      return true;
    case VK_F4:
      if (Kind(currentColumn) == CellKind::Choice && SelectedRow() >= 0) OpenChoice(SelectedRow(), currentColumn);
      return true;
    case VK_ADD:
    case VK_SUBTRACT:
      swallowChar = true;
      if (SelectedRow() >= 0) ExpandRow(SelectedRow(), key == VK_ADD);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK PhraseGrid::State::ListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                             DWORD_PTR data) noexcept {
  State* s = reinterpret_cast<State*>(data);
  try {
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (s->OnLeftButton(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, message == WM_LBUTTONDBLCLK)) {
          return 0;
        }
        break;
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        s->HideBalloon();
        break;
      case WM_MOUSEMOVE: {
        int column = -1;
        s->SetHover(s->PositionAt(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, &column));
        break;
      }
      case WM_MOUSELEAVE:
        s->SetHover(-1);
        break;
      case WM_KEYDOWN:
        s->swallowChar = false;
        if (s->OnKey(wparam)) return 0;
        break;
      case WM_CHAR:
        if (std::exchange(s->swallowChar, false)) return 0;
        break;
      case WM_GETDLGCODE: {
        LRESULT code = DefSubclassProc(hwnd, message, wparam, lparam);
        const MSG* msg = reinterpret_cast<const MSG*>(lparam);
        int position = -1;
        int column = -1;
        // Tab moves between cells while there is a cell to go to; at either end of the grid
        // it leaves the list as in any dialog.
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB &&
            s->NextCell(IsShiftDown() ? -1 : 1, &position, &column)) {
          code |= DLGC_WANTTAB;
        }
        return code;
      }
      case WM_VSCROLL:
      case WM_HSCROLL:
      case WM_MOUSEWHEEL:
        // The editor sits over one cell; scrolling would leave it over another.
        s->EndAnyEdit();
        break;
      case WM_SIZE: {
        const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
        s->FitLastColumn();
        return result;
      }
      case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lparam);
        if (hdr->hwndFrom == reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0))) {
          if (hdr->code == HDN_BEGINTRACKW || hdr->code == HDN_BEGINTRACKA) s->EndAnyEdit();
          // The header applies the new width after this notification.
          if (hdr->code == HDN_ENDTRACKW || hdr->code == HDN_ENDTRACKA) PostMessageW(hwnd, kGridFitColumnMessage, 0, 0);
        }
        break;
      }
      case WM_COMMAND:
        if (s->editor && s->choiceEditor && reinterpret_cast<HWND>(lparam) == s->editor) {
          switch (HIWORD(wparam)) {
            case CBN_SELENDOK:
              s->ApplyChoice();
              break;
            case CBN_CLOSEUP:
            case CBN_KILLFOCUS:
              // The combo box is still inside its own notification; it goes afterwards.
              PostMessageW(hwnd, kGridCloseChoiceMessage, 0, lparam);
              break;
            default:
              break;
          }
          return 0;
        }
        break;
      case WM_TIMER:
        if (wparam == kBalloonTimer) {
          s->HideBalloon();
          return 0;
        }
        break;
      case WM_SETFONT: {
        // The list sets its row height from the new font first; the grid's rows follow.
        const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
        s->dpi = 0;
        s->UpdateRowHeight();
        return result;
      }
      case WM_DESTROY:
        s->ReleaseRowSpacer();
        break;
      case kGridCheckSelectionMessage:
        s->ReportSelection();
        return 0;
      case kGridCloseChoiceMessage:
        if (s->choiceEditor && s->editor == reinterpret_cast<HWND>(lparam)) s->CloseChoice();
        return 0;
      case kGridFitColumnMessage:
        s->FitLastColumn();
        return 0;
      case LVM_SETEXTENDEDLISTVIEWSTYLE:
        // The grid draws its own check boxes, per cell; the list's row check boxes would
        // only take room and toggle a state nobody reads.
        if (wparam == 0) {
          lparam &= ~LVS_EX_CHECKBOXES;
        } else {
          wparam &= ~LVS_EX_CHECKBOXES;
        }
        break;
      case WM_NCDESTROY:
        s->Detach();
        break;
      default:
        break;
    }
  } catch (...) {
    ReportCaughtException("phrase grid list procedure");
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK PhraseGrid::State::ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                               DWORD_PTR data) noexcept {
  State* s = reinterpret_cast<State*>(data);
  try {
    switch (message) {
      case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (draw->hwndItem == s->list) {
          s->DrawRow(*draw);
          return TRUE;
        }
        break;
      }
      case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
        if (measure->CtlType == ODT_LISTVIEW && measure->CtlID == static_cast<UINT>(s->id)) {
          // Some list views ask as they insert, so it is answered from a cache.
          if (s->rowHeight == 0) s->rowHeight = s->RowHeightForFont();
          measure->itemHeight = s->rowHeight;
          return TRUE;
        }
        break;
      }
      case WM_NOTIFY: {
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lparam);
        if (hdr->hwndFrom != s->list) break;
        // The items carry nothing that needs freeing: no LVN_DELETEITEM for each of them.
        if (hdr->code == LVN_DELETEALLITEMS) return TRUE;
        if (hdr->code == LVN_GETDISPINFOW) {
          s->FillDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(lparam));
          return 0;
        }
        if (hdr->code == LVN_ITEMCHANGED) {
          const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
          s->OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lparam));
          return result;
        }
        break;
      }
      default:
        break;
    }
  } catch (...) {
    ReportCaughtException("phrase grid parent procedure");
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace vellix
