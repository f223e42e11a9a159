#include "editor/program_rule_controls_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/messages.h"
#include "base/wide.h"
#include "lang/language_win.h"
#include "lang/localized_dialog_win.h"
#include "resource.h"
#include "services/excluded_programs.h"
#include "win32/program_windows_win.h"

namespace vellix {
namespace {

// Changes the enabled state only when it differs: the refresh runs before every message.
void SetEnabled(HWND control, bool on) {
  if (control && (IsWindowEnabled(control) != FALSE) != on) EnableWindow(control, on);
}

// A menu takes "&" for the mark of the access key: "&&" shows one.
std::u16string MenuText(std::u16string_view text) {
  std::u16string shown;
  for (char16_t unit : text) shown += unit == u'&' ? std::u16string(u"&&") : std::u16string(1, unit);
  return shown;
}

}  // namespace

void ProgramRuleControls::SetUp(HWND panel) {
  panel_ = panel;
  mode_box_ = GetDlgItem(panel, IDC_RULE_MODE);
  SendMessageW(mode_box_, CB_RESETCONTENT, 0, 0);
  for (uint32_t id : {IDS_RULE_EVERYWHERE, IDS_RULE_ONLY_IN, IDS_RULE_NEVER_IN}) {
    const std::u16string text = GetLocalizedString(id);
    SendMessageW(mode_box_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(text.c_str())));
  }
  SendMessageW(mode_box_, CB_SETCURSEL, 0, 0);

  const HWND list = GetDlgItem(panel, IDC_PROGRAM_LIST);
  list_.Attach(list);
  list_.SetEmptyText(GetLocalizedString(IDS_NO_PROGRAMS));
  RECT client{};
  GetClientRect(list, &client);
  std::wstring caption = ToWide(GetLocalizedString(IDS_PROGRAMS));
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = caption.data();
  column.cx = client.right - client.left;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  mode_ = ProgramRuleMode::kEverywhere;
  include_.clear();
  exclude_.clear();
  adding_ = false;
  RefreshNote();
}

void ProgramRuleControls::Show(const Phrase& phrase) {
  adding_ = false;
  mode_ = RuleModeOf(phrase);
  include_ = phrase.Include();
  exclude_ = phrase.Exclude();
  SendMessageW(mode_box_, CB_SETCURSEL, WPARAM(mode_), 0);
  FillList();
  Enable(enabled_);
}

void ProgramRuleControls::StoreInto(Phrase& phrase) const {
  phrase.SetUseWithList(UseWithListOf(mode_));
  phrase.Include() = include_;
  phrase.Exclude() = exclude_;
  if (!ListApplies()) return;
  std::vector<KeystrokeItem> items;
  for (int i = 0; i < list_.Count(); ++i) items.push_back({list_.Text(i), list_.Checked(i)});
  StoreProgramList(items, mode_ == ProgramRuleMode::kOnlyIn ? phrase.Include() : phrase.Exclude());
}

void ProgramRuleControls::KeepList() {
  if (!ListApplies()) return;
  std::vector<KeystrokeItem> items;
  for (int i = 0; i < list_.Count(); ++i) items.push_back({list_.Text(i), list_.Checked(i)});
  StoreProgramList(items, mode_ == ProgramRuleMode::kOnlyIn ? include_ : exclude_);
}

void ProgramRuleControls::FillList() {
  list_.Clear();
  if (ListApplies()) {
    for (const auto& [name, enabled] : mode_ == ProgramRuleMode::kOnlyIn ? include_ : exclude_)
      list_.Append(name, enabled != 0);
  }
  RefreshNote();
}

void ProgramRuleControls::RefreshNote() {
  bool nowhere = mode_ == ProgramRuleMode::kOnlyIn;
  for (int i = 0; nowhere && i < list_.Count(); ++i) {
    if (list_.Checked(i) && !list_.Text(i).empty()) nowhere = false;
  }
  const std::u16string text = nowhere ? GetLocalizedString(IDS_FIRES_NOWHERE) : std::u16string();
  if (const HWND note = GetDlgItem(panel_, IDC_RULE_NOTE); note && WindowText(note) != text)
    SetWindowTextW(note, AsWide(text.c_str()));
}

void ProgramRuleControls::Enable(bool on) {
  enabled_ = on;
  SetEnabled(mode_box_, on);
  SetEnabled(list_.hwnd(), on && ListApplies());
  SetEnabled(GetDlgItem(panel_, IDC_RULE_NOTE), on);
  RefreshCommandStates();
}

