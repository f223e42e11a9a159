#include "picker/picker_window_win.h"

#include <algorithm>
#include <utility>

#include "base/boundary.h"
#include "base/number_text.h"
#include "base/wide.h"
#include "lang/language_win.h"
#include "resource.h"
#include "services/settings.h"
#include "win32/dpi_win.h"
#include "win32/scoped_dc.h"
#include "win32/window_helpers_win.h"

namespace vellix {
namespace {

HWND g_open_picker = nullptr;  // user-interface thread only

constexpr char16_t kPlacementName[] = u"PickerWindowPos";
constexpr UINT_PTR kSearchSubclass = 1;
enum Column { kKeystrokeColumn = 0, kPhraseColumn = 1, kUsageColumn = 2 };

int Scale(int value, int dpi) { return MulDiv(value, dpi, 96); }

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

bool WorkAreaAt(POINT point, Rect& area) {
  MONITORINFO info{sizeof info};
  if (!GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info)) return false;
  area = ToRect(info.rcWork);
  return true;
}

void InsertColumn(HWND list, int index, uint32_t textId, int format) {
  std::u16string text = GetLocalizedString(textId);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
  column.fmt = format;
  column.cx = 50;
  column.pszText = AsWide(text.data());
  ListView_InsertColumn(list, index, &column);
}

}  // namespace

void UpperInvariantText(std::u16string& text) {
  if (text.empty()) return;
  const int length = static_cast<int>(text.size());
  // Upper case maps each UTF-16 unit to one unit, so the text keeps its length.
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, AsWide(text.c_str()), length, AsWide(text.data()), length);
}

HWND GetOpenPickerWindow() { return g_open_picker && IsWindow(g_open_picker) ? g_open_picker : nullptr; }

bool RunPhrasePicker(const PickerSource& source, const PickerOpening& opening, uint32_t& chosen) {
  if (HWND open = GetOpenPickerWindow()) {
    BringToFront(open);
    return false;
  }
  if (!source.search || !source.describe) return false;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  PickerWindow window(source, opening);
  if (window.RunModal(nullptr) != IDOK) return false;
  chosen = window.Chosen();
  return true;
}

PickerWindow::PickerWindow(PickerSource source, PickerOpening opening)
    : LocalizedDialog(IDD_PICKER), source_(std::move(source)), opening_(opening) {
  ExcludeFromTranslation(IDC_PICKER_SEARCH);
  ExcludeFromTranslation(IDC_PICKER_LIST);
  ExcludeFromTranslation(IDC_PICKER_EMPTY);
}

PickerWindow::~PickerWindow() { Destroy(); }

bool PickerWindow::OnInitDialog() {
  LocalizedDialog::OnInitDialog();
  g_open_picker = hwnd();
  search_ = Item(IDC_PICKER_SEARCH);
  list_ = Item(IDC_PICKER_LIST);
  empty_ = Item(IDC_PICKER_EMPTY);
  const std::u16string cue = GetLocalizedString(IDS_PICKER_CUE);
  SendMessageW(search_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue.c_str()));
  SetWindowTextW(empty_, AsWide(GetLocalizedString(IDS_PICKER_NO_MATCH).c_str()));
  SetWindowSubclass(search_, &PickerWindow::SearchProc, kSearchSubclass, reinterpret_cast<DWORD_PTR>(this));
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  InsertColumn(list_, kKeystrokeColumn, IDS_KEYSTROKES, LVCFMT_LEFT);
  InsertColumn(list_, kPhraseColumn, IDS_PHRASE, LVCFMT_LEFT);
  InsertColumn(list_, kUsageColumn, IDS_USAGE_COUNT, LVCFMT_RIGHT);
  Place();
  Layout();
  Refilter();
  BringToFront(hwnd());
  SetFocus(search_);
  return false;  // the focus is set
}

void PickerWindow::Place() {
  RECT current{};
  GetWindowRect(hwnd(), &current);
  WindowPlacement saved;
  const bool haveSaved = Settings::Instance().LoadPlacement(saved, kPlacementName);
  RECT savedRect{saved.left, saved.top, saved.right, saved.bottom};
  const int dpi = WindowDpi(hwnd());
  const int minWidth = Scale(240, dpi), minHeight = Scale(140, dpi);
  int width = current.right - current.left, height = current.bottom - current.top;
  if (haveSaved && saved.right - saved.left >= minWidth && saved.bottom - saved.top >= minHeight) {
    width = saved.right - saved.left;
    height = saved.bottom - saved.top;
  }
  Rect area;
  Rect place;
  if (opening_.haveCaret && WorkAreaAt(opening_.caret, area)) {
    place = PickerRectNear(opening_.caret.x, opening_.caret.y, width, height, Scale(20, dpi), area);
  } else if (haveSaved && MonitorFromRect(&savedRect, MONITOR_DEFAULTTONULL)) {
    place = Rect{saved.left, saved.top, saved.left + width, saved.top + height};
  } else {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (!WorkAreaAt(cursor, area)) return;
    place = PickerRectNear(cursor.x, cursor.y + Scale(16, dpi), width, height, Scale(20, dpi), area);
  }
  SetWindowPos(hwnd(), HWND_TOPMOST, place.left, place.top, place.Width(), place.Height(), SWP_NOACTIVATE);
}

