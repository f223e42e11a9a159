#include "controls/phrase_grid_win.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "base/wide.h"
#include "controls/grid_geometry.h"
#include "controls/grid_rows.h"

namespace vellix {
namespace {

// Subclass ids of the list and of the in-place editors; the owner's subclass uses the
// grid's own address so that two grids in one dialog do not meet.
constexpr UINT_PTR kListSubclass = 0x47524944;    // "GRID"
constexpr UINT_PTR kEditorSubclass = 0x47454454;  // "GEDT"
constexpr UINT_PTR kBalloonTimer = 0x4742;
// Messages the grid posts to its own list (handled by the list's subclass).
constexpr UINT kCheckSelectionMessage = WM_APP + 0x3A1;
constexpr UINT kCloseChoiceMessage = WM_APP + 0x3A2;
constexpr UINT kFitColumnMessage = WM_APP + 0x3A3;
constexpr int kEditorId = 0x3A10;

constexpr int kCellPadding = 4;
constexpr int kCheckBoxSize = 13;
constexpr int kChildIndent = 16;
constexpr int kExpanderSize = 9;

GridRect ToGrid(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
bool IsCheckKind(CellKind kind) { return kind == CellKind::CheckText || kind == CellKind::CheckFixedText; }
bool IsTextKind(CellKind kind) { return kind == CellKind::CheckText || kind == CellKind::Text; }
bool IsCtrlDown() { return GetKeyState(VK_CONTROL) < 0; }
bool IsShiftDown() { return GetKeyState(VK_SHIFT) < 0; }

// The parts of one cell, in list client coordinates; absent parts are empty rectangles.
struct CellParts {
  RECT expander{};
  RECT box{};
  RECT text{};
};

}  // namespace

struct PhraseGrid::State {
  HWND list = nullptr;
  HWND parent = nullptr;
  int id = 0;
  std::vector<GridColumn> columns;
  GridRows rows;
  int currentColumn = 0;
  int hoverPosition = -1;   // list position under the pointer, -1 for none
  int reportedRow = -1;     // last row reported by kGridRowSelected
  bool reportPending = false;  // the reported row went away: report whatever comes next
  int suspended = 0;
  bool swallowChar = false;  // the key was handled; drop its WM_CHAR
  GridColorCallback colorCallback = nullptr;
  void* colorContext = nullptr;

  // The open in-place editor: an edit control, or a combo box for a choice cell.
  HWND editor = nullptr;
  bool choiceEditor = false;
  bool multiLine = false;
  bool ending = false;  // an edit is being ended; focus changes must not end it again
  int editRow = -1;
  int editColumn = -1;

  HWND balloon = nullptr;
  std::wstring balloonText;
  bool balloonShown = false;

  // ---- notifications -------------------------------------------------------------------
  LRESULT Notify(UINT code, GridNotify n) {
    if (!parent) return 0;
    n.hdr.hwndFrom = list;
    n.hdr.idFrom = static_cast<UINT_PTR>(id);
    n.hdr.code = code;
    return SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&n));
  }
  static GridNotify At(int row, int column) {
    GridNotify n{};
    n.row = row;
    n.column = column;
    return n;
  }