void ProgramRuleControls::RefreshCommandStates() {
  if (!panel_ || !list_.hwnd()) return;
  const bool listOn = enabled_ && ListApplies() && IsWindowEnabled(list_.hwnd());
  const HWND remove = GetDlgItem(panel_, IDC_REMOVE_PROGRAM);
  const bool removeOn = listOn && SelectedProgram() >= 0;
  // A button that loses its state while it has the focus would leave the keyboard nowhere.
  if (!removeOn && GetFocus() == remove && listOn) SetFocus(list_.hwnd());
  SetEnabled(GetDlgItem(panel_, IDC_ADD_PROGRAM), listOn);
  SetEnabled(remove, removeOn);
}

int ProgramRuleControls::SelectedProgram() const {
  const int mark = list_.SelectionMark();
  if (mark < 0 || mark >= list_.Count()) return -1;
  return (ListView_GetItemState(list_.hwnd(), mark, LVIS_SELECTED) & LVIS_SELECTED) ? mark : -1;
}

int ProgramRuleControls::FindProgram(std::u16string_view name) const {
  for (int i = 0; i < list_.Count(); ++i) {
    if (SameProgram(list_.Text(i), name, AsciiUpper)) return i;
  }
  return -1;
}

void ProgramRuleControls::Select(int item) {
  const HWND list = list_.hwnd();
  ListView_SetSelectionMark(list, item);
  if (item >= 0) {
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, item, FALSE);
  }
}

bool ProgramRuleControls::AddProgram(std::u16string_view typed) {
  if (!ListApplies() || !IsWindowEnabled(list_.hwnd())) return false;
  const std::u16string name = ProgramNameFromInput(typed);
  if (name.empty()) return false;
  int item = FindProgram(name);
  if (item >= 0) {
    list_.SetCheck(item, true);
  } else {
    item = list_.Append(name, true);
  }
  Select(item);
  RefreshNote();
  return true;
}

void ProgramRuleControls::BeginTypedProgram() {
  const HWND list = list_.hwnd();
  if (!ListApplies() || !list || !IsWindowEnabled(list)) return;
  const int item = list_.Append(std::u16string(), true);
  if (item < 0) return;
  Select(item);
  SetFocus(list);
  adding_ = true;
  if (!ListView_EditLabel(list, item)) {
    adding_ = false;
    list_.Remove(item);
  }
}

void ProgramRuleControls::RemoveSelectedProgram() {
  const int item = SelectedProgram();
  if (item < 0) return;
  list_.Remove(item);
  const int next = std::min(item, list_.Count() - 1);
  Select(next);
  RefreshNote();
}

void ProgramRuleControls::RemoveEmptyProgram(int item) {
  if (item >= 0 && item < list_.Count() && list_.Text(item).empty()) {
    list_.Remove(item);
    Select(std::min(item, list_.Count() - 1));
    RefreshNote();
  }
}

bool ProgramRuleControls::OnEndLabelEdit(const NMLVDISPINFOW& info, bool& changed) {
  const bool wasAdding = adding_;
  adding_ = false;
  const int item = info.item.iItem;
  const std::u16string name = info.item.pszText ? ProgramNameFromInput(AsU16(info.item.pszText)) : std::u16string();
  const int other = name.empty() ? -1 : FindProgram(name);
  if (name.empty() || (other >= 0 && other != item)) {
    // Cancelled, empty, no program's name, or a program listed already: an existing entry
    // stays as it was, a new one goes (after the list has finished its edit).
    if (info.item.pszText && info.item.pszText[0] != L'\0' && name.empty()) MessageBeep(MB_ICONWARNING);
    if (wasAdding) PostMessageW(panel_, kPanelRemoveEmptyProgramMessage, WPARAM(item), 0);
    if (other >= 0 && other != item) {
      list_.SetCheck(other, true);
      changed = true;
    }
    return false;
  }
  // The name as taken ("C:\Tools\app.exe" gives "app.exe") replaces what was typed.
  ListView_SetItemText(list_.hwnd(), item, 0, const_cast<wchar_t*>(AsWide(name.c_str())));
  changed = true;
  RefreshNote();
  return false;
}

