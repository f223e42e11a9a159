#include "about/about_dialog_win.h"

#include <commctrl.h>

#include <algorithm>

#include "about/key_list_win.h"
#include "base/boundary.h"
#include "base/dpi.h"
#include "base/wide.h"
#include "controls/hyperlink_win.h"
#include "lang/language_win.h"
#include "resource.h"
#include "services/clipboard_win.h"
#include "services/program_title.h"
#include "services/settings.h"
#include "services/system_services_win.h"
#include "services/version_resource_win.h"
#include "win32/dpi_win.h"
#include "win32/program_folder.h"
#include "win32/scoped_dc.h"

namespace vellix {
namespace {

constexpr UINT_PTR kListSubclassId = 0x41424F55;
constexpr COLORREF kHeaderColor = RGB(0, 128, 0);
// At 100 %; both grow with the display's scale.
constexpr int kTextMargin = 4;   // pixels between the row's left edge and its text
constexpr int kIndentWidth = 16;  // extra pixels before the text of indented rows

HWND g_open_about = nullptr;  // user-interface thread only

bool IsLinkKind(AboutRowKind kind) { return kind == AboutRowKind::kLink || kind == AboutRowKind::kIndentedLink; }

}  // namespace

std::u16string LegalNotice() { return ReadVersionString(L"LegalCopyright"); }

HWND GetOpenAboutWindow() { return g_open_about && IsWindow(g_open_about) ? g_open_about : nullptr; }

AboutInputs CurrentAboutInputs() {
  AboutInputs inputs;
  inputs.longTitle = ProgramTitle(true);
  inputs.administrator = IsAdministrator();
  inputs.buildStamp = GetBuildStamp();
  inputs.legalNotice = LegalNotice();
  inputs.printedChars = Settings::Instance().statistics.PrintedChars();
  inputs.russian = IsRussian();
  return inputs;
}

INT_PTR ShowAbout(HWND owner) {
  // The inputs are gathered only when a new dialog is shown.
  if (GetOpenAboutWindow()) return ShowAbout(owner, AboutInputs{});
  return ShowAbout(owner, CurrentAboutInputs());
}

INT_PTR ShowAbout(HWND owner, const AboutInputs& inputs) {
  if (HWND open = GetOpenAboutWindow()) {
    if (!IsIconic(open)) ShowWindow(open, SW_SHOWNORMAL);
    BringToFront(open);
    return 0;
  }
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  AboutDialog dialog(inputs);
  return dialog.RunModal(owner);
}

AboutDialog::AboutDialog(AboutInputs inputs) : LocalizedDialog(IDD_ABOUT), inputs_(std::move(inputs)) {
  ExcludeFromTranslation(IDOK);
  ExcludeFromTranslation(IDC_ABOUT_LIST);
}

AboutDialog::~AboutDialog() {
  Destroy();  // the list goes before the font it draws with and the icons
}

bool AboutDialog::OnInitDialog() {
  LocalizedDialog::OnInitDialog();
  g_open_about = hwnd();
  list_ = Item(IDC_ABOUT_LIST);
  // Without an owner nothing else of the program is on the taskbar to reach it by.
  if (!GetWindow(hwnd(), GW_OWNER)) {
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
  }
  icons_ = SetWindowIcons(hwnd(), IDI_ENGINE_ON);
  link_color_ = ReadLinkColors().link;
  bold_font_ = MakeBoldFont(reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
  FillList();
  SetWindowSubclass(list_, &AboutDialog::ListProc, kListSubclassId, reinterpret_cast<DWORD_PTR>(this));
  if (IsAdministrator()) {
    const std::wstring caption = ToWide(WindowText(hwnd())) + L"^";
    SetWindowTextW(hwnd(), caption.c_str());
  }
  SetFocus(Item(IDOK));
  return false;  // the focus is set
}

void AboutDialog::FillList() {
  rows_ = BuildAboutRows(inputs_, [](uint32_t id) { return GetLocalizedString(id); });

  ListView_SetExtendedListViewStyle(list_, LVS_EX_INFOTIP);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  ListView_SetBkColor(list_, face);
  ListView_SetTextBkColor(list_, face);
  RECT client{};
  GetClientRect(list_, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - client.left;
  ListView_InsertColumn(list_, 0, &column);
  for (size_t n = 0; n < rows_.size(); ++n) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(n);
    item.pszText = const_cast<wchar_t*>(AsWide(rows_[n].text.c_str()));
    item.lParam = static_cast<LPARAM>(n);
    ListView_InsertItem(list_, &item);
  }
  // One column as wide as the list, the vertical scroll bar (if any) taken into account.
  ListView_SetColumnWidth(list_, 0, LVSCW_AUTOSIZE_USEHEADER);
}

void AboutDialog::Copy() {
  if (!PutClipboardText(AboutCopyText(rows_))) MessageBeep(0xFFFFFFFF);
}

bool AboutDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_ABOUT_COPY && code == BN_CLICKED) {
    Copy();
    return true;
  }
  return LocalizedDialog::OnCommand(id, code, control);
}

INT_PTR AboutDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (message) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->code == kHyperLinkClicked) {
        // The link notification of a row: the command-line keys are shown here.
        const auto* click = reinterpret_cast<const HyperLinkClick*>(lparam);
        handled = true;
        if (std::u16string_view(AsU16(click->target)) != kCommandLineKeysTarget) return 0;
        ShowKeyList(hwnd());
        return 1;
      }
      if (header->hwndFrom == list_) {
        handled = true;
        return OnListNotify(header);
      }
      break;
    }
    case WM_LBUTTONDOWN:
      // A press on free client area drags the window as its caption would.
      ReleaseCapture();
      SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
      handled = true;
      return 0;
    default:
      break;
  }
  return 0;
}

