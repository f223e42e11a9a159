#include "lang/language_dialog_win.h"

#include "base/wide.h"
#include "lang/language_keys.h"
#include "lang/language_win.h"
#include "resource.h"

namespace vellix {
namespace {

constexpr UINT_PTR kDropDownTimer = 1231;
constexpr UINT kDropDownDelay = 500;
constexpr wchar_t kProgramName[] = L"Vellix";

void CenterWindow(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  RECT area{};
  HWND owner = GetWindow(window, GW_OWNER);
  if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &area)) {
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    area = info.rcWork;
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

LanguageDialog::LanguageDialog() : LocalizedDialog(IDD_LANGUAGE) { ExcludeFromTranslation(IDC_LANGUAGE_COMBO); }

LanguageDialog::~LanguageDialog() {
  Destroy();  // the controls go first, then the font and icons they use
}

bool LanguageDialog::OnInitDialog() {
  LocalizedDialog::OnInitDialog();
  CenterWindow(hwnd());
  bold_font_ = MakeBoldFont(reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
  if (bold_font_) SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_TEXT, WM_SETFONT, WPARAM(bold_font_.get()), TRUE);
  icons_ = SetWindowIcons(hwnd(), IDI_ENGINE_ON);
  SetTexts();
  FillList();
  FlashWindow(hwnd(), TRUE);
  SetTimer(hwnd(), kDropDownTimer, kDropDownDelay, nullptr);
  return true;
}

void LanguageDialog::SetTexts() {
  const std::wstring caption = std::wstring(kProgramName) + L" : " + ToWide(GetLocalizedString(IDS_SELECT_LANGUAGE));
  SetWindowTextW(hwnd(), caption.c_str());
  SetDlgItemTextW(hwnd(), IDC_LANGUAGE_TEXT, AsWide(GetLocalizedString(IDS_SELECT_LANGUAGE_TEXT).c_str()));
}

void LanguageDialog::FillList() {
  const HWND combo = Item(IDC_LANGUAGE_COMBO);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(AsWide(std::u16string(kEnglishEmbedded).c_str())));
  Language* language = Language::Current();
  if (!language) {
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    return;
  }
  const std::u16string selected = language->settings().LangFile();
  int selection = 0;
  const std::vector<std::u16string>& files = language->LanguageFiles();
  for (size_t n = 0; n < files.size(); ++n) {
    std::u16string name = FileTitle(files[n]);
    if (!selected.empty() && EqualsIgnoreCase(files[n], selected)) {
      name = language->LanguageName(files[n]);
      if (name.empty()) name = files[n];
      selection = int(n) + 1;
    }
    SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(AsWide(LanguageComboEntry(name, files[n]).c_str())));
  }
  SendMessageW(combo, CB_SETCURSEL, WPARAM(selection), 0);
}

void LanguageDialog::ApplySelection() {
  Language* language = Language::Current();
  const LRESULT entry = SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_COMBO, CB_GETCURSEL, 0, 0);
  if (!language || entry < 0) return;
  std::u16string file_name;
  const std::vector<std::u16string>& files = language->LanguageFiles();
  if (entry >= 1 && size_t(entry - 1) < files.size()) file_name = files[size_t(entry - 1)];
  language->SetLanguage(file_name);
  TranslateDialog(*this);
  SetTexts();
}

bool LanguageDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_LANGUAGE_COMBO && code == CBN_SELENDOK) {
    ApplySelection();
    return true;
  }
  return LocalizedDialog::OnCommand(id, code, control);
}

INT_PTR LanguageDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (message == WM_TIMER && wparam == kDropDownTimer) {
    KillTimer(hwnd(), kDropDownTimer);
    const HWND combo = Item(IDC_LANGUAGE_COMBO);
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    handled = true;
    return 0;
  }
  if (message == WM_LBUTTONDOWN) {
    // A press on free client area moves the window, as one on the caption would.
    ReleaseCapture();
    SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    handled = true;
    return 0;
  }
  return 0;
}

INT_PTR ShowLanguageDialog(HWND owner) {
  LanguageDialog dialog;
  return dialog.RunModal(owner);
}

}  // namespace vellix
