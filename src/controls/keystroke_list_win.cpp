#include "controls/keystroke_list_win.h"

#include <commctrl.h>

#include "base/boundary.h"
#include "base/wide.h"
#include "win32/scoped_dc.h"

namespace vellix {
namespace {

// Subclass id of the list itself. Its parent (where the list view reports its item
// changes) is subclassed under the list's state as id, so that two lists of one parent
// each keep their own.
constexpr UINT_PTR kListSubclass = 0x4B4C;

// State image 1 is the unchecked box, 2 the checked one; 0 means no box yet.
int CheckImage(UINT state) { return int((state & LVIS_STATEIMAGEMASK) >> 12); }

}  // namespace

struct KeystrokeList::State {
  HWND list = nullptr;
  HWND parent = nullptr;
  std::u16string emptyText;
  // Set while the program itself changes a check, so that only the user's toggles are
  // reported.
  bool settingCheck = false;
  bool sizingColumn = false;

  static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                   DWORD_PTR data) noexcept;
  // Nothing in it can throw.
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                     DWORD_PTR data) noexcept;
  void Detach();
  void ReportToggle(const NMLISTVIEW& change) const;
};

void KeystrokeList::State::Detach() {
  if (list) RemoveWindowSubclass(list, &State::ListProc, kListSubclass);
  if (parent) RemoveWindowSubclass(parent, &State::ParentProc, reinterpret_cast<UINT_PTR>(this));
  list = nullptr;
  parent = nullptr;
}

void KeystrokeList::State::ReportToggle(const NMLISTVIEW& change) const {
  KeystrokeToggle toggle{};
  toggle.hdr.hwndFrom = list;
  toggle.hdr.idFrom = UINT_PTR(GetDlgCtrlID(list));
  toggle.hdr.code = kKeystrokeCheckToggled;
  toggle.item = change.iItem;
  toggle.checked = CheckImage(change.uNewState) == 2;
  SendMessageW(parent, WM_NOTIFY, toggle.hdr.idFrom, reinterpret_cast<LPARAM>(&toggle));
}