INT_PTR AboutDialog::OnListNotify(NMHDR* header) {
  switch (header->code) {
    case NM_CUSTOMDRAW:
      return DrawRow(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_GETINFOTIPW:
      FillInfoTip(reinterpret_cast<NMLVGETINFOTIPW*>(header));
      return 0;
    case NM_CLICK:
      ClickAt(reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction);
      return 0;
    case NM_RETURN:
      // The keyboard's way to a link: Enter on the focused row.
      ActivateRow(ListView_GetNextItem(list_, -1, LVNI_FOCUSED));
      return 0;
    default:
      return 0;
  }
}

HFONT AboutDialog::RowFont(int row) const {
  if (rows_[size_t(row)].kind == AboutRowKind::kHeader && bold_font_) return bold_font_.get();
  return reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
}

int AboutDialog::TextIndent(const AboutRow& entry) const {
  const int pixels = kTextMargin + (entry.kind == AboutRowKind::kIndentedLink ? kIndentWidth : 0);
  return ScaleToDpi(pixels, WindowDpi(list_));
}

RECT AboutDialog::TextRect(int row) const {
  RECT bounds{};
  ListView_GetItemRect(list_, row, &bounds, LVIR_BOUNDS);
  const AboutRow& entry = rows_[size_t(row)];
  RECT text = bounds;
  text.left += TextIndent(entry);
  SIZE extent{};
  if (const WindowDC dc(list_); dc) {
    const ScopedSelectObject font(dc.get(), RowFont(row));
    GetTextExtentPoint32W(dc.get(), AsWide(entry.text.c_str()), static_cast<int>(entry.text.size()), &extent);
  }
  text.right = std::min<LONG>(bounds.right, text.left + extent.cx);
  return text;
}

int AboutDialog::RowAtText(POINT point) const {
  LVHITTESTINFO hit{};
  hit.pt = point;
  const int row = ListView_HitTest(list_, &hit);
  if (row < 0 || size_t(row) >= rows_.size()) return -1;
  const RECT text = TextRect(row);
  return PtInRect(&text, point) ? row : -1;
}

void AboutDialog::ClickAt(POINT point) { ActivateRow(RowAtText(point)); }

void AboutDialog::ActivateRow(int row) {
  if (row < 0 || size_t(row) >= rows_.size() || rows_[size_t(row)].target.empty()) return;
  const std::u16string& target = rows_[size_t(row)].target;
  HyperLinkClick click{};
  click.hdr.hwndFrom = list_;
  click.hdr.idFrom = IDC_ABOUT_LIST;
  click.hdr.code = kHyperLinkClicked;
  std::copy_n(target.begin(), std::min(target.size(), size_t(kHyperLinkTargetSize - 1)), click.target);
  if (SendMessageW(hwnd(), WM_NOTIFY, IDC_ABOUT_LIST, reinterpret_cast<LPARAM>(&click)) != 0) return;
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  OpenLink(hwnd(), target);
  SetCursor(previous);
}

LRESULT AboutDialog::DrawRow(NMLVCUSTOMDRAW* draw) {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const int row = static_cast<int>(draw->nmcd.dwItemSpec);
  if (row < 0 || size_t(row) >= rows_.size()) return CDRF_DODEFAULT;
  const AboutRow& entry = rows_[size_t(row)];
  const HDC dc = draw->nmcd.hdc;
  RECT bounds{};
  ListView_GetItemRect(list_, row, &bounds, LVIR_BOUNDS);
  FillRect(dc, &bounds, GetSysColorBrush(COLOR_BTNFACE));
  COLORREF color = GetSysColor(COLOR_BTNTEXT);
  if (entry.kind == AboutRowKind::kHeader) color = kHeaderColor;
  if (IsLinkKind(entry.kind)) color = link_color_;
  {
    const ScopedSelectObject font(dc, RowFont(row));
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    RECT text = bounds;
    text.left += TextIndent(entry);
    DrawTextW(dc, AsWide(entry.text.c_str()), static_cast<int>(entry.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  // The rows are not drawn as selected; the focus rectangle shows where Enter acts.
  if (GetFocus() == list_ && (draw->nmcd.uItemState & CDIS_FOCUS)) {
    RECT focus = TextRect(row);
    InflateRect(&focus, 2, 0);
    DrawFocusRect(dc, &focus);
  }
  return CDRF_SKIPDEFAULT;
}

void AboutDialog::FillInfoTip(NMLVGETINFOTIPW* tip) {
  if (!tip->pszText || tip->cchTextMax <= 0) return;
  if (tip->iItem < 0 || size_t(tip->iItem) >= rows_.size()) return;
  const std::u16string& tooltip = rows_[size_t(tip->iItem)].tooltip;
  // Without a tooltip the list shows the cut-off text of the row, which is useful too.
  if (tooltip.empty()) return;
  const std::u16string shown = FitInfoTip(tooltip, size_t(tip->cchTextMax));
  std::copy(shown.begin(), shown.end(), tip->pszText);
  tip->pszText[shown.size()] = L'\0';
}

LRESULT CALLBACK AboutDialog::ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                       DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<AboutDialog*>(data);
  try {
    if (message == WM_SETCURSOR && LOWORD(lparam) == HTCLIENT) {
      POINT point{};
      GetCursorPos(&point);
      ScreenToClient(window, &point);
      const int row = self->RowAtText(point);
      if (row >= 0 && !self->rows_[size_t(row)].target.empty()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
    }
  } catch (...) {
    ReportCaughtException("About list procedure");
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &AboutDialog::ListProc, kListSubclassId);
  return DefSubclassProc(window, message, wparam, lparam);
}

void AboutDialog::OnDestroy() {
  if (g_open_about == hwnd()) g_open_about = nullptr;
}

}  // namespace vellix
