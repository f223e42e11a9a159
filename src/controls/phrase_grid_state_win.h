#pragma once
// The inner state of PhraseGrid, shared by the files that implement it: the grid itself
// (rows, selection, checks, attaching), its drawing, its in-place editors and balloon, and
// its mouse and keyboard handling. Everything runs on the thread that owns the list.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "controls/grid_geometry.h"
#include "controls/grid_rows.h"
#include "controls/phrase_grid_win.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace grid_internal {

// Subclass ids of the list and of the in-place editors; the owner's subclass uses the
// grid's own address so that two grids in one dialog do not meet.
inline constexpr UINT_PTR kListSubclass = 0x47524944;    // "GRID"
inline constexpr UINT_PTR kEditorSubclass = 0x47454454;  // "GEDT"
inline constexpr UINT_PTR kBalloonTimer = 0x4742;
inline constexpr int kEditorId = 0x3A10;

// Measures at 96 dots per inch (State::Px scales them).
inline constexpr int kCellPadding = 4;
inline constexpr int kCheckBoxSize = 13;
inline constexpr int kChildIndent = 16;
inline constexpr int kExpanderSize = 9;

inline GridRect ToGrid(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline bool IsCheckKind(CellKind kind) { return kind == CellKind::CheckText || kind == CellKind::CheckFixedText; }
inline bool IsTextKind(CellKind kind) { return kind == CellKind::CheckText || kind == CellKind::Text; }
inline bool IsCtrlDown() { return GetKeyState(VK_CONTROL) < 0; }
inline bool IsShiftDown() { return GetKeyState(VK_SHIFT) < 0; }

// The parts of one cell, in list client coordinates; absent parts are empty rectangles.
struct CellParts {
  RECT expander{};
  RECT box{};
  RECT text{};
};

}  // namespace grid_internal

struct PhraseGrid::State {
  HWND list = nullptr;
  HWND parent = nullptr;
  int id = 0;
  std::vector<GridColumn> columns;
  GridRows rows;
  int currentColumn = 0;
  int hoverPosition = -1;      // list position under the pointer, -1 for none
  int reportedRow = -1;        // last row reported by kGridRowSelected
  bool reportPending = false;  // the reported row went away: report whatever comes next
  int suspended = 0;
  bool lifted = false;         // the subclasses are off while redrawing is suspended
  bool scrollPending = false;  // a row was selected while redrawing was suspended
  UINT rowHeight = 0;          // measured from the list's font; 0 until asked, reset by WM_SETFONT
  UniqueImageList rowSpacer;  // state image list that gives the list its row height
  mutable int dpi = 0;         // the list's dots per inch; 0 until asked, reset by WM_SETFONT
  bool swallowChar = false;    // the key was handled; drop its WM_CHAR
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

  // Notifications
  LRESULT Notify(UINT code, GridNotify n);
  static GridNotify At(int row, int column);