  // ---- geometry ------------------------------------------------------------------------
  int ColumnCount() const { return static_cast<int>(columns.size()); }
  bool IsColumn(int column) const { return column >= 0 && column < ColumnCount(); }
  CellKind Kind(int column) const { return IsColumn(column) ? columns[column].kind : CellKind::ReadOnly; }
  int Width(int column) const { return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)); }
  int ShownCount() const { return rows.ShownCount(); }

  HFONT Font() const {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }

  // The part of the client area that shows rows (below the header).
  RECT RowsArea() const {
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

  RECT RowRectAt(int position) const {
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r))) return RECT{};
    return r;
  }

  RECT CellRectAt(int position, int column) const {
    if (!IsColumn(column)) return RECT{};
    RECT row = RowRectAt(position);
    if (IsRectEmpty(&row)) return RECT{};
    int x = row.left;
    for (int c = 0; c < column; ++c) x += Width(c);
    return RECT{x, row.top, x + Width(column), row.bottom};
  }

  int PositionAt(POINT pt, int* column) const {
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

  CellParts PartsOf(int row, int column, const RECT& cell) const {
    CellParts parts;
    parts.text = cell;
    int x = cell.left + kCellPadding;
    const int middle = (cell.top + cell.bottom) / 2;
    if (column == 0) {
      if (rows.Level(row) > 1) x += kChildIndent;
      if (rows.HasChildren(row)) {
        parts.expander = RECT{x, middle - kExpanderSize / 2, x + kExpanderSize, middle - kExpanderSize / 2 + kExpanderSize};
        x += kExpanderSize + kCellPadding;
      }
    }
    if (IsCheckKind(Kind(column))) {
      parts.box = RECT{x, middle - kCheckBoxSize / 2, x + kCheckBoxSize, middle - kCheckBoxSize / 2 + kCheckBoxSize};
      x += kCheckBoxSize + kCellPadding;
    }
    parts.text.left = std::min<LONG>(x, cell.right);
    parts.text.right = std::max(parts.text.left, cell.right - kCellPadding);
    return parts;
  }

  void InvalidatePosition(int position) {
    // While redrawing is suspended the resume repaints everything anyway.
    if (suspended > 0 || position < 0 || position >= ShownCount()) return;
    RECT r = RowRectAt(position);
    InvalidateRect(list, &r, TRUE);
  }
  void InvalidateRow(int row) { InvalidatePosition(rows.PositionOf(row)); }
  // A top row's first check decides whether its child rows are locked, so they redraw too.
  void InvalidateFamily(int row) {
    const int span = rows.Level(row) == 1 ? rows.Span(row) : 1;
    for (int r = row; r < row + span; ++r) InvalidateRow(r);
  }

  void EnsureColumnVisible(int position, int column) {
    const RECT cell = CellRectAt(position, column);
    RECT client{};
    GetClientRect(list, &client);
    int dx = 0;
    if (cell.right > client.right) dx = cell.right - client.right;
    if (cell.left - dx < client.left) dx = cell.left - client.left;
    if (dx != 0) SendMessageW(list, LVM_SCROLL, dx, 0);
  }

  // ---- list items ----------------------------------------------------------------------
  void InsertItems(int position, int count) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = LPSTR_TEXTCALLBACKW;
    for (int i = 0; i < count; ++i) {
      item.iItem = position + i;
      SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  void DeleteItems(int position, int count) {
    for (int i = count - 1; i >= 0; --i) SendMessageW(list, LVM_DELETEITEM, position + i, 0);
  }

  // Rebuilds the list's items from the model; used when collapsed rows make a change
  // harder to follow item by item.
  void Resync(int selectedRow) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, ShownCount(), 0);
    InsertItems(0, ShownCount());
    if (suspended == 0) SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    const int position = rows.PositionOf(selectedRow);
    if (position >= 0) SelectPosition(position);
    if (suspended == 0) InvalidateRect(list, nullptr, TRUE);
  }

  int SelectedPosition() const {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  int SelectedRow() const { return rows.RowAt(SelectedPosition()); }

  void SelectPosition(int position) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (position < 0) {
      SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
      ReportSelection();
      return;
    }
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, position);
    SendMessageW(list, LVM_ENSUREVISIBLE, position, FALSE);
    ReportSelection();
  }

  void ReportSelection() {
    const int row = SelectedRow();
    if (row == reportedRow && !reportPending) return;
    reportedRow = row;
    reportPending = false;
    Notify(kGridRowSelected, At(row, -1));
  }

  void OnItemChanged(const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE)) return;
    const bool was = (change.uOldState & LVIS_SELECTED) != 0;
    const bool now = (change.uNewState & LVIS_SELECTED) != 0;
    if (was == now) return;
    // Moving the selection first clears the old row and then selects the new one; a clear
    // is checked later so that the owner does not hear of the passing "no selection".
    if (now) ReportSelection();
    else PostMessageW(list, kCheckSelectionMessage, 0, 0);
  }

  // Row numbers the grid remembers follow the rows when others come or go.
  void RowsInserted(int row) {
    if (reportedRow >= row) ++reportedRow;
    if (editor && editRow >= row) ++editRow;
    hoverPosition = -1;
  }
  void RowsRemoved(int row, int span) {
    if (reportedRow >= row + span) reportedRow -= span;
    else if (reportedRow >= row) reportPending = true;
    if (editor && editRow >= row) {
      if (editRow < row + span) CloseEditorSilently();
      else editRow -= span;
    }
    hoverPosition = -1;
  }

  // ---- expand and collapse -------------------------------------------------------------
  void ExpandRow(int row, bool expand) {
    const int top = rows.Parent(row);
    if (top < 0 || !rows.HasChildren(top) || rows.IsExpanded(top) == expand) return;
    const int span = rows.Span(top);
    const int selected = SelectedRow();
    if (!expand && editor && editRow > top && editRow < top + span) CommitEdit(true);
    const int position = rows.PositionOf(top);
    rows.SetExpanded(top, expand);
    if (position < 0) {
      Resync(selected);
    } else if (expand) {
      InsertItems(position + 1, span - 1);
    } else {
      DeleteItems(position + 1, span - 1);
      if (selected > top && selected < top + span) SelectPosition(position);
    }
    hoverPosition = -1;
    InvalidatePosition(position);
  }

  // ---- drawing -------------------------------------------------------------------------
  void DrawRow(const DRAWITEMSTRUCT& draw) {
    const int position = static_cast<int>(draw.itemID);
    const int row = rows.RowAt(position);
    if (row < 0) return;
    HDC dc = draw.hDC;
    const bool selected =
        (SendMessageW(list, LVM_GETITEMSTATE, position, LVIS_SELECTED) & LVIS_SELECTED) != 0;
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
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &draw.rcItem, brush);
    DeleteObject(brush);

    const HGDIOBJ oldFont = SelectObject(dc, Font());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const bool editable = rows.IsEditable(row);
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
      DrawCell(dc, row, column, cell, text, editable || column == 0);
    }
    if (selected && focused && IsColumn(currentColumn)) {
      RECT cell = CellRectAt(position, currentColumn);
      InflateRect(&cell, -1, -1);
      SetTextColor(dc, fore);
      DrawFocusRect(dc, &cell);
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
  }

  void DrawCell(HDC dc, int row, int column, const RECT& cell, COLORREF color, bool active) {
    const GridCell* data = rows.Cell(row, column);
    if (!data) return;
    const HRGN clip = CreateRectRgnIndirect(&cell);
    SelectClipRgn(dc, clip);
    const CellParts parts = PartsOf(row, column, cell);
    if (!IsRectEmpty(&parts.expander)) DrawExpander(dc, parts.expander, rows.IsExpanded(row), color);
    if (!IsRectEmpty(&parts.box)) {
      RECT box = parts.box;
      UINT state = DFCS_BUTTONCHECK | (data->check ? DFCS_CHECKED : 0) | (active ? 0 : DFCS_INACTIVE);
      DrawFrameControl(dc, &box, DFC_BUTTON, state);
    }
    const std::u16string line = SingleLineText(data->text);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const int align = columns[column].format & LVCFMT_JUSTIFYMASK;
    if (align == LVCFMT_CENTER) format |= DT_CENTER;
    else if (align == LVCFMT_RIGHT) format |= DT_RIGHT;
    RECT textRect = parts.text;
    SetTextColor(dc, color);
    DrawTextW(dc, AsWide(line.c_str()), static_cast<int>(line.size()), &textRect, format);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
  }

  static void DrawExpander(HDC dc, const RECT& box, bool expanded, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    const int midX = (box.left + box.right) / 2;
    const int midY = (box.top + box.bottom) / 2;
    MoveToEx(dc, box.left + 2, midY, nullptr);
    LineTo(dc, box.right - 2, midY);
    if (!expanded) {
      MoveToEx(dc, midX, box.top + 2, nullptr);
      LineTo(dc, midX, box.bottom - 2);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }

  void FillDispInfo(NMLVDISPINFOW& info) {
    if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
    const GridCell* cell = rows.Cell(rows.RowAt(info.item.iItem), info.item.iSubItem);
    const std::u16string line = cell ? SingleLineText(cell->text) : std::u16string();
    const size_t n = std::min(line.size(), static_cast<size_t>(info.item.cchTextMax - 1));
    std::copy_n(AsWide(line.c_str()), n, info.item.pszText);
    info.item.pszText[n] = L'\0';
  }

  // ---- checks --------------------------------------------------------------------------
  bool ToggleCheck(int row, int column) {
    GridCell* cell = rows.Cell(row, column);
    if (!cell || !IsCheckKind(Kind(column))) return false;
    GridNotify n = At(row, column);
    n.check = !cell->check;
    n.locked = column != 0 && !rows.IsEditable(row);
    if (n.locked) {
      Notify(kGridCellCheckChanged, n);
      return false;
    }
    // The new state is in place while the owner is asked, so that it reads what it is told.
    cell->check = n.check;
    const bool refused = Notify(kGridCellCheckChanged, n) != 0;
    cell = rows.Cell(row, column);  // the owner may have changed the rows
    if (!cell) return false;
    if (refused) cell->check = !n.check;
    InvalidateFamily(row);
    return !refused;
  }

  // ---- in-place text editor ------------------------------------------------------------
  bool BeginEdit(int row, int column) {
    if (!rows.IsValid(row) || !IsTextKind(Kind(column))) return false;
    CloseChoice();
    CommitEdit(false);
    GridNotify n = At(row, column);
    n.locked = !rows.IsEditable(row);
    if (Notify(kGridBeginCellEdit, n) != 0 || n.locked) return false;
    const GridCell* cell = rows.Cell(row, column);
    if (!cell) return false;
    if (!rows.IsShown(row)) ExpandRow(row, true);
    const int position = rows.PositionOf(row);
    if (position != SelectedPosition()) SelectPosition(position);
    SendMessageW(list, LVM_ENSUREVISIBLE, position, FALSE);
    EnsureColumnVisible(position, column);
    const RECT cellRect = CellRectAt(position, column);
    multiLine = Kind(column) == CellKind::CheckText;
    const GridRect place = multiLine
        ? MultiLineEditorRect(ToGrid(cellRect), ToGrid(RowsArea()), cellRect.bottom - cellRect.top)
        : SingleLineEditorRect(ToGrid(cellRect));
    DWORD style = WS_CHILD | WS_BORDER | WS_CLIPSIBLINGS | ES_LEFT | ES_NOHIDESEL;
    style |= multiLine ? (ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL) : ES_AUTOHSCROLL;
    const std::wstring text = ToWide(cell->text);
    HWND window = CreateWindowExW(0, L"EDIT", text.c_str(), style, place.left, place.top, place.Width(),
                                  place.Height(), list, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                                  reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr);
    if (!window) return false;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    SetWindowSubclass(window, EditorProc, kEditorSubclass, reinterpret_cast<DWORD_PTR>(this));
    editor = window;
    choiceEditor = false;
    editRow = row;
    editColumn = column;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetFocus(window);
    SendMessageW(window, EM_SETSEL, 0, -1);
    GridNotify shown = At(row, column);
    shown.editor = window;
    Notify(kGridCellEditorShown, shown);
    return true;
  }

  std::u16string EditorText() const {
    const int length = GetWindowTextLengthW(editor);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = GetWindowTextW(editor, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return ToU16(text);
  }

  // Takes the editor window out of the state before it goes, so that the focus change its
  // destruction causes finds no edit to end.
  void DestroyEditor(bool focusList) {
    HWND window = std::exchange(editor, nullptr);
    if (!window) return;
    if (focusList || GetFocus() == window) SetFocus(list);
    DestroyWindow(window);
  }

  void CloseEditorSilently() {
    choiceEditor = false;
    DestroyEditor(false);
  }

  // Enter, Tab or the loss of the focus: the text goes into the cell and the owner hears.
  void CommitEdit(bool focusList) {
    if (!editor || choiceEditor || ending) return;
    ending = true;
    const std::u16string text = EditorText();
    const int row = editRow;
    const int column = editColumn;
    DestroyEditor(focusList);
    ending = false;
    HideBalloon();
    if (GridCell* cell = rows.Cell(row, column)) {
      cell->text = text;
      InvalidateRow(row);
    }
    GridNotify n = At(row, column);
    n.text = text.c_str();
    Notify(kGridEndCellEdit, n);
  }

  // Escape: the owner hears first and may keep the edit going.
  void EscapeEdit() {
    if (!editor || choiceEditor || ending) return;
    HWND window = editor;
    ending = true;
    const std::u16string text = EditorText();
    const int row = editRow;
    const int column = editColumn;
    HideBalloon();
    GridNotify n = At(row, column);
    n.text = text.c_str();
    n.endKey = VK_ESCAPE;
    const bool keep = Notify(kGridEndCellEdit, n) != 0;
    ending = false;
    if (editor != window) return;  // the owner closed it meanwhile
    if (keep) {
      SetFocus(window);
      return;
    }
    DestroyEditor(true);
    if (GridCell* cell = rows.Cell(editRow, column)) {
      cell->text = text;
      InvalidateRow(editRow);
    }
  }

  bool OnEditorKey(WPARAM key) {
    switch (key) {
      case VK_RETURN:
        if (multiLine && IsCtrlDown()) {
          SendMessageW(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n"));
        } else {
          CommitEdit(true);
        }
        return true;
      case VK_TAB:
        CommitEdit(true);
        return true;
      case VK_ESCAPE:
        EscapeEdit();
        return true;
      default:
        return false;
    }
  }

  static LRESULT CALLBACK EditorProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) {
    State* s = reinterpret_cast<State*>(data);
    switch (message) {
      case WM_GETDLGCODE:
        return DefSubclassProc(hwnd, message, wparam, lparam) | DLGC_WANTALLKEYS;
      case WM_KEYDOWN:
        if (s->editor == hwnd && s->OnEditorKey(wparam)) return 0;
        break;
      case WM_CHAR:
        // Enter, Ctrl+Enter, Tab and Escape were handled as keys; their characters would
        // only beep or add a stray character. Ctrl+A selects everything.
        if (wparam == L'\r' || wparam == L'\n' || wparam == L'\t' || wparam == 0x1B) return 0;
        if (wparam == 0x01) {
          SendMessageW(hwnd, EM_SETSEL, 0, -1);
          return 0;
        }
        break;
      case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
        if (s->editor == hwnd) s->CommitEdit(false);
        return result;
      }
      case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, EditorProc, kEditorSubclass);
        if (s->editor == hwnd) s->editor = nullptr;
        break;
      default:
        break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }

  // ---- in-place choice drop-down -------------------------------------------------------
  bool OpenChoice(int row, int column) {
    if (!rows.IsValid(row) || Kind(column) != CellKind::Choice) return false;
    CloseChoice();
    CommitEdit(false);
    GridNotify n = At(row, column);
    n.locked = !rows.IsEditable(row);
    if (Notify(kGridBeginCellChoice, n) != 0 || n.locked) return false;
    const GridCell* cell = rows.Cell(row, column);
    if (!cell) return false;
    if (!rows.IsShown(row)) ExpandRow(row, true);
    const int position = rows.PositionOf(row);
    if (position != SelectedPosition()) SelectPosition(position);
    SendMessageW(list, LVM_ENSUREVISIBLE, position, FALSE);
    EnsureColumnVisible(position, column);
    const RECT place = CellRectAt(position, column);
    const int rowHeight = place.bottom - place.top;
    const auto& choices = columns[column].choices;
    const int height = rowHeight * (static_cast<int>(choices.size()) + 2) + 8;
    HWND combo = CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, place.left,
                                 place.top, place.right - place.left, height, list,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr);
    if (!combo) return false;
    SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    for (const auto& choice : choices) {
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(choice.c_str())));
    }
    SendMessageW(combo, CB_SETCURSEL, cell->choice, 0);
    editor = combo;
    choiceEditor = true;
    editRow = row;
    editColumn = column;
    SetWindowPos(combo, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    return true;
  }

  void ApplyChoice() {
    if (!editor || !choiceEditor) return;
    const int index = static_cast<int>(SendMessageW(editor, CB_GETCURSEL, 0, 0));
    GridCell* cell = rows.Cell(editRow, editColumn);
    if (!cell || index < 0 || index == cell->choice) return;
    SetChoice(editRow, editColumn, index);
    GridNotify n = At(editRow, editColumn);
    n.choice = index;
    Notify(kGridCellChoiceChanged, n);
  }

  void CloseChoice() {
    if (!editor || !choiceEditor) return;
    choiceEditor = false;
    DestroyEditor(false);
  }

  void SetChoice(int row, int column, int index) {
    GridCell* cell = rows.Cell(row, column);
    if (!cell) return;
    const auto& choices = columns[column].choices;
    if (index >= 0 && index < static_cast<int>(choices.size())) {
      cell->choice = index;
      cell->text = choices[index];
    } else {
      cell->choice = -1;
      cell->text.clear();
    }
    InvalidateRow(row);
  }

  // ---- balloon -------------------------------------------------------------------------
  void ShowBalloon(const std::u16string& text, POINT screen, UINT ms) {
    if (!list) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = list;
    tool.uId = 1;
    balloonText = ToWide(text);
    tool.lpszText = balloonText.data();
    if (!balloon) {
      balloon = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr);
      if (!balloon) return;
      SendMessageW(balloon, TTM_SETMAXTIPWIDTH, 0, 400);
      SendMessageW(balloon, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
      SendMessageW(balloon, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
      SendMessageW(balloon, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(balloon, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageW(balloon, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    balloonShown = true;
    SetTimer(list, kBalloonTimer, ms, nullptr);
  }

  void HideBalloon() {
    if (!balloonShown) return;
    balloonShown = false;
    if (list) KillTimer(list, kBalloonTimer);
    if (!balloon) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = list;
    tool.uId = 1;
    SendMessageW(balloon, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  }

  // ---- mouse and keyboard --------------------------------------------------------------
  void SetHover(int position) {
    if (position == hoverPosition) return;
    InvalidatePosition(hoverPosition);
    hoverPosition = position;
    InvalidatePosition(position);
    if (position >= 0) {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, list, 0};
      TrackMouseEvent(&track);
    }
  }

  void SetCurrentColumn(int column) {
    if (!IsColumn(column) || column == currentColumn) return;
    currentColumn = column;
    InvalidatePosition(SelectedPosition());
  }

  // A press on a cell: select the row, then act on the part that was hit. Answers false
  // when the press hit no row (the list view then handles it).
  bool OnLeftButton(POINT pt, bool doubleClick) {
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

  // The cell that Tab or Shift+Tab reaches, or false at the end of the grid.
  bool NextCell(int step, int* position, int* column) const {
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

  void MoveToCell(int position, int column) {
    if (position != SelectedPosition()) SelectPosition(position);
    currentColumn = column;
    EnsureColumnVisible(position, column);
    InvalidatePosition(position);
  }

  void ActivateCurrent() {
    const int row = SelectedRow();
    if (row < 0) return;
    const CellKind kind = Kind(currentColumn);
    if (kind == CellKind::Choice) OpenChoice(row, currentColumn);
    else if (IsTextKind(kind)) BeginEdit(row, currentColumn);
  }

  bool OnKey(WPARAM key) {
    int position = -1;
    int column = -1;
    switch (key) {
      case VK_LEFT:
      case VK_RIGHT: {
        const int selected = SelectedPosition();
        const int next = std::clamp(currentColumn + (key == VK_LEFT ? -1 : 1), 0, std::max(ColumnCount() - 1, 0));
        if (selected >= 0) MoveToCell(selected, next);
        else currentColumn = next;
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

  void FitLastColumn() {
    if (!list || columns.empty()) return;
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (int c = 0; c < ColumnCount(); ++c) widths.push_back(Width(c));
    RECT client{};
    GetClientRect(list, &client);
    const auto width = LastColumnWidth(client.right - client.left, widths);
    if (width && *width != widths.back()) SendMessageW(list, LVM_SETCOLUMNWIDTH, ColumnCount() - 1, *width);
  }

  static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                   DWORD_PTR data) {
    State* s = reinterpret_cast<State*>(data);
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
        if (s->choiceEditor) s->CloseChoice();
        else s->CommitEdit(true);
        break;
      case WM_SIZE: {
        const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
        s->FitLastColumn();
        return result;
      }
      case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lparam);
        if (hdr->hwndFrom == reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0))) {
          if (hdr->code == HDN_BEGINTRACKW || hdr->code == HDN_BEGINTRACKA) {
            if (s->choiceEditor) s->CloseChoice();
            else s->CommitEdit(true);
          }
          // The header applies the new width after this notification.
          if (hdr->code == HDN_ENDTRACKW || hdr->code == HDN_ENDTRACKA) PostMessageW(hwnd, kFitColumnMessage, 0, 0);
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
              PostMessageW(hwnd, kCloseChoiceMessage, 0, lparam);
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
      case kCheckSelectionMessage:
        s->ReportSelection();
        return 0;
      case kCloseChoiceMessage:
        if (s->choiceEditor && s->editor == reinterpret_cast<HWND>(lparam)) s->CloseChoice();
        return 0;
      case kFitColumnMessage:
        s->FitLastColumn();
        return 0;
      case LVM_SETEXTENDEDLISTVIEWSTYLE:
        // The grid draws its own check boxes, per cell; the list's row check boxes would
        // only take room and toggle a state nobody reads.
        if (wparam == 0) lparam &= ~LVS_EX_CHECKBOXES;
        else wparam &= ~LVS_EX_CHECKBOXES;
        break;
      case WM_NCDESTROY:
        s->Detach();
        break;
      default:
        break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }

  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) {
    State* s = reinterpret_cast<State*>(data);
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
          measure->itemHeight = s->RowHeightForFont();
          return TRUE;
        }
        break;
      }
      case WM_NOTIFY: {
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lparam);
        if (hdr->hwndFrom != s->list) break;
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
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }

  UINT RowHeightForFont() const {
    HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, Font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return static_cast<UINT>(std::max<LONG>(metrics.tmHeight + metrics.tmExternalLeading + 4, kCheckBoxSize + 5));
  }

  // ---- attach and detach ---------------------------------------------------------------
  bool Attach(HWND window) {
    wchar_t name[32] = {};
    if (!window || !GetClassNameW(window, name, 32) || lstrcmpiW(name, WC_LISTVIEWW) != 0) return false;
    Detach();
    list = window;
    parent = GetParent(window);
    id = GetDlgCtrlID(window);
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    style &= ~(LVS_TYPEMASK | LVS_EDITLABELS);
    style |= LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_CLIPCHILDREN;
    SetWindowLongPtrW(window, GWL_STYLE, style);
    // Before the subclass, which keeps the row check boxes from coming back.
    SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    SetWindowSubclass(window, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
    if (parent) SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
    // Rows the list already holds are not the grid's; it starts empty.
    SendMessageW(window, LVM_DELETEALLITEMS, 0, 0);
    rows.Clear();
    InvalidateRect(window, nullptr, TRUE);
    return true;
  }

  void Detach() {
    if (!list) return;
    CloseEditorSilently();
    HideBalloon();
    if (balloon) DestroyWindow(std::exchange(balloon, nullptr));
    KillTimer(list, kBalloonTimer);
    RemoveWindowSubclass(list, ListProc, kListSubclass);
    if (parent) RemoveWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this));
    list = nullptr;
    parent = nullptr;
  }
};

PhraseGrid::PhraseGrid() : state_(std::make_unique<State>()) {}
PhraseGrid::~PhraseGrid() { state_->Detach(); }

bool PhraseGrid::Attach(HWND list) { return state_->Attach(list); }
HWND PhraseGrid::hwnd() const { return state_->list; }

void PhraseGrid::SetColumns(const std::vector<GridColumn>& columns) {
  State& s = *state_;
  s.CloseEditorSilently();
  s.columns = columns;
  s.rows.SetColumnCount(static_cast<int>(columns.size()));
  s.currentColumn = 0;
  if (!s.list) return;
  HWND header = reinterpret_cast<HWND>(SendMessageW(s.list, LVM_GETHEADER, 0, 0));
  const int old = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = old - 1; i >= 0; --i) SendMessageW(s.list, LVM_DELETECOLUMN, i, 0);
  // Some list views keep their first column; it is then reused for the new first column.
  const bool keptFirst = header && SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) > 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    std::wstring caption = ToWide(columns[i].caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = columns[i].format;
    column.cx = columns[i].width;
    column.pszText = caption.data();
    column.iSubItem = static_cast<int>(i);
    const UINT message = (i == 0 && keptFirst) ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW;
    SendMessageW(s.list, message, i, reinterpret_cast<LPARAM>(&column));
  }
  InvalidateRect(s.list, nullptr, TRUE);
}

