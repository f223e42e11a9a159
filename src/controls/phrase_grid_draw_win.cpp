// PhraseGrid: where rows and cells lie in the list, and how they are drawn (the list is
// owner-drawn; the owner's WM_DRAWITEM comes here through its subclass).

#include "controls/phrase_grid_state_win.h"

#include <algorithm>
#include <utility>

#include "base/dpi.h"
#include "base/wide.h"
#include "win32/dpi_win.h"
#include "win32/scoped_dc.h"

namespace vellix {

using namespace grid_internal;

HFONT PhraseGrid::State::Font() const {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

RECT PhraseGrid::State::RowsArea() const {
  RECT area{};
  GetClientRect(list, &area);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header && IsWindowVisible(header)) {
    RECT h{};
    GetWindowRect(header, &h);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&h), 2);
    area.top = std::max(area.top, h.bottom);
  }
  return area;
}

RECT PhraseGrid::State::RowRectAt(int position) const {
  RECT r{};
  r.left = LVIR_BOUNDS;
  if (!SendMessageW(list, LVM_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r))) return RECT{};
  return r;
}

RECT PhraseGrid::State::CellRectAt(int position, int column) const {
  if (!IsColumn(column)) return RECT{};
  RECT row = RowRectAt(position);
  if (IsRectEmpty(&row)) return RECT{};
  int x = row.left;
  for (int c = 0; c < column; ++c) x += Width(c);
  return RECT{x, row.top, x + Width(column), row.bottom};
}

int PhraseGrid::State::PositionAt(POINT pt, int* column) const {
  *column = -1;
  const int count = ShownCount();
  const RECT area = RowsArea();
  if (count == 0 || !PtInRect(&area, pt)) return -1;
  const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  const RECT first = RowRectAt(top);
  const int height = first.bottom - first.top;
  if (height <= 0 || pt.y < first.top) return -1;
  const int position = top + (pt.y - first.top) / height;
  if (position >= count) return -1;
  int x = first.left;
  for (int c = 0; c < ColumnCount(); ++c) {
    const int w = Width(c);
    if (pt.x >= x && pt.x < x + w) {
      *column = c;
      break;
    }
    x += w;
  }
  return position;
}

CellParts PhraseGrid::State::PartsOf(int row, int column, const RECT& cell) const {
  const int padding = Px(kCellPadding);
  const int expander = Px(kExpanderSize);
  const int box = Px(kCheckBoxSize);
  CellParts parts;
  parts.text = cell;
  int x = cell.left + padding;
  const int middle = (cell.top + cell.bottom) / 2;
  if (column == 0) {
    if (rows.Level(row) > 1) x += Px(kChildIndent);
    if (rows.HasChildren(row)) {
      parts.expander = RECT{x, middle - expander / 2, x + expander, middle - expander / 2 + expander};
      x += expander + padding;
    }
  }
  if (IsCheckKind(Kind(column))) {
    parts.box = RECT{x, middle - box / 2, x + box, middle - box / 2 + box};
    x += box + padding;
  }
  parts.text.left = std::min<LONG>(x, cell.right);
  parts.text.right = std::max(parts.text.left, cell.right - padding);
  return parts;
}

void PhraseGrid::State::InvalidatePosition(int position) {
  if (suspended > 0 || position < 0 || position >= ShownCount()) return;
  RECT r = RowRectAt(position);
  InvalidateRect(list, &r, TRUE);
}

void PhraseGrid::State::InvalidateFamily(int row) {
  const int span = rows.Level(row) == 1 ? rows.Span(row) : 1;
  for (int r = row; r < row + span; ++r) InvalidateRow(r);
}

void PhraseGrid::State::EnsureColumnVisible(int position, int column) {
  const RECT cell = CellRectAt(position, column);
  RECT client{};
  GetClientRect(list, &client);
  int dx = 0;
  if (cell.right > client.right) dx = cell.right - client.right;
  if (cell.left - dx < client.left) dx = cell.left - client.left;
  if (dx != 0) SendMessageW(list, LVM_SCROLL, dx, 0);
}

