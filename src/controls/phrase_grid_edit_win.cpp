// PhraseGrid: the in-place text editor, the choice drop-down and the balloon tip.

#include "controls/phrase_grid_state_win.h"

#include <algorithm>
#include <utility>

#include "base/boundary.h"
#include "base/wide.h"

namespace vellix {

using namespace grid_internal;

int PhraseGrid::State::PrepareCell(int row, int column, UINT code) {
  CloseChoice();
  CommitEdit(false);
  GridNotify n = At(row, column);
  n.locked = !IsEditable(row);
  if (Notify(code, n) != 0 || n.locked) return -1;
  if (!rows.Cell(row, column)) return -1;  // the owner may have changed the rows
  if (!rows.IsShown(row)) ExpandRow(row, true);
  const int position = rows.PositionOf(row);
  if (position != SelectedPosition()) SelectPosition(position);
  SendMessageW(list, LVM_ENSUREVISIBLE, position, FALSE);
  EnsureColumnVisible(position, column);
  return position;
}

bool PhraseGrid::State::BeginEdit(int row, int column) {
  if (!rows.IsValid(row) || !IsTextKind(Kind(column))) return false;
  const int position = PrepareCell(row, column, kGridBeginCellEdit);
  if (position < 0) return false;
  const GridCell* cell = rows.Cell(row, column);
  const RECT cellRect = CellRectAt(position, column);
  multiLine = Kind(column) == CellKind::CheckText;
  const GridRect place = multiLine
                             ? MultiLineEditorRect(ToGrid(cellRect), ToGrid(RowsArea()), cellRect.bottom - cellRect.top)
                             : SingleLineEditorRect(ToGrid(cellRect));
  DWORD style = WS_CHILD | WS_BORDER | WS_CLIPSIBLINGS | ES_LEFT | ES_NOHIDESEL;
  style |= multiLine ? (ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL) : ES_AUTOHSCROLL;
  const std::wstring text = ToWide(cell->text);
  HWND window = CreateWindowExW(0, L"EDIT", text.c_str(), style, place.left, place.top, place.Width(), place.Height(),
                                list, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
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

std::u16string PhraseGrid::State::EditorText() const {
  const int length = GetWindowTextLengthW(editor);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  const int got = GetWindowTextW(editor, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return ToU16(text);
}

void PhraseGrid::State::DestroyEditor(bool focusList) {
  HWND window = std::exchange(editor, nullptr);
  if (!window) return;
  if (focusList || GetFocus() == window) SetFocus(list);
  DestroyWindow(window);
}

void PhraseGrid::State::EndAnyEdit() {
  if (choiceEditor) {
    CloseChoice();
  } else {
    CommitEdit(true);
  }
}

void PhraseGrid::State::CloseEditorSilently() {
  choiceEditor = false;
  DestroyEditor(false);
}

void PhraseGrid::State::CommitEdit(bool focusList) {
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

void PhraseGrid::State::EscapeEdit() {
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

bool PhraseGrid::State::OnEditorKey(WPARAM key) {
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

LRESULT CALLBACK PhraseGrid::State::EditorProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                               DWORD_PTR data) noexcept {
  State* s = reinterpret_cast<State*>(data);
  try {
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
  } catch (...) {
    ReportCaughtException("phrase grid editor procedure");
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

bool PhraseGrid::State::OpenChoice(int row, int column) {
  if (!rows.IsValid(row) || Kind(column) != CellKind::Choice) return false;
  const int position = PrepareCell(row, column, kGridBeginCellChoice);
  if (position < 0) return false;
  const GridCell* cell = rows.Cell(row, column);
  const RECT place = CellRectAt(position, column);
  const int rowHeight = place.bottom - place.top;
  const auto& choices = columns[column].choices;
  const int height = rowHeight * (static_cast<int>(choices.size()) + 2) + 8;
  HWND combo =
      CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, place.left, place.top,
                      place.right - place.left, height, list, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
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

void PhraseGrid::State::ApplyChoice() {
  if (!editor || !choiceEditor) return;
  const int index = static_cast<int>(SendMessageW(editor, CB_GETCURSEL, 0, 0));
  GridCell* cell = rows.Cell(editRow, editColumn);
  if (!cell || index < 0 || index == cell->choice) return;
  SetChoice(editRow, editColumn, index);
  GridNotify n = At(editRow, editColumn);
  n.choice = index;
  Notify(kGridCellChoiceChanged, n);
}

void PhraseGrid::State::CloseChoice() {
  if (!editor || !choiceEditor) return;
  choiceEditor = false;
  DestroyEditor(false);
}

void PhraseGrid::State::SetChoice(int row, int column, int index) {
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

void PhraseGrid::State::ShowBalloon(const std::u16string& text, POINT screen, UINT ms) {
  if (!list) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = list;
  tool.uId = 1;
  balloonText = ToWide(text);
  tool.lpszText = balloonText.data();
  if (!balloon) {
    balloon =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_ALWAYSTIP,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr,
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

void PhraseGrid::State::HideBalloon() {
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

}  // namespace vellix