LRESULT ProgramRuleControls::OnNotify(const NMHDR& hdr, bool& handled, bool& changed) {
  if (hdr.hwndFrom != list_.hwnd()) return 0;
  switch (hdr.code) {
    case LVN_BEGINLABELEDITW:
      handled = true;
      return FALSE;
    case LVN_ENDLABELEDITW:
      handled = true;
      return OnEndLabelEdit(*reinterpret_cast<const NMLVDISPINFOW*>(&hdr), changed) ? TRUE : FALSE;
    case kKeystrokeCheckToggled:
      handled = true;
      changed = true;
      RefreshNote();
      return 0;
    default:
      return 0;
  }
}

UniqueMenu ProgramRuleControls::CreateAddMenu(const std::vector<std::u16string>& openPrograms) const {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  const std::u16string typed = GetLocalizedString(IDS_TYPE_PROGRAM_NAME);
  AppendMenuW(menu.get(), MF_STRING, ID_ADD_PROGRAM_BY_NAME, AsWide(typed.c_str()));
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  if (openPrograms.empty()) {
    const std::u16string none = GetLocalizedString(IDS_NO_OPEN_PROGRAMS);
    AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, 0, AsWide(none.c_str()));
  }
  const size_t room = ID_ADD_OPEN_PROGRAM_END - ID_ADD_OPEN_PROGRAM_FIRST;
  for (size_t i = 0; i < std::min(openPrograms.size(), room); ++i) {
    const std::u16string text = MenuText(openPrograms[i]);
    // A program listed already is shown with its mark, and choosing it checks its entry.
    const UINT flags = MF_STRING | (FindProgram(openPrograms[i]) >= 0 ? MF_CHECKED : 0);
    AppendMenuW(menu.get(), flags, UINT_PTR(ID_ADD_OPEN_PROGRAM_FIRST + i), AsWide(text.c_str()));
  }
  return menu;
}

bool ProgramRuleControls::ShowAddMenu() {
  const std::vector<std::u16string> open = openPrograms_ ? openPrograms_() : ProgramsWithOpenWindows();
  const UniqueMenu menu = CreateAddMenu(open);
  if (!menu) return false;
  RECT button{};
  GetWindowRect(GetDlgItem(panel_, IDC_ADD_PROGRAM), &button);
  const UINT command = UINT(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, button.left,
                                           button.bottom, 0, panel_, nullptr));
  if (command == ID_ADD_PROGRAM_BY_NAME) {
    BeginTypedProgram();
    return false;  // reported when the name has been typed
  }
  if (command >= ID_ADD_OPEN_PROGRAM_FIRST && command < ID_ADD_OPEN_PROGRAM_FIRST + open.size())
    return AddProgram(open[command - ID_ADD_OPEN_PROGRAM_FIRST]);
  return false;
}

bool ProgramRuleControls::OnCommand(WORD id, WORD code) {
  switch (id) {
    case IDC_RULE_MODE:
      if (code != CBN_SELCHANGE) return false;
      {
        const LRESULT chosen = SendMessageW(mode_box_, CB_GETCURSEL, 0, 0);
        if (chosen < 0 || chosen > 2 || ProgramRuleMode(chosen) == mode_) return false;
        KeepList();
        mode_ = ProgramRuleMode(chosen);
        FillList();
        Enable(enabled_);
      }
      return true;
    case IDC_ADD_PROGRAM:
      return code == BN_CLICKED && ShowAddMenu();
    case IDC_REMOVE_PROGRAM:
      if (code != BN_CLICKED || SelectedProgram() < 0) return false;
      RemoveSelectedProgram();
      return true;
    default:
      return false;
  }
}

void ProgramRuleControls::ShowContextMenu(LPARAM position) {
  POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == LPARAM(-1)) {
    RECT rect{};
    const int item = SelectedProgram();
    if (item < 0 || !ListView_GetItemRect(list_.hwnd(), item, &rect, LVIR_LABEL)) GetClientRect(list_.hwnd(), &rect);
    at = {rect.left + 8, rect.top + 8};
    ClientToScreen(list_.hwnd(), &at);
  }
  RefreshCommandStates();
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  for (int id : {IDC_ADD_PROGRAM, IDC_REMOVE_PROGRAM}) {
    const HWND button = GetDlgItem(panel_, id);
    const std::u16string text = WindowText(button);
    const UINT flags = MF_STRING | (IsWindowEnabled(button) ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(menu.get(), flags, UINT_PTR(id), AsWide(text.c_str()));
  }
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, panel_, nullptr);
}

}  // namespace vellix