void PickerWindow::Layout() {
  if (!search_ || !list_) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int dpi = WindowDpi(hwnd());
  const int margin = Scale(4, dpi);
  RECT edit{};
  GetWindowRect(search_, &edit);
  const int editHeight = edit.bottom - edit.top;
  const int width = std::max(0, int(client.right) - 2 * margin);
  MoveWindow(search_, margin, margin, width, editHeight, TRUE);
  const int listTop = 2 * margin + editHeight;
  const int listHeight = std::max(0, int(client.bottom) - listTop - margin);
  MoveWindow(list_, margin, listTop, width, listHeight, TRUE);
  MoveWindow(empty_, margin + Scale(8, dpi), listTop + Scale(28, dpi), std::max(0, width - Scale(16, dpi)),
             Scale(20, dpi), TRUE);
  SetColumns();
}

void PickerWindow::SetColumns() {
  RECT client{};
  GetClientRect(list_, &client);
  const int dpi = WindowDpi(hwnd());
  // The usage column is as wide as its caption (a translation may be longer).
  const std::u16string caption = GetLocalizedString(IDS_USAGE_COUNT);
  const int usage = std::max(Scale(64, dpi), ListView_GetStringWidth(list_, AsWide(caption.c_str())) + Scale(16, dpi));
  const int rest = std::max(0, int(client.right) - usage);
  const int keys = rest * 3 / 10;
  ListView_SetColumnWidth(list_, kKeystrokeColumn, keys);
  ListView_SetColumnWidth(list_, kPhraseColumn, rest - keys);
  ListView_SetColumnWidth(list_, kUsageColumn, usage);
}

void PickerWindow::Refilter() {
  const std::u16string query = WindowText(search_);
  hits_ = source_.search->Find(query);
  ListView_SetItemCountEx(list_, static_cast<int>(hits_.size()), 0);
  Select(hits_.empty() ? -1 : 0);
  InvalidateRect(list_, nullptr, TRUE);
  // The line lies over the list: it comes to the top of its siblings when shown.
  if (hits_.empty()) {
    SetWindowPos(empty_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  } else {
    ShowWindow(empty_, SW_HIDE);
  }
}

void PickerWindow::Select(int item) {
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (item < 0) return;
  ListView_SetItemState(list_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, item, FALSE);
}

bool PickerWindow::RowAt(int item, PickerRow& row) const {
  if (item < 0 || static_cast<size_t>(item) >= hits_.size()) return false;
  return source_.describe(hits_[static_cast<size_t>(item)].id, row);
}

LRESULT CALLBACK PickerWindow::SearchProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                          DWORD_PTR data) noexcept {
  try {
    auto* self = reinterpret_cast<PickerWindow*>(data);
    if (message == WM_KEYDOWN && (wparam == VK_UP || wparam == VK_DOWN || wparam == VK_PRIOR || wparam == VK_NEXT)) {
      // The list moves while the search box keeps the keyboard, so that typing goes on.
      const int count = static_cast<int>(self->hits_.size());
      if (count == 0) return 0;
      const int page = std::max(1, ListView_GetCountPerPage(self->list_) - 1);
      int item = ListView_GetNextItem(self->list_, -1, LVNI_SELECTED);
      if (wparam == VK_UP) item -= 1;
      else if (wparam == VK_DOWN) item += 1;
      else if (wparam == VK_PRIOR) item -= page;
      else item += page;
      self->Select(std::clamp(item, 0, count - 1));
      return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &PickerWindow::SearchProc, id);
  } catch (...) {
    ReportCaughtException("picker search box");
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

bool PickerWindow::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_PICKER_SEARCH && code == EN_CHANGE) {
    Refilter();
    return true;
  }
  return LocalizedDialog::OnCommand(id, code, control);
}

void PickerWindow::OnOK() {
  const int item = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (item < 0 || static_cast<size_t>(item) >= hits_.size()) {
    MessageBeep(MB_OK);
    return;
  }
  chosen_ = hits_[static_cast<size_t>(item)].id;
  closing_ = true;
  SavePlacement();
  End(IDOK);
}

void PickerWindow::OnCancel() {
  if (closing_) return;
  closing_ = true;
  SavePlacement();
  End(IDCANCEL);
}

void PickerWindow::SavePlacement() {
  RECT r{};
  if (IsIconic(hwnd()) || !GetWindowRect(hwnd(), &r)) return;
  Settings::Instance().SavePlacement(WindowPlacement{r.left, r.top, r.right, r.bottom}, kPlacementName);
}

