// PhraseGrid: rows and their list items, the selection, checks, attaching, and the public
// operations. Drawing, the in-place editors and input handling are in the files beside it.

#include "controls/phrase_grid_win.h"

#include <algorithm>
#include <utility>

#include "base/wide.h"
#include "controls/phrase_grid_state_win.h"

namespace vellix {

using namespace grid_internal;

LRESULT PhraseGrid::State::Notify(UINT code, GridNotify n) {
  if (!parent) return 0;
  n.hdr.hwndFrom = list;
  n.hdr.idFrom = static_cast<UINT_PTR>(id);
  n.hdr.code = code;
  return SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&n));
}

GridNotify PhraseGrid::State::At(int row, int column) {
  GridNotify n{};
  n.row = row;
  n.column = column;
  return n;
}

void PhraseGrid::State::InsertItems(int position, int count) {
  // The list is virtual: it holds only the number of rows, so an insertion is one count
  // change, however many rows come. The list keeps the selection by position, so a
  // selection at or below the new rows moves down with its row. Asking for the selection
  // walks the positions, so appends (a fill) do not ask.
  if (count <= 0) return;
  const bool appended = position + count >= ShownCount();
  const int selected = appended ? -1 : SelectedPosition();
  SendMessageW(list, LVM_SETITEMCOUNT, ShownCount(), LVSICF_NOSCROLL);
  if (selected >= position) MoveSelection(selected, selected + count);
}

void PhraseGrid::State::MoveSelection(int from, int to) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, from, reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, to, reinterpret_cast<LPARAM>(&state));
  SendMessageW(list, LVM_SETSELECTIONMARK, 0, to);
}

void PhraseGrid::State::DeleteAllItems() {
  // The owner's subclass answers LVN_DELETEALLITEMS, which spares a notification per row;
  // while the subclasses are lifted it is put on for this one message.
  if (lifted && parent) {
    SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
  }
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  if (lifted && parent) RemoveWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this));
}

void PhraseGrid::State::DeleteItems(int position, int count) {
  // As InsertItems: one count change. A selection below the rows moves up with its row; one
  // on them is cleared (the position now shows another row).
  if (count <= 0) return;
  const int selected = SelectedPosition();
  SendMessageW(list, LVM_SETITEMCOUNT, ShownCount(), LVSICF_NOSCROLL);
  if (selected >= position + count) {
    MoveSelection(selected, selected - count);
  } else if (selected >= position && selected < ShownCount()) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&state));
  }
}

void PhraseGrid::State::Resync(int selectedRow) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  DeleteAllItems();
  SendMessageW(list, LVM_SETITEMCOUNT, ShownCount(), LVSICF_NOSCROLL);
  if (suspended == 0) SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  const int position = rows.PositionOf(selectedRow);
  if (position >= 0) SelectPosition(position);
  if (suspended == 0) InvalidateRect(list, nullptr, TRUE);
}

