#include "editor/phrase_details_panel_win.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/wide.h"
#include "editor/details_layout.h"
#include "editor/details_texts.h"
#include "lang/language_win.h"
#include "phrases/phrase.h"
#include "resource.h"
#include "services/clipboard_win.h"
#include "win32/dpi_win.h"
#include "win32/window_helpers_win.h"

namespace vellix {
namespace {

constexpr int kCaretLeftMax = 100;

// A child's rectangle in its parent's client coordinates.
Rect ChildRect(HWND parent, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void Place(HWND control, int x, int y, int width, int height) {
  SetWindowPos(control, nullptr, x, y, std::max(width, 0), std::max(height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

// Changes the enabled state only when it differs: the refresh runs before every message.
void SetEnabled(HWND control, bool on) {
  if (control && (IsWindowEnabled(control) != FALSE) != on) EnableWindow(control, on);
}

void SetText(HWND window, const std::u16string& text) { SetWindowTextW(window, AsWide(text.c_str())); }

}  // namespace

PhraseDetailsPanel::PhraseDetailsPanel() : LocalizedDialog(IDD_DETAILS_PANEL) {}

HWND PhraseDetailsPanel::Create(HWND frame, HWND notifyTarget) {
  frame_ = frame;
  notifyTarget_ = notifyTarget;
  return CreateModeless(frame);
}

bool PhraseDetailsPanel::OnInitDialog() {
  // The editor may create the panel again with the same object: start afresh.
  phraseId_ = 0;
  loading_ = true;
  adding_ = false;
  defaultKeystroke_.clear();
  pendingChanges_ = 0;
  pendingTests_.clear();
  LocalizedDialog::OnInitDialog();
  SetUpControls();
  return false;  // the editor decides where the focus goes
}

void PhraseDetailsPanel::SetUpControls() {
  // A child panel inside the frame: no border of its own.
  SetWindowLongPtrW(hwnd(), GWL_STYLE,
                    GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~LONG_PTR(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME));
  SetWindowLongPtrW(hwnd(), GWL_EXSTYLE,
                    GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) &
                        ~LONG_PTR(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME));
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  const HWND list = Item(IDC_KEYSTROKE_LIST);
  list_.Attach(list);
  list_.SetEmptyText(GetLocalizedString(IDS_NO_KEYSTROKES));
  RECT client{};
  GetClientRect(list, &client);
  std::wstring caption = ToWide(GetLocalizedString(IDS_KEYSTROKES));
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = caption.data();
  column.cx = Width(client);
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  // Tooltips for the two buttons; the control subclasses them to see the mouse.
  toolTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, ResourceModule(), nullptr);
  const struct {
    int control;
    uint32_t text;
  } tips[] = {{IDC_ADD_KEYSTROKE, IDS_ADD_KEYSTROKE},
              {IDC_REMOVE_KEYSTROKE, IDS_REMOVE_KEYSTROKE},
              {IDC_ADD_PROGRAM, IDS_ADD_PROGRAM},
              {IDC_REMOVE_PROGRAM, IDS_REMOVE_PROGRAM}};
  for (const auto& tip : tips) {
    std::wstring text = ToWide(GetLocalizedString(tip.text));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(tip.control));
    tool.lpszText = text.data();
    if (toolTip_) SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  // The group box of the post-insertion action in the bold variant of the panel's font.
  const HWND group = Item(IDC_POST_INSERTION_GROUP);
  auto font = reinterpret_cast<HFONT>(SendMessageW(group, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  boldFont_ = MakeBoldFont(font);
  if (boldFont_) SendMessageW(group, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);

  SendMessageW(Item(IDC_CARET_LEFT_SPIN), UDM_SETRANGE32, 0, kCaretLeftMax);
  rules_.SetUp(hwnd());

  // No phrase yet: everything is off until the editor shows one.
  SetControlsEnabled(false);
  RECT panel{};
  GetClientRect(hwnd(), &panel);
  LayOut(Width(panel), Height(panel));
}

void PhraseDetailsPanel::OnDestroy() {
  if (toolTip_) DestroyWindow(toolTip_);  // owned by the editor, not by the panel
  toolTip_ = nullptr;
  pendingTests_.clear();
  boldFont_.reset();
  strikeOut_.reset();
}

void PhraseDetailsPanel::ShowPhrase(const Phrase& phrase) {
  // A change still waiting in the queue belongs to the phrase shown now: report it before
  // the controls take the next phrase, or the editor would store them into that one and
  // the change would be lost (a click in the editor's list ends a keystroke edit and
  // selects another phrase within one message).
  ReportPendingChanges();
  loading_ = true;
  adding_ = false;
  defaultKeystroke_.clear();
  list_.Clear();
  marked_.clear();
  phraseId_ = phrase.Id();
  for (const auto& [text, enabled] : phrase.Prefixes()) list_.Append(text, enabled != 0);
  CheckDlgButton(hwnd(), IDC_CARET_LEFT_CHECK, phrase.LeftAfter() != 0 ? BST_CHECKED : BST_UNCHECKED);
  // The spin first: it keeps its position within 0..100 and would write that clamped value
  // into the field; the field then gets the phrase's own count, which may be larger.
  SendMessageW(Item(IDC_CARET_LEFT_SPIN), UDM_SETPOS32, 0, phrase.LeftAfter());
  SetDlgItemTextW(hwnd(), IDC_CARET_LEFT_COUNT, std::to_wstring(phrase.LeftAfter()).c_str());
  rules_.Show(phrase);
  SetFrameCaption(DetailsCaption(GetLocalizedString(IDS_DETAILS), phrase.Word()));
  Enable(phrase.Enabled() != 0);
  loading_ = false;
}

void PhraseDetailsPanel::SetMarkedKeystrokes(std::vector<std::u16string> keystrokes) {
  if (keystrokes == marked_) return;
  marked_ = std::move(keystrokes);
  if (list_.hwnd()) InvalidateRect(list_.hwnd(), nullptr, FALSE);
}

bool PhraseDetailsPanel::IsMarked(int item) const {
  if (marked_.empty() || item < 0 || item >= list_.Count()) return false;
  return std::find(marked_.begin(), marked_.end(), list_.Text(item)) != marked_.end();
}

void PhraseDetailsPanel::Enable(bool on) {
  SetControlsEnabled(on);
  const std::u16string notUse = GetLocalizedString(IDS_NOT_USE);
  SetFrameCaption(on ? UnmarkNotUsed(FrameCaption(), notUse) : MarkNotUsed(FrameCaption(), notUse));
  RefreshCommandStates();
}

void PhraseDetailsPanel::SetControlsEnabled(bool on) {
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    EnableWindow(child, on);
  }
  if (frame_) EnableWindow(frame_, on);
  EnableWindow(hwnd(), on);
  if (on) {
    const bool caretLeft = IsDlgButtonChecked(hwnd(), IDC_CARET_LEFT_CHECK) == BST_CHECKED;
    EnableWindow(Item(IDC_CARET_LEFT_COUNT), caretLeft);
    EnableWindow(Item(IDC_CARET_LEFT_SPIN), caretLeft);
  }
  rules_.Enable(on);
}

void PhraseDetailsPanel::RefreshCaption(const Phrase& phrase) {
  std::u16string caption = DetailsCaption(GetLocalizedString(IDS_DETAILS), phrase.Word());
  // A disabled panel keeps its mark.
  if (!IsWindowEnabled(hwnd())) caption = MarkNotUsed(caption, GetLocalizedString(IDS_NOT_USE));
  SetFrameCaption(caption);
}

void PhraseDetailsPanel::StoreInto(Phrase& phrase) const {
  std::vector<KeystrokeItem> items;
  items.reserve(size_t(std::max(list_.Count(), 0)));
  for (int i = 0; i < list_.Count(); ++i) items.push_back({list_.Text(i), list_.Checked(i)});
  StoreKeystrokes(items, phrase);
  const bool caretLeft = IsDlgButtonChecked(hwnd(), IDC_CARET_LEFT_CHECK) == BST_CHECKED;
  phrase.SetLeftAfter(caretLeft ? CaretLeftCount(WindowText(Item(IDC_CARET_LEFT_COUNT))) : 0);
  rules_.StoreInto(phrase);
}

void PhraseDetailsPanel::BeginNewKeystroke() {
  if (!hwnd()) return;
  SetFocus(list_.hwnd());
  AddKeystroke();
}

void PhraseDetailsPanel::ApplyKeystrokeEdit() {
  if (!hwnd() || !list_.hwnd()) return;
  // The list view ends its label edit with the typed text when the edit loses the focus.
  if (ListView_GetEditControl(list_.hwnd())) SetFocus(list_.hwnd());
  const HWND programs = rules_.programs().hwnd();
  if (programs && ListView_GetEditControl(programs)) SetFocus(programs);
  ReportPendingChanges();
}

void PhraseDetailsPanel::ReportPendingChanges() {
  // The posted reports that follow find nothing left to report.
  if (pendingChanges_ == 0) return;
  pendingChanges_ = 0;
  Notify(kPanelChanged, std::u16string(), phraseId_);
}

std::u16string PhraseDetailsPanel::FrameCaption() const { return frame_ ? WindowText(frame_) : std::u16string(); }

void PhraseDetailsPanel::SetFrameCaption(const std::u16string& caption) const {
  if (frame_) SetText(frame_, caption);
}

int PhraseDetailsPanel::SelectedKeystroke() const {
  // The selection mark outlives the selection (a click on empty list area deselects but
  // keeps the mark): act only on an item that is also selected.
  const int mark = list_.SelectionMark();
  if (mark < 0 || mark >= list_.Count()) return -1;
  return (ListView_GetItemState(list_.hwnd(), mark, LVIS_SELECTED) & LVIS_SELECTED) ? mark : -1;
}

void PhraseDetailsPanel::RefreshCommandStates() {
  if (refreshing_ || !hwnd() || !list_.hwnd()) return;
  refreshing_ = true;
  const bool listOn = IsWindowEnabled(list_.hwnd()) != FALSE;
  const HWND remove = Item(IDC_REMOVE_KEYSTROKE);
  const bool removeOn = listOn && SelectedKeystroke() >= 0;
  // A button that loses its state while it has the focus would leave the keyboard nowhere.
  if (!removeOn && GetFocus() == remove && listOn) SetFocus(list_.hwnd());
  SetEnabled(Item(IDC_ADD_KEYSTROKE), listOn);
  SetEnabled(remove, removeOn);
  rules_.RefreshCommandStates();
  refreshing_ = false;
}

void PhraseDetailsPanel::Notify(UINT code, const std::u16string& text, uint32_t phraseId) const {
  if (!notifyTarget_) return;
  PanelNotify notify{};
  notify.hdr.hwndFrom = frame_;
  notify.hdr.idFrom = IDC_DETAILS_FRAME;
  notify.hdr.code = code;
  notify.phraseId = phraseId;
  notify.text = text.c_str();
  SendMessageW(notifyTarget_, WM_NOTIFY, IDC_DETAILS_FRAME, reinterpret_cast<LPARAM>(&notify));
}

void PhraseDetailsPanel::PostChanged() {
  ++pendingChanges_;
  PostMessageW(hwnd(), kPanelReportChangeMessage, 0, 0);
}

void PhraseDetailsPanel::QueueKeystrokeTest(std::u16string text) {
  // The test runs from the queue, after the list view has finished the label edit or the
  // check change: the editor may show a message box, which must not take the focus away
  // from a control in the middle of its own processing.
  pendingTests_.emplace_back(phraseId_, std::move(text));
  PostMessageW(hwnd(), kPanelTestKeystrokeMessage, 0, 0);
}

void PhraseDetailsPanel::AddKeystroke() {
  const HWND list = list_.hwnd();
  if (!list || !IsWindowEnabled(list)) return;
  std::u16string clipboard;
  const bool hasText = GetClipboardText(clipboard, hwnd());
  defaultKeystroke_ = DefaultKeystrokeText(hasText ? &clipboard : nullptr);
  const int item = list_.Append(defaultKeystroke_, true);
  if (item < 0) return;
  ListView_SetSelectionMark(list, item);
  ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, item, FALSE);
  SetFocus(list);
  adding_ = true;
  if (!ListView_EditLabel(list, item)) {
    // No editor could be opened: the keystroke keeps its default text as if it was typed.
    NMLVDISPINFOW info{};
    info.item.iItem = item;
    OnEndLabelEdit(info);
  }
}

void PhraseDetailsPanel::RemoveKeystroke() {
  const int item = SelectedKeystroke();
  if (item < 0) return;
  list_.Remove(item);
  // Keep a selection at the same place so that Remove can be pressed again.
  const HWND list = list_.hwnd();
  const int next = std::min(item, list_.Count() - 1);
  ListView_SetSelectionMark(list, next);
  if (next >= 0) ListView_SetItemState(list, next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  PostChanged();
}

bool PhraseDetailsPanel::OnEndLabelEdit(const NMLVDISPINFOW& info) {
  const bool wasAdding = adding_;
  std::u16string defaultText = std::move(defaultKeystroke_);
  adding_ = false;
  defaultKeystroke_.clear();
  if (!info.item.pszText) {
    // Cancelled: a new keystroke is taken with its default text (the item already shows
    // it); an existing one stays as it was.
    if (!wasAdding) return false;
    QueueKeystrokeTest(std::move(defaultText));
    PostChanged();
    return false;
  }
  std::u16string text = AsU16(info.item.pszText);
  if (text.empty()) {
    if (!wasAdding) return false;  // an existing keystroke cannot become empty
    PostChanged();
    return true;
  }
  QueueKeystrokeTest(std::move(text));
  PostChanged();
  return true;
}

void PhraseDetailsPanel::OnUserToggle(const KeystrokeToggle& toggle) {
  // The toggled item itself: a click on the box of an item that is not selected toggles
  // that item, not the one at the selection mark.
  QueueKeystrokeTest(toggle.checked ? list_.Text(toggle.item) : std::u16string());
  PostChanged();
}

void PhraseDetailsPanel::OnCaretLeftClicked() {
  const bool on = IsDlgButtonChecked(hwnd(), IDC_CARET_LEFT_CHECK) == BST_CHECKED;
  EnableWindow(Item(IDC_CARET_LEFT_COUNT), on);
  EnableWindow(Item(IDC_CARET_LEFT_SPIN), on);
  PostChanged();
  if (on) {
    SetFocus(Item(IDC_CARET_LEFT_COUNT));
    SendMessageW(Item(IDC_CARET_LEFT_COUNT), EM_SETSEL, 0, -1);
  }
}

HFONT PhraseDetailsPanel::StrikeOutFont() {
  if (strikeOut_) return strikeOut_.get();
  auto font = reinterpret_cast<HFONT>(SendMessageW(list_.hwnd(), WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW logFont{};
  if (!GetObjectW(font, sizeof(logFont), &logFont)) return nullptr;
  logFont.lfStrikeOut = TRUE;
  strikeOut_.reset(CreateFontIndirectW(&logFont));
  return strikeOut_.get();
}

LRESULT PhraseDetailsPanel::OnCustomDraw(NMLVCUSTOMDRAW& draw, const KeystrokeList& list) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const int item = int(draw.nmcd.dwItemSpec);
      const bool checked = list.Checked(item);
      if (checked && IsWindowEnabled(list.hwnd())) {
        // Only keystrokes carry the mark of a prefix conflict.
        if (&list != &list_ || !IsMarked(item)) return CDRF_DODEFAULT;
        draw.clrText = kMarkedColour;
        return CDRF_NEWFONT;
      }
      draw.clrText = GetSysColor(COLOR_GRAYTEXT);
      if (!checked) {
        // With CDRF_NEWFONT the list selects its own font back after the item.
        if (HFONT font = StrikeOutFont()) SelectObject(draw.nmcd.hdc, font);
      }
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

INT_PTR PhraseDetailsPanel::OnNotify(const NMHDR& hdr, bool& handled) {
  if (hdr.hwndFrom == list_.hwnd()) {
    switch (hdr.code) {
      case NM_CUSTOMDRAW:
        handled = true;
        return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&hdr)), list_);
      case LVN_BEGINLABELEDITW:
        handled = true;
        return FALSE;  // every keystroke may be renamed
      case LVN_ENDLABELEDITW:
        handled = true;
        return OnEndLabelEdit(*reinterpret_cast<const NMLVDISPINFOW*>(&hdr)) ? TRUE : FALSE;
      case kKeystrokeCheckToggled:
        handled = true;
        OnUserToggle(*reinterpret_cast<const KeystrokeToggle*>(&hdr));
        return 0;
      default:
        return 0;
    }
  }
  if (hdr.hwndFrom == rules_.programs().hwnd()) {
    if (hdr.code == NM_CUSTOMDRAW) {
      handled = true;
      return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&hdr)), rules_.programs());
    }
    bool changed = false;
    const LRESULT result = rules_.OnNotify(hdr, handled, changed);
    if (changed) PostChanged();
    return result;
  }
  if (hdr.hwndFrom == Item(IDC_CARET_LEFT_SPIN) && hdr.code == UDN_DELTAPOS) {
    if (!loading_) PostChanged();
    handled = true;
    return FALSE;  // the step itself is always allowed
  }
  return 0;
}