LRESULT CALLBACK KeystrokeList::State::ListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                                UINT_PTR id, DWORD_PTR data) noexcept {
  auto* state = reinterpret_cast<State*>(data);
  switch (message) {
    case WM_PAINT: {
      const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
      try {
        if (ListView_GetItemCount(hwnd) == 0 && !state->emptyText.empty()) {
          if (const WindowDC dc(hwnd); dc) KeystrokeList::PaintEmptyText(hwnd, state->emptyText, dc.get());
        }
      } catch (...) {
        ReportCaughtException("keystroke list procedure");
      }
      return result;
    }
    case WM_SIZE: {
      const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
      // The empty-list text is centred: redraw it all when the width changes.
      if (ListView_GetItemCount(hwnd) == 0) InvalidateRect(hwnd, nullptr, TRUE);
      // A single column follows the client width, also when a vertical scroll bar comes
      // or goes, so that no horizontal one is ever needed.
      const HWND header = ListView_GetHeader(hwnd);
      if (header && Header_GetItemCount(header) == 1 && !state->sizingColumn) {
        state->sizingColumn = true;
        RECT client{};
        GetClientRect(hwnd, &client);
        ListView_SetColumnWidth(hwnd, 0, client.right - client.left);
        state->sizingColumn = false;
      }
      return result;
    }
    case WM_NCDESTROY:
      state->Detach();
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK KeystrokeList::State::ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                                  UINT_PTR id, DWORD_PTR data) noexcept {
  auto* state = reinterpret_cast<State*>(data);
  if (message == WM_NOTIFY && lparam) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(lparam);
    if (hdr->hwndFrom == state->list && hdr->code == LVN_ITEMCHANGED && !state->settingCheck) {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
      const int before = CheckImage(change->uOldState);
      const int after = CheckImage(change->uNewState);
      // A box that appears (0 -> 1) is the control's own set-up, not a toggle.
      if ((change->uChanged & LVIF_STATE) && before != 0 && after != 0 && before != after) {
        const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
        state->ReportToggle(*change);
        return result;
      }
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &State::ParentProc, id);
    state->parent = nullptr;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

KeystrokeList::KeystrokeList() : state_(std::make_unique<State>()) {}

KeystrokeList::~KeystrokeList() { state_->Detach(); }

bool KeystrokeList::Attach(HWND list) {
  state_->Detach();
  const HWND parent = list ? GetParent(list) : nullptr;
  if (!parent) return false;
  const auto data = reinterpret_cast<DWORD_PTR>(state_.get());
  if (!SetWindowSubclass(list, &State::ListProc, kListSubclass, data)) return false;
  state_->list = list;
  if (!SetWindowSubclass(parent, &State::ParentProc, data, data)) {
    state_->Detach();
    return false;
  }
  state_->parent = parent;
  const DWORD styles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
  ListView_SetExtendedListViewStyleEx(list, styles, styles);
  return true;
}

HWND KeystrokeList::hwnd() const { return state_->list; }

void KeystrokeList::SetEmptyText(const std::u16string& text) {
  state_->emptyText = text;
  if (state_->list && Count() == 0) InvalidateRect(state_->list, nullptr, TRUE);
}

const std::u16string& KeystrokeList::EmptyText() const { return state_->emptyText; }

bool KeystrokeList::ShowsEmptyText() const {
  return state_->list && Count() == 0 && !state_->emptyText.empty();
}

int KeystrokeList::Count() const { return state_->list ? ListView_GetItemCount(state_->list) : 0; }

int KeystrokeList::Append(const std::u16string& text, bool checked) {
  if (!state_->list) return -1;
  const bool wasEmpty = Count() == 0;
  std::wstring buffer = ToWide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = Count();
  item.pszText = buffer.data();
  state_->settingCheck = true;
  const int index = int(SendMessageW(state_->list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index >= 0) ListView_SetCheckState(state_->list, index, checked);
  state_->settingCheck = false;
  if (wasEmpty) InvalidateRect(state_->list, nullptr, TRUE);  // wipe the empty-list text
  return index;
}

void KeystrokeList::Remove(int item) {
  if (!state_->list || item < 0 || item >= Count()) return;
  ListView_DeleteItem(state_->list, item);
  if (Count() == 0) InvalidateRect(state_->list, nullptr, TRUE);
}

void KeystrokeList::Clear() {
  if (!state_->list) return;
  ListView_DeleteAllItems(state_->list);
  InvalidateRect(state_->list, nullptr, TRUE);
}

std::u16string KeystrokeList::Text(int item) const {
  if (!state_->list || item < 0 || item >= Count()) return {};
  // The list view answers how many characters it copied; grow until the text fits.
  for (int size = 256;; size *= 2) {
    std::wstring buffer(size_t(size), L'\0');
    LVITEMW request{};
    request.iSubItem = 0;
    request.pszText = buffer.data();
    request.cchTextMax = size;
    const int length = int(SendMessageW(state_->list, LVM_GETITEMTEXTW, WPARAM(item),
                                        reinterpret_cast<LPARAM>(&request)));
    if (length < size - 1 || size >= (1 << 20)) {
      buffer.resize(size_t(length < 0 ? 0 : length));
      return ToU16(buffer);
    }
  }
}

bool KeystrokeList::Checked(int item) const {
  return state_->list && item >= 0 && item < Count() && ListView_GetCheckState(state_->list, item) != 0;
}

void KeystrokeList::SetCheck(int item, bool checked) {
  if (!state_->list || item < 0 || item >= Count()) return;
  state_->settingCheck = true;
  ListView_SetCheckState(state_->list, item, checked);
  state_->settingCheck = false;
}

int KeystrokeList::SelectionMark() const {
  return state_->list ? ListView_GetSelectionMark(state_->list) : -1;
}

void KeystrokeList::PaintEmptyText(HWND list, const std::u16string& text, HDC dc) {
  RECT area{};
  GetClientRect(list, &area);
  // Below the column header, as the items would start.
  if (HWND header = ListView_GetHeader(list); header && IsWindowVisible(header)) {
    RECT headerRect{};
    GetWindowRect(header, &headerRect);
    area.top += headerRect.bottom - headerRect.top;
  }
  InflateRect(&area, -4, 0);
  area.top += 8;
  if (area.right <= area.left || area.bottom <= area.top) return;
  const ScopedSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const std::wstring wide = ToWide(text);
  DrawTextW(dc, wide.c_str(), int(wide.size()), &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

}  // namespace vellix