int PhraseGrid::ColumnCount() const { return state_->ColumnCount(); }

void PhraseGrid::SetColumnWidth(int column, int width) {
  if (state_->list && state_->IsColumn(column)) SendMessageW(state_->list, LVM_SETCOLUMNWIDTH, column, width);
}

int PhraseGrid::ColumnWidth(int column) const {
  return state_->list && state_->IsColumn(column) ? state_->Width(column) : 0;
}

void PhraseGrid::FitLastColumn() { state_->FitLastColumn(); }

int PhraseGrid::InsertRow(uint32_t datum, int level, int at) {
  State& s = *state_;
  const bool wasCollapsed = s.rows.AnyCollapsed();
  // Asking the list for its selection walks its items; appending must stay cheap.
  const int selected = wasCollapsed && s.list ? s.SelectedRow() : -1;
  const int row = s.rows.Insert(datum, level, at);
  if (row < 0) return -1;
  s.RowsInserted(row);
  if (!s.list) return row;
  if (wasCollapsed) {
    s.Resync(selected < 0 ? -1 : (selected >= row ? selected + 1 : selected));
  } else {
    s.InsertItems(row, 1);
  }
  return row;
}

bool PhraseGrid::RemoveRow(int row) {
  State& s = *state_;
  if (!s.rows.IsValid(row)) return false;
  const int span = s.rows.Span(row);
  const int selected = s.SelectedRow();
  const bool selectedGoes = selected >= row && selected < row + span;
  const int position = s.rows.PositionOf(row);
  const bool wasCollapsed = s.rows.AnyCollapsed();
  s.RowsRemoved(row, span);
  s.rows.Remove(row);
  if (!s.list) return true;
  if (wasCollapsed) {
    s.Resync(selectedGoes || selected < 0 ? -1 : (selected > row ? selected - span : selected));
  } else {
    s.DeleteItems(row, span);
  }
  // The row that takes the removed one's place (else the one above) becomes selected, so
  // that the keyboard user stays in the list.
  if (selectedGoes && s.ShownCount() > 0) {
    const int next = std::clamp(position, 0, s.ShownCount() - 1);
    s.SelectPosition(next);
  } else {
    s.ReportSelection();
  }
  return true;
}

