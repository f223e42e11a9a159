#pragma once
// PhraseGrid: a report-style list view with editable cells (check boxes with text, choice
// cells with an in-place drop-down, read-only cells), in-place single- and multi-line text
// editing, an owner colour callback, hover highlight, keyboard moves between rows and cells
// and balloon tips. The grid tells its owner what the user does through WM_NOTIFY
// (GridNotify below); the owner may refuse a check change, an edit or a choice.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vellix {

enum class CellKind {
  CheckText,       // check box and a text the user edits in place (multi-line editor)
  CheckFixedText,  // check box and a text set by the owner
  Choice,          // drop-down list of the column's choices; the chosen index is kept
  ReadOnly,        // text only
  Text,            // a text the user edits in place (single-line editor), no check box
};

struct GridColumn {
  std::u16string caption;
  int width = 100;
  int format = LVCFMT_LEFT;             // LVCFMT_LEFT, LVCFMT_CENTER or LVCFMT_RIGHT
  CellKind kind = CellKind::ReadOnly;
  std::vector<std::u16string> choices;  // Choice columns only
};

// WM_NOTIFY codes the grid sends to its owner (hdr.code). The owner answers non-zero
// (SetWindowLongPtr(DWLP_MSGRESULT) in a dialog) to refuse the first three; for
// kGridEndCellEdit ended by Escape, non-zero asks the grid to keep the focus in the editor
// (the edit then goes on). A cell of a locked row (see IsRowEditable) is still reported with
// GridNotify::locked set, so that the owner can tell the user why nothing happens; the grid
// refuses it whatever the answer. While kGridCellCheckChanged is handled the cell already
// holds the new state (it goes back when refused). kGridEndCellEdit comes after the edited
// text has gone into the cell (for Escape: once the owner has let the edit end).
// kGridRowSelected reports -1 when no row is selected any more. Row numbers are those of the
// grid's rows (RowData and friends).
inline constexpr UINT kGridCellCheckChanged = 0x8A01;  // row, column, check = new state
inline constexpr UINT kGridBeginCellEdit = 0x8A02;     // row, column
inline constexpr UINT kGridBeginCellChoice = 0x8A03;   // row, column
inline constexpr UINT kGridEndCellEdit = 0x8A04;       // row, column, text, endKey
inline constexpr UINT kGridCellChoiceChanged = 0x8A05; // row, column, choice
inline constexpr UINT kGridRowSelected = 0x8A06;       // row
inline constexpr UINT kGridCellEditorShown = 0x8A07;   // editor (text editors, not choices)

struct GridNotify {
  NMHDR hdr;
  int row = -1;
  int column = -1;
  bool check = false;
  int choice = -1;
  const char16_t* text = nullptr;  // kGridEndCellEdit: the edited text (valid during the call)
  UINT endKey = 0;                 // VK_ESCAPE when Escape ended the edit, else 0
  HWND editor = nullptr;           // kGridCellEditorShown: the in-place editor window
  bool locked = false;             // the cell's row is locked: the grid refuses the action
};

// Colour query of the owner's callback: set *text and answer true to use that text colour.
// Called only for cells of editable rows and for every cell of the selected row.
using GridColorCallback = bool (*)(int row, int column, COLORREF* text, void* context);

class PhraseGrid {
 public:
  PhraseGrid();
  ~PhraseGrid();
  PhraseGrid(const PhraseGrid&) = delete;
  PhraseGrid& operator=(const PhraseGrid&) = delete;

  // Takes over an existing list view (a dialog control): report style, owner drawing of the
  // cells, subclassing. The list must have been created virtual (LVS_OWNERDATA): the grid
  // keeps the rows and cells itself and the list holds only their number, so that filling
  // ten thousand rows costs the list nothing. The list's image lists become shared
  // (LVS_SHAREIMAGELISTS): an owner that gives it one destroys it. Answers false when list
  // is not a list view or not virtual.
  bool Attach(HWND list);
  HWND hwnd() const;

  void SetColumns(const std::vector<GridColumn>& columns);
  int ColumnCount() const;
  void SetColumnWidth(int column, int width);
  int ColumnWidth(int column) const;
  // Gives the last column the width the others leave of the client area (no change when
  // that would be negative).
  void FitLastColumn();

  // Rows. A row carries a datum (the phrase id) and a level (1 = top; 2 = child of the
  // nearest row of level 1 above it). at = -1 appends. Answers the row index or -1.
  int InsertRow(uint32_t datum, int level = 1, int at = -1);
  // Removes the row with its child rows. When it was selected, the row that takes its place
  // (else the one above) becomes selected.
  bool RemoveRow(int row);
  void RemoveAllRows();
  int RowCount() const;
  int FindRow(uint32_t datum) const;  // -1 when no row carries it
  uint32_t RowData(int row) const;
  int RowLevel(int row) const;
  int CountRows(int level) const;
  int NthRow(int level, int n) const;  // -1 when there are not that many

  int SelectedRow() const;  // -1 when none
  // Selects and focuses the row and scrolls it into view; -1 clears the selection.
  void SelectRow(int row);

  // Cells.
  bool Check(int row, int column) const;
  void SetCheck(int row, int column, bool check);  // raises no notification
  std::u16string Text(int row, int column) const;
  void SetText(int row, int column, const std::u16string& text);
  int Choice(int row, int column) const;
  void SetChoice(int row, int column, int index);  // also sets the text from the column
  // A cell is editable while its row's first check box (a child row: its parent's) is set;
  // the first column's check box itself always is. Without a check box in the first column
  // no row is locked.
  bool IsRowEditable(int row) const;

  // Starts the in-place text editor on the row's first cell (as if the user asked for it;
  // kGridBeginCellEdit is still sent and may refuse). Answers false when refused.
  bool EditFirstCell(int row);
  bool IsEditing() const;
  HWND Editor() const;  // the open in-place editor (or choice drop-down), or null
  // Opens the drop-down of a Choice cell (kGridBeginCellChoice may refuse).
  bool OpenChoice(int row, int column);

  // The cell that keyboard moves and Space/F2 act on: the selected row and this column.
  int CurrentColumn() const;
  // Child rows of a top row: collapsing hides them, expanding shows them again.
  void ExpandRow(int row, bool expand);
  bool IsRowExpanded(int row) const;

  // Hit test in client coordinates: the row (-1 for none) and *column.
  int HitTest(POINT client, int* column) const;
  RECT CellRect(int row, int column) const;  // client coordinates

  // Calls nest. While suspended the grid takes no part in the list's messages (fills stay
  // fast); a row selected meanwhile is scrolled into view on resuming.
  void SuspendRedraw();
  void ResumeRedraw();  // redraws everything
  void Repaint();

  void SetColorCallback(GridColorCallback callback, void* context);
  // The row under the mouse pointer (drawn on the tooltip background), or -1.
  int HoverRow() const;

  // A balloon tooltip with text at the point (screen coordinates) for ms milliseconds; it
  // also goes at the next click in the list and when an edit ends.
  void ShowBalloon(const std::u16string& text, POINT screen, UINT ms);
  void HideBalloon();
  bool IsBalloonShown() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vellix