  // Geometry
  int ColumnCount() const { return static_cast<int>(columns.size()); }
  bool IsColumn(int column) const { return column >= 0 && column < ColumnCount(); }
  CellKind Kind(int column) const { return IsColumn(column) ? columns[column].kind : CellKind::ReadOnly; }
  int Width(int column) const { return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)); }
  int ShownCount() const { return rows.ShownCount(); }
  // The first column's check box locks a row; without one nothing does.
  bool IsEditable(int row) const {
    return rows.IsEditable(row) || (rows.IsValid(row) && !grid_internal::IsCheckKind(Kind(0)));
  }
  HFONT Font() const;
  // The part of the client area that shows rows (below the header).
  RECT RowsArea() const;
  RECT RowRectAt(int position) const;
  RECT CellRectAt(int position, int column) const;
  int PositionAt(POINT pt, int* column) const;
  grid_internal::CellParts PartsOf(int row, int column, const RECT& cell) const;
  // Nothing to do while redrawing is suspended: resuming redraws everything.
  void InvalidatePosition(int position);
  void InvalidateRow(int row) { InvalidatePosition(rows.PositionOf(row)); }
  // A top row's first check decides whether its child rows are locked, so they redraw too.
  void InvalidateFamily(int row);
  void EnsureColumnVisible(int position, int column);

  // List items
  void InsertItems(int position, int count);
  // Moves the selection and focus from one list position to another, as the rows move.
  void MoveSelection(int from, int to);
  void DeleteItems(int position, int count);
  void DeleteAllItems();
  // Rebuilds the list's items from the model; used when collapsed rows make a change
  // harder to follow item by item.
  void Resync(int selectedRow);
  int SelectedPosition() const;
  int SelectedRow() const { return rows.RowAt(SelectedPosition()); }
  void SelectPosition(int position);
  void ReportSelection();
  void OnItemChanged(const NMLISTVIEW& change);
  // Row numbers the grid remembers follow the rows when others come or go.
  void RowsInserted(int row);
  void RowsRemoved(int row, int span);

  // Expand and collapse
  void ExpandRow(int row, bool expand);

  // Drawing
  UINT RowHeightForFont() const;
  // A virtual list view asks its owner for no row height (WM_MEASUREITEM) after it is
  // created; it takes the height of its font or its image lists. So the grid gives it a
  // state image list of one blank column as tall as a row (a row needs room for the scaled
  // check boxes). The list draws no state images: the grid draws the cells.
  void UpdateRowHeight();
  void ReleaseRowSpacer();
  // The grid's own measures (check box, indent, padding) are given at 96 dots per inch.
  int Px(int pixels) const;
  void DrawRow(const DRAWITEMSTRUCT& draw);
  // color is the text's; lines the row's plain text colour, for the +/- box.
  void DrawCell(HDC dc, int row, int column, const RECT& cell, COLORREF color, COLORREF lines, bool active);
  static void DrawExpander(HDC dc, const RECT& box, bool expanded, COLORREF color);
  void FillDispInfo(NMLVDISPINFOW& info);

  // Checks
  bool ToggleCheck(int row, int column);

  // The first steps of an in-place edit or choice: ends what is open, asks the owner
  // (code: kGridBeginCellEdit or kGridBeginCellChoice) and brings the cell into view on the
  // selected row. Answers the cell's list position, or -1 when refused.
  int PrepareCell(int row, int column, UINT code);

  // In-place text editor
  bool BeginEdit(int row, int column);
  std::u16string EditorText() const;
  // Takes the editor window out of the state before it goes, so that the focus change its
  // destruction causes finds no edit to end.
  void DestroyEditor(bool focusList);
  void CloseEditorSilently();
  // Closes the choice drop-down, or ends a text edit as Enter would.
  void EndAnyEdit();
  // Enter, Tab or the loss of the focus: the text goes into the cell and the owner hears.
  void CommitEdit(bool focusList);
  // Escape: the owner hears first and may keep the edit going.
  void EscapeEdit();
  bool OnEditorKey(WPARAM key);
  static LRESULT CALLBACK EditorProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) noexcept;

  // In-place choice drop-down
  bool OpenChoice(int row, int column);
  void ApplyChoice();
  void CloseChoice();
  void SetChoice(int row, int column, int index);

  // Balloon
  void ShowBalloon(const std::u16string& text, POINT screen, UINT ms);
  void HideBalloon();

  // Mouse and keyboard
  void SetHover(int position);
  void SetCurrentColumn(int column);
  // A press on a cell: select the row, then act on the part that was hit. Answers false
  // when the press hit no row (the list view then handles it).
  bool OnLeftButton(POINT pt, bool doubleClick);
  // The cell that Tab or Shift+Tab reaches, or false at the end of the grid.
  bool NextCell(int step, int* position, int* column) const;
  void MoveToCell(int position, int column);
  void ActivateCurrent();
  bool OnKey(WPARAM key);
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                   DWORD_PTR data) noexcept;
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) noexcept;

  // Attach and detach
  // Replaces the list's columns with the grid's.
  void ApplyColumns();
  // The last column takes what the others leave of the client width.
  void FitLastColumn();
  bool Attach(HWND window);
  // While redrawing is suspended (the owner fills the grid) nothing the list or its owner
  // receives needs the grid: no drawing, no user input. Every message through a subclassed
  // window costs a property lookup (under Wine a trip to the server): ten thousand appended
  // rows, one count change each, took 1.4 s with the subclasses on and take milliseconds
  // with them lifted.
  void LiftSubclasses();
  void RestoreSubclasses();
  void Detach();
};

}  // namespace vellix