void PhraseGrid::RemoveAllRows() {
  State& s = *state_;
  s.CloseEditorSilently();
  s.rows.Clear();
  s.hoverPosition = -1;
  if (!s.list) return;
  SendMessageW(s.list, LVM_DELETEALLITEMS, 0, 0);
  s.ReportSelection();
}

int PhraseGrid::RowCount() const { return state_->rows.Count(); }
int PhraseGrid::FindRow(uint32_t datum) const { return state_->rows.Find(datum); }
uint32_t PhraseGrid::RowData(int row) const { return state_->rows.Datum(row); }
int PhraseGrid::RowLevel(int row) const { return state_->rows.Level(row); }
int PhraseGrid::CountRows(int level) const { return state_->rows.CountLevel(level); }
int PhraseGrid::NthRow(int level, int n) const { return state_->rows.NthOfLevel(level, n); }

int PhraseGrid::SelectedRow() const { return state_->list ? state_->SelectedRow() : -1; }

void PhraseGrid::SelectRow(int row) {
  State& s = *state_;
  if (!s.list) return;
  if (row >= 0 && !s.rows.IsValid(row)) return;
  if (row >= 0 && !s.rows.IsShown(row)) s.ExpandRow(row, true);
  s.SelectPosition(row < 0 ? -1 : s.rows.PositionOf(row));
}