UniqueMenu PhraseDetailsPanel::CreateKeystrokeMenu() const {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  for (int id : {IDC_ADD_KEYSTROKE, IDC_REMOVE_KEYSTROKE}) {
    const HWND button = Item(id);
    const std::u16string text = WindowText(button);
    const UINT flags = MF_STRING | (IsWindowEnabled(button) ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(menu.get(), flags, UINT_PTR(id), AsWide(text.c_str()));
  }
  return menu;
}

void PhraseDetailsPanel::ShowContextMenu(LPARAM position) {
  POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == LPARAM(-1)) {
    // From the keyboard: at the selected keystroke, else at the list's corner.
    RECT rect{};
    const int item = SelectedKeystroke();
    if (item < 0 || !ListView_GetItemRect(list_.hwnd(), item, &rect, LVIR_LABEL)) GetClientRect(list_.hwnd(), &rect);
    at = {rect.left + 8, rect.top + 8};
    ClientToScreen(list_.hwnd(), &at);
  }
  RefreshCommandStates();
  if (const UniqueMenu menu = CreateKeystrokeMenu()) {
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
  }
}

void PhraseDetailsPanel::LayOut(int width, int height) {
  const struct {
    int id;
    Rect DetailsPanelControls::*rect;
  } controls[] = {{IDC_ADD_KEYSTROKE, &DetailsPanelControls::add},
                  {IDC_REMOVE_KEYSTROKE, &DetailsPanelControls::remove},
                  {IDC_KEYSTROKE_LIST, &DetailsPanelControls::list},
                  {IDC_POST_INSERTION_GROUP, &DetailsPanelControls::group},
                  {IDC_CARET_LEFT_CHECK, &DetailsPanelControls::check},
                  {IDC_CARET_LEFT_COUNT, &DetailsPanelControls::count},
                  {IDC_CARET_LEFT_SPIN, &DetailsPanelControls::spin},
                  {IDC_RULE_MODE, &DetailsPanelControls::mode},
                  {IDC_PROGRAM_LIST, &DetailsPanelControls::programs},
                  {IDC_ADD_PROGRAM, &DetailsPanelControls::addProgram},
                  {IDC_REMOVE_PROGRAM, &DetailsPanelControls::removeProgram},
                  {IDC_RULE_NOTE, &DetailsPanelControls::note}};
  DetailsPanelControls current;
  for (const auto& control : controls) {
    const HWND window = Item(control.id);
    if (!window) return;
    current.*control.rect = ChildRect(hwnd(), window);
  }
  const DetailsPanelControls next = ArrangeDetailsPanel(width, height, current, WindowDpi(hwnd()));
  for (const auto& control : controls) {
    const Rect& rect = next.*control.rect;
    int height = rect.Height();
    // A drop-down list's window height is that of it open, with room for its three modes
    // and a spare line; closed, its height follows its font.
    if (control.id == IDC_RULE_MODE) height *= 5;
    Place(Item(control.id), rect.left, rect.top, rect.Width(), height);
  }
}