int PhraseGrid::State::SelectedPosition() const {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void PhraseGrid::State::SelectPosition(int position) {
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
  // A list that does not redraw may not scroll either; it is asked again on resuming.
  if (suspended > 0) scrollPending = true;
  ReportSelection();
}

void PhraseGrid::State::ReportSelection() {
  const int row = SelectedRow();
  if (row == reportedRow && !reportPending) return;
  reportedRow = row;
  reportPending = false;
  Notify(kGridRowSelected, At(row, -1));
}

void PhraseGrid::State::OnItemChanged(const NMLISTVIEW& change) {
  if (!(change.uChanged & LVIF_STATE)) return;
  const bool was = (change.uOldState & LVIS_SELECTED) != 0;
  const bool now = (change.uNewState & LVIS_SELECTED) != 0;
  if (was == now) return;
  // Moving the selection first clears the old row and then selects the new one; a clear
  // is checked later so that the owner does not hear of the passing "no selection".
  if (now) {
    ReportSelection();
  } else {
    PostMessageW(list, kGridCheckSelectionMessage, 0, 0);
  }
}

void PhraseGrid::State::RowsInserted(int row) {
  if (reportedRow >= row) ++reportedRow;
  if (editor && editRow >= row) ++editRow;
  hoverPosition = -1;
}

void PhraseGrid::State::RowsRemoved(int row, int span) {
  if (reportedRow >= row + span) {
    reportedRow -= span;
  } else if (reportedRow >= row) {
    reportPending = true;
  }
  if (editor && editRow >= row) {
    if (editRow < row + span) {
      CloseEditorSilently();
    } else {
      editRow -= span;
    }
  }
  hoverPosition = -1;
}

void PhraseGrid::State::ExpandRow(int row, bool expand) {
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

bool PhraseGrid::State::ToggleCheck(int row, int column) {
  GridCell* cell = rows.Cell(row, column);
  if (!cell || !IsCheckKind(Kind(column))) return false;
  GridNotify n = At(row, column);
  n.check = !cell->check;
  n.locked = column != 0 && !IsEditable(row);
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

void PhraseGrid::State::FitLastColumn() {
  if (!list || columns.empty()) return;
  std::vector<int> widths;
  widths.reserve(columns.size());
  for (int c = 0; c < ColumnCount(); ++c) widths.push_back(Width(c));
  RECT client{};
  GetClientRect(list, &client);
  const auto width = LastColumnWidth(client.right - client.left, widths);
  if (width && *width != widths.back()) SendMessageW(list, LVM_SETCOLUMNWIDTH, ColumnCount() - 1, *width);
}

void PhraseGrid::State::ApplyColumns() {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int old = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = old - 1; i >= 0; --i) SendMessageW(list, LVM_DELETECOLUMN, i, 0);
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
    SendMessageW(list, message, i, reinterpret_cast<LPARAM>(&column));
  }
}

bool PhraseGrid::State::Attach(HWND window) {
  wchar_t name[32] = {};
  if (!window || !GetClassNameW(window, name, 32) || lstrcmpiW(name, WC_LISTVIEWW) != 0) return false;
  // The style can only be given at creation.
  if (!(GetWindowLongPtrW(window, GWL_STYLE) & LVS_OWNERDATA)) return false;
  Detach();
  list = window;
  parent = GetParent(window);
  id = GetDlgCtrlID(window);
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  style &= ~(LVS_TYPEMASK | LVS_EDITLABELS);
  // Shared image lists: the list never destroys the grid's row spacer (nor the owner's
  // image lists, which their owner destroys).
  style |= LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_CLIPCHILDREN;
  SetWindowLongPtrW(window, GWL_STYLE, style);
  // Before the subclass, which keeps the row check boxes from coming back.
  SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  SetWindowSubclass(window, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  if (parent)
    SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
  UpdateRowHeight();
  // A count the list already holds is not the grid's; it shows the grid's own columns and
  // rows (set before attaching, if any).
  SendMessageW(window, LVM_DELETEALLITEMS, 0, 0);
  if (!columns.empty()) ApplyColumns();
  SendMessageW(window, LVM_SETITEMCOUNT, ShownCount(), LVSICF_NOSCROLL);
  reportedRow = -1;
  InvalidateRect(window, nullptr, TRUE);
  return true;
}

void PhraseGrid::State::LiftSubclasses() {
  if (lifted || !list) return;
  RemoveWindowSubclass(list, ListProc, kListSubclass);
  if (parent) RemoveWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this));
  lifted = true;
}

void PhraseGrid::State::RestoreSubclasses() {
  if (!lifted) return;
  lifted = false;
  if (!IsWindow(list)) {  // destroyed meanwhile, unseen
    list = nullptr;
    parent = nullptr;
    editor = nullptr;
    if (balloon) DestroyWindow(std::exchange(balloon, nullptr));
    balloonShown = false;
    ReleaseRowSpacer();
    return;
  }
  // Row check boxes switched on meanwhile went past the filter of the list's subclass (and
  // took the place of the row spacer).
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, 0);
  if (reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_STATE, 0)) != rowSpacer.get())
    UpdateRowHeight();
  SetWindowSubclass(list, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  if (parent) {
    SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
  }
  // Selection changes made meanwhile by the user or the owner were not seen.
  ReportSelection();
}

void PhraseGrid::State::Detach() {
  if (!list) return;
  lifted = false;
  CloseEditorSilently();
  HideBalloon();
  if (balloon) DestroyWindow(std::exchange(balloon, nullptr));
  KillTimer(list, kBalloonTimer);
  ReleaseRowSpacer();
  RemoveWindowSubclass(list, ListProc, kListSubclass);
  if (parent) RemoveWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this));
  list = nullptr;
  parent = nullptr;
}

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
  s.ApplyColumns();
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
  s.DeleteAllItems();
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

bool PhraseGrid::IsRowEditable(int row) const { return state_->IsEditable(row); }

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
  if (s.suspended++ == 0 && s.list) {
    SendMessageW(s.list, WM_SETREDRAW, FALSE, 0);
    s.LiftSubclasses();
  }
}

void PhraseGrid::ResumeRedraw() {
  State& s = *state_;
  if (s.suspended > 0 && --s.suspended > 0) return;
  if (!s.list) return;
  s.RestoreSubclasses();
  if (!s.list) return;
  SendMessageW(s.list, WM_SETREDRAW, TRUE, 0);
  if (std::exchange(s.scrollPending, false) && s.SelectedPosition() >= 0) {
    SendMessageW(s.list, LVM_ENSUREVISIBLE, s.SelectedPosition(), FALSE);
  }
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

void PhraseGrid::ShowBalloon(const std::u16string& text, POINT screen, UINT ms) {
  state_->ShowBalloon(text, screen, ms);
}
void PhraseGrid::HideBalloon() { state_->HideBalloon(); }
int PhraseGrid::HoverRow() const { return state_->rows.RowAt(state_->hoverPosition); }
bool PhraseGrid::IsBalloonShown() const { return state_->balloonShown; }

}  // namespace vellix