bool PhraseGrid::Check(int row, int column) const {
  const GridCell* cell = state_->rows.Cell(row, column);
  return cell && cell->check;
}

void PhraseGrid::SetCheck(int row, int column, bool check) {
  GridCell* cell = state_->rows.Cell(row, column);
  if (!cell || cell->check == check) return;
  cell->check = check;
  if (state_->list) state_->InvalidateFamily(row);
}

std::u16string PhraseGrid::Text(int row, int column) const {
  const GridCell* cell = state_->rows.Cell(row, column);
  return cell ? cell->text : std::u16string();
}

void PhraseGrid::SetText(int row, int column, const std::u16string& text) {
  GridCell* cell = state_->rows.Cell(row, column);
  if (!cell) return;
  cell->text = text;
  if (state_->list) state_->InvalidateRow(row);
}

int PhraseGrid::Choice(int row, int column) const {
  const GridCell* cell = state_->rows.Cell(row, column);
  return cell ? cell->choice : -1;
}

void PhraseGrid::SetChoice(int row, int column, int index) { state_->SetChoice(row, column, index); }

bool PhraseGrid::IsRowEditable(int row) const { return state_->rows.IsEditable(row); }

bool PhraseGrid::EditFirstCell(int row) { return state_->list && state_->BeginEdit(row, 0); }