void PhraseGrid::State::DrawRow(const DRAWITEMSTRUCT& draw) {
  const int position = static_cast<int>(draw.itemID);
  const int row = rows.RowAt(position);
  if (row < 0) return;
  HDC dc = draw.hDC;
  const bool selected = (SendMessageW(list, LVM_GETITEMSTATE, position, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  const bool focused = GetFocus() == list;
  COLORREF back = GetSysColor(COLOR_WINDOW);
  COLORREF fore = GetSysColor(COLOR_WINDOWTEXT);
  if (selected) {
    back = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    fore = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  } else if (position == hoverPosition) {
    back = GetSysColor(COLOR_INFOBK);
    fore = GetSysColor(COLOR_INFOTEXT);
  }
  if (const UniqueBrush brush(CreateSolidBrush(back)); brush) FillRect(dc, &draw.rcItem, brush.get());

  const ScopedSelectObject font(dc, Font());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const bool editable = IsEditable(row);
  int x = draw.rcItem.left;
  for (int column = 0; column < ColumnCount(); ++column) {
    const int w = Width(column);
    const RECT cell{x, draw.rcItem.top, x + w, draw.rcItem.bottom};
    x += w;
    if (w <= 0) continue;
    COLORREF text = fore;
    if (!editable && !selected) {
      text = GetSysColor(COLOR_GRAYTEXT);
    } else if (colorCallback) {
      COLORREF asked = text;
      if (colorCallback(row, column, &asked, colorContext)) text = asked;
    }
    DrawCell(dc, row, column, cell, text, fore, editable || column == 0);
  }
  if (selected && focused && IsColumn(currentColumn)) {
    RECT cell = CellRectAt(position, currentColumn);
    InflateRect(&cell, -1, -1);
    SetTextColor(dc, fore);
    DrawFocusRect(dc, &cell);
  }
  SetBkMode(dc, oldMode);
}

void PhraseGrid::State::DrawCell(HDC dc, int row, int column, const RECT& cell, COLORREF color, COLORREF lines,
                                 bool active) {
  const GridCell* data = rows.Cell(row, column);
  if (!data) return;
  // The DC keeps a copy of the region: ours can go at once.
  if (const UniqueRegion clip(CreateRectRgnIndirect(&cell)); clip) SelectClipRgn(dc, clip.get());
  const CellParts parts = PartsOf(row, column, cell);
  if (!IsRectEmpty(&parts.expander)) DrawExpander(dc, parts.expander, rows.IsExpanded(row), lines);
  if (!IsRectEmpty(&parts.box)) {
    RECT box = parts.box;
    UINT state = DFCS_BUTTONCHECK | (data->check ? DFCS_CHECKED : 0) | (active ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &box, DFC_BUTTON, state);
  }
  const std::u16string line = SingleLineText(data->text);
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  const int align = columns[column].format & LVCFMT_JUSTIFYMASK;
  if (align == LVCFMT_CENTER) {
    format |= DT_CENTER;
  } else if (align == LVCFMT_RIGHT) {
    format |= DT_RIGHT;
  }
  RECT textRect = parts.text;
  SetTextColor(dc, color);
  DrawTextW(dc, AsWide(line.c_str()), static_cast<int>(line.size()), &textRect, format);
  SelectClipRgn(dc, nullptr);
}

void PhraseGrid::State::DrawExpander(HDC dc, const RECT& box, bool expanded, COLORREF color) {
  const UniquePen pen(CreatePen(PS_SOLID, 1, color));
  const ScopedSelectObject selectedPen(dc, pen.get());
  const ScopedSelectObject selectedBrush(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  const int midX = (box.left + box.right) / 2;
  const int midY = (box.top + box.bottom) / 2;
  MoveToEx(dc, box.left + 2, midY, nullptr);
  LineTo(dc, box.right - 2, midY);
  if (!expanded) {
    MoveToEx(dc, midX, box.top + 2, nullptr);
    LineTo(dc, midX, box.bottom - 2);
  }
}

void PhraseGrid::State::FillDispInfo(NMLVDISPINFOW& info) {
  if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
  const GridCell* cell = rows.Cell(rows.RowAt(info.item.iItem), info.item.iSubItem);
  const std::u16string line = cell ? SingleLineText(cell->text) : std::u16string();
  const size_t n = std::min(line.size(), static_cast<size_t>(info.item.cchTextMax - 1));
  std::copy_n(AsWide(line.c_str()), n, info.item.pszText);
  info.item.pszText[n] = L'\0';
}

void PhraseGrid::State::UpdateRowHeight() {
  rowHeight = RowHeightForFont();
  // The list adds a pixel of its own below the tallest image.
  UniqueImageList spacer(ImageList_Create(1, std::max<int>(static_cast<int>(rowHeight) - 1, 1), ILC_COLOR, 1, 0));
  if (!spacer) return;
  ReleaseRowSpacer();
  rowSpacer = std::move(spacer);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(rowSpacer.get()));
}

void PhraseGrid::State::ReleaseRowSpacer() {
  if (!rowSpacer) return;
  if (list && IsWindow(list) &&
      reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_STATE, 0)) == rowSpacer.get()) {
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, 0);
  }
  rowSpacer.reset();
}

int PhraseGrid::State::Px(int pixels) const {
  if (dpi == 0) dpi = WindowDpi(list);
  return ScaleToDpi(pixels, dpi);
}

UINT PhraseGrid::State::RowHeightForFont() const {
  TEXTMETRICW metrics{};
  const WindowDC dc(list);
  const ScopedSelectObject font(dc.get(), Font());
  GetTextMetricsW(dc.get(), &metrics);
  return static_cast<UINT>(
      std::max<LONG>(metrics.tmHeight + metrics.tmExternalLeading + Px(4), Px(kCheckBoxSize) + Px(5)));
}

}  // namespace vellix