INT_PTR PickerWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (message) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->hwndFrom != list_) return 0;
      handled = true;
      return OnListNotify(header);  // the dialog base hands it back through DWLP_MSGRESULT
    }
    case WM_ACTIVATE:
      // A click elsewhere closes the picker, as it closes a menu.
      if (LOWORD(wparam) == WA_INACTIVE) {
        if (wasActive_ && !closing_) PostMessageW(hwnd(), WM_COMMAND, IDCANCEL, 0);
      } else {
        wasActive_ = true;
      }
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      const int dpi = WindowDpi(hwnd());
      info->ptMinTrackSize.x = Scale(240, dpi);
      info->ptMinTrackSize.y = Scale(140, dpi);
      handled = true;
      return 0;
    }
    case WM_DPICHANGED: {
      // Per-monitor DPI: the system proposes the rectangle at the new scale.
      const auto* proposed = reinterpret_cast<const RECT*>(lparam);
      bold_.reset();
      SetWindowPos(hwnd(), nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                   proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      handled = true;
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT PickerWindow::OnListNotify(NMHDR* header) {
  switch (header->code) {
    case NM_CUSTOMDRAW: {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
      if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return DrawSubItem(draw);
      return CDRF_DODEFAULT;
    }
    case LVN_GETDISPINFOW: {
      // The texts for whoever reads the list (screen readers); the drawing is our own.
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return 0;
      PickerRow row;
      std::u16string text;
      if (RowAt(info->item.iItem, row)) {
        text = info->item.iSubItem == kKeystrokeColumn ? row.keystrokes
               : info->item.iSubItem == kPhraseColumn  ? row.firstLine
                                                       : Decimal(row.usage);
      }
      const size_t length = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax - 1));
      std::copy_n(text.data(), length, AsU16(info->item.pszText));
      info->item.pszText[length] = L'\0';
      return 0;
    }
    case NM_DBLCLK: {
      const auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
      if (activate->iItem >= 0) {
        Select(activate->iItem);
        OnOK();
      }
      return 0;
    }
    case NM_CLICK:
      SetFocus(search_);  // typing goes on in the search box
      return 0;
    default:
      return 0;
  }
}

LRESULT PickerWindow::DrawSubItem(NMLVCUSTOMDRAW* draw) {
  const int item = static_cast<int>(draw->nmcd.dwItemSpec);
  PickerRow row;
  if (!RowAt(item, row)) return CDRF_DODEFAULT;
  RECT box{};
  if (draw->iSubItem == 0) {
    // The first column's bounds are the whole row's; its label is the column itself.
    ListView_GetItemRect(list_, item, &box, LVIR_BOUNDS);
    box.right = box.left + ListView_GetColumnWidth(list_, kKeystrokeColumn);
  } else {
    ListView_GetSubItemRect(list_, item, draw->iSubItem, LVIR_BOUNDS, &box);
  }
  const bool selected = ListView_GetItemState(list_, item, LVIS_SELECTED) != 0;
  const HDC dc = draw->nmcd.hdc;
  FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  const int padding = Scale(6, WindowDpi(hwnd()));
  box.left += padding;
  box.right -= padding;
  if (draw->iSubItem == kUsageColumn) {
    const std::u16string usage = Decimal(row.usage);
    DrawTextW(dc, AsWide(usage.c_str()), static_cast<int>(usage.size()), &box,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  } else {
    DrawEmphasised(dc, box, draw->iSubItem == kKeystrokeColumn ? row.keystrokes : row.firstLine);
  }
  return CDRF_SKIPDEFAULT;
}

// The text with the words of the query in bold, cut at the box's right edge.
void PickerWindow::DrawEmphasised(HDC dc, RECT box, const std::u16string& text) {
  const auto normal = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
  if (!bold_) bold_ = MakeBoldFont(normal);
  const HFONT boldFont = bold_ ? bold_.get() : normal;
  std::vector<Emphasis> marks = source_.search->EmphasisIn(text);
  ScopedSelectObject keep(dc, normal);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int top = box.top + (box.bottom - box.top - metrics.tmHeight) / 2;
  int x = box.left;
  size_t at = 0;
  auto draw = [&](size_t begin, size_t end, HFONT font) {
    if (begin >= end || x >= box.right) return;
    SelectObject(dc, font);
    const auto* start = AsWide(text.data() + begin);
    const int count = static_cast<int>(end - begin);
    SIZE size{};
    GetTextExtentPoint32W(dc, start, count, &size);
    ExtTextOutW(dc, x, top, ETO_CLIPPED, &box, start, static_cast<UINT>(count), nullptr);
    x += size.cx;
  };
  for (const Emphasis& mark : marks) {
    const size_t begin = std::min(mark.begin, text.size());
    const size_t end = std::min(mark.begin + mark.length, text.size());
    if (begin < at) continue;
    draw(at, begin, normal);
    draw(begin, end, boldFont);
    at = end;
  }
  draw(at, text.size(), normal);
}

void PickerWindow::OnDestroy() {
  if (g_open_picker == hwnd()) g_open_picker = nullptr;
}

}  // namespace vellix