bool PhraseGrid::IsEditing() const { return state_->editor != nullptr; }
HWND PhraseGrid::Editor() const { return state_->editor; }

bool PhraseGrid::OpenChoice(int row, int column) { return state_->list && state_->OpenChoice(row, column); }

int PhraseGrid::CurrentColumn() const { return state_->currentColumn; }

void PhraseGrid::ExpandRow(int row, bool expand) {
  if (state_->list) state_->ExpandRow(row, expand);
}

bool PhraseGrid::IsRowExpanded(int row) const { return state_->rows.IsExpanded(state_->rows.Parent(row)); }

int PhraseGrid::HitTest(POINT client, int* column) const {
  int hitColumn = -1;
  const int position = state_->list ? state_->PositionAt(client, &hitColumn) : -1;
  if (column) *column = position < 0 ? -1 : hitColumn;
  return state_->rows.RowAt(position);
}

RECT PhraseGrid::CellRect(int row, int column) const {
  const int position = state_->rows.PositionOf(row);
  if (!state_->list || position < 0) return RECT{};
  return state_->CellRectAt(position, column);
}

void PhraseGrid::SuspendRedraw() {
  State& s = *state_;
  if (s.suspended++ == 0 && s.list) SendMessageW(s.list, WM_SETREDRAW, FALSE, 0);
}

void PhraseGrid::ResumeRedraw() {
  State& s = *state_;
  if (s.suspended > 0 && --s.suspended > 0) return;
  if (!s.list) return;
  SendMessageW(s.list, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(s.list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void PhraseGrid::Repaint() {
  if (state_->list) InvalidateRect(state_->list, nullptr, TRUE);
}

void PhraseGrid::SetColorCallback(GridColorCallback callback, void* context) {
  state_->colorCallback = callback;
  state_->colorContext = context;
  Repaint();
}

void PhraseGrid::ShowBalloon(const std::u16string& text, POINT screen, UINT ms) { state_->ShowBalloon(text, screen, ms); }
void PhraseGrid::HideBalloon() { state_->HideBalloon(); }
bool PhraseGrid::IsBalloonShown() const { return state_->balloonShown; }

}  // namespace vellix