bool PhraseDetailsPanel::OnCommand(WORD id, WORD code, HWND control) {
  RefreshCommandStates();
  bool handled = true;
  switch (id) {
    case IDC_ADD_KEYSTROKE:
      if (code == BN_CLICKED) AddKeystroke();
      break;
    case IDC_REMOVE_KEYSTROKE:
      if (code == BN_CLICKED) RemoveKeystroke();
      break;
    case IDC_CARET_LEFT_CHECK:
      if (code == BN_CLICKED) OnCaretLeftClicked();
      break;
    case IDC_CARET_LEFT_COUNT:
      if (code == EN_CHANGE && !loading_) PostChanged();
      break;
    case IDC_RULE_MODE:
    case IDC_ADD_PROGRAM:
    case IDC_REMOVE_PROGRAM:
      if (rules_.OnCommand(id, code)) PostChanged();
      break;
    case IDOK:
    case IDCANCEL:
      // Enter and Escape belong to the editor; the panel itself never ends.
      if (HWND root = GetAncestor(hwnd(), GA_ROOT); root && root != hwnd()) {
        PostMessageW(root, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(control));
      }
      break;
    default:
      handled = false;
      break;
  }
  RefreshCommandStates();
  return handled;
}

INT_PTR PhraseDetailsPanel::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (message == WM_DESTROY || message == WM_NCDESTROY) return 0;
  RefreshCommandStates();
  INT_PTR result = 0;
  switch (message) {
    case kPanelReportChangeMessage:
      handled = true;
      if (pendingChanges_ > 0) {  // else already reported when the next phrase was shown
        --pendingChanges_;
        Notify(kPanelChanged, std::u16string(), phraseId_);
      }
      break;
    case kPanelTestKeystrokeMessage:
      handled = true;
      if (!pendingTests_.empty()) {
        const auto [id, text] = std::move(pendingTests_.front());
        pendingTests_.pop_front();
        Notify(kPanelTestKeystroke, text, id);
      }
      break;
    case WM_NOTIFY:
      if (lparam) result = OnNotify(*reinterpret_cast<const NMHDR*>(lparam), handled);
      break;
    case WM_SIZE:
      LayOut(LOWORD(lparam), HIWORD(lparam));
      handled = true;
      break;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == list_.hwnd()) {
        ShowContextMenu(lparam);
        handled = true;
      } else if (reinterpret_cast<HWND>(wparam) == rules_.programs().hwnd()) {
        rules_.ShowContextMenu(lparam);
        handled = true;
      }
      break;
    case kPanelRemoveEmptyProgramMessage:
      handled = true;
      rules_.RemoveEmptyProgram(int(wparam));
      PostChanged();
      break;
    case WM_LBUTTONDOWN:
      // A press on free panel area moves the editor window, as its caption would.
      if (HWND root = GetAncestor(hwnd(), GA_ROOT); root && root != hwnd()) {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ClientToScreen(hwnd(), &at);
        ReleaseCapture();
        SendMessageW(root, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
        handled = true;
      }
      break;
    default:
      break;
  }
  if (message == WM_NOTIFY) RefreshCommandStates();
  return result;
}

}  // namespace vellix
