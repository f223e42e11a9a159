#include "controls/hyperlink_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "base/boundary.h"
#include "base/messages.h"
#include "base/wide.h"

namespace vellix {
namespace {

constexpr wchar_t kLinkProperty[] = L"Brix_HyperLink";
constexpr wchar_t kColorKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr UINT_PTR kLinkSubclassId = 0x4C4E4B31;    // per link control
constexpr UINT_PTR kParentSubclassId = 0x4C4E4B32;  // once per parent window
constexpr UINT_PTR kHoverTimer = 0x4C4E;
constexpr UINT kHoverPollMs = 100;

LinkOpener g_opener = nullptr;

UINT ColorQueryMessage() {
  static const UINT message = RegisterWindowMessageW(AsWide(kLinkColorQueryMessageName));
  return message;
}

// A colour value of the key, when it is present and well formed.
void ReadColor(const wchar_t* name, COLORREF& color) {
  wchar_t value[64] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kColorKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return;
  if (const std::optional<uint32_t> parsed = ParseLinkColor(AsU16(value))) color = *parsed;
}

// The Win32 error that stands for a ShellExecuteW result of 32 or less.
DWORD ShellResultError(INT_PTR result) {
  switch (result) {
    case 0: case SE_ERR_OOM: return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_FNF: return ERROR_FILE_NOT_FOUND;
    case SE_ERR_PNF: return ERROR_PATH_NOT_FOUND;
    case SE_ERR_ACCESSDENIED: return ERROR_ACCESS_DENIED;
    case ERROR_BAD_FORMAT: return ERROR_BAD_FORMAT;
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    case SE_ERR_DDETIMEOUT: case SE_ERR_DDEFAIL: case SE_ERR_DDEBUSY: return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    default: return ERROR_NO_ASSOCIATION;
  }
}

// The system's text for an error, without its closing line break.
std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length && buffer ? std::wstring(buffer, length) : L"Error " + std::to_wstring(error);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text;
}

// The parent of every link: gives the links' static-colour message the link's own colour.
// Nothing here can throw.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) noexcept {
  if (message == WM_CTLCOLORSTATIC) {
    const HWND child = reinterpret_cast<HWND>(lparam);
    if (child && GetPropW(child, kLinkProperty)) {
      // The parent's own answer gives the background brush; only the text colour changes.
      const LRESULT brush = DefSubclassProc(window, message, wparam, lparam);
      const auto color = static_cast<COLORREF>(SendMessageW(child, ColorQueryMessage(), 0, 0));
      SetTextColor(reinterpret_cast<HDC>(wparam), color);
      return brush;
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &ParentProc, kParentSubclassId);
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

LinkColors ReadLinkColors() {
  LinkColors colors;
  ReadColor(L"Anchor Color", colors.link);
  ReadColor(L"Anchor Color Visited", colors.visited);
  return colors;
}

bool ShellOpenLink(HWND owner, const std::u16string& target) {
  SetLastError(ERROR_SUCCESS);
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"open", AsWide(target.c_str()), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  // The result code is the shell's reason; keep a more precise last error when there is one.
  if (GetLastError() == ERROR_SUCCESS) SetLastError(ShellResultError(result));
  return false;
}

LinkOpener SetLinkOpener(LinkOpener opener) {
  const LinkOpener previous = g_opener ? g_opener : &ShellOpenLink;
  g_opener = opener;
  return previous;
}

bool OpenLink(HWND owner, const std::u16string& target) {
  return (g_opener ? g_opener : &ShellOpenLink)(owner, target);
}

HyperLink::~HyperLink() { Detach(); }

bool HyperLink::Attach(HWND control) {
  Detach();
  if (!control || !IsWindow(control)) return false;
  const HWND parent = GetParent(control);
  if (!SetWindowSubclass(control, &HyperLink::LinkProc, kLinkSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  control_ = control;
  colors_ = ReadLinkColors();
  visited_ = false;
  normal_ = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  // A static control without SS_NOTIFY is transparent to the mouse.
  SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
  SetPropW(control, kLinkProperty, reinterpret_cast<HANDLE>(this));
  // Subclassing again with the same procedure and id only updates it: one per parent.
  if (parent) SetWindowSubclass(parent, &ParentProc, kParentSubclassId, 0);
  InvalidateRect(control, nullptr, TRUE);
  return true;
}

void HyperLink::Detach() {
  if (!control_) return;
  if (IsWindow(control_)) {
    if (hover_) SetHover(false);
    RemovePropW(control_, kLinkProperty);
    RemoveWindowSubclass(control_, &HyperLink::LinkProc, kLinkSubclassId);
  }
  control_ = nullptr;
  hover_ = false;
  pressed_ = false;
}

void HyperLink::SetText(const std::u16string& text) {
  if (control_) SetWindowTextW(control_, AsWide(text.c_str()));
}

void HyperLink::SetTarget(const std::u16string& target) { target_ = target; }

bool HyperLink::AskParent(std::u16string& target) const {
  const HWND parent = GetParent(control_);
  if (!parent) return true;
  HyperLinkClick click{};
  click.hdr.hwndFrom = control_;
  click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control_));
  click.hdr.code = kHyperLinkClicked;
  const size_t length = std::min(target.size(), size_t(kHyperLinkTargetSize - 1));
  std::copy_n(target.begin(), length, click.target);
  if (SendMessageW(parent, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click)) != 0) return false;
  click.target[kHyperLinkTargetSize - 1] = L'\0';
  target = AsU16(click.target);
  return true;
}

bool HyperLink::Open() {
  if (!control_) return false;
  std::u16string target = target_;
  if (target.empty()) {
    const int length = GetWindowTextLengthW(control_);
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(control_, text.data(), length + 1)));
    target = ToU16(text);
  }
  // A parent that clears the target leaves nothing to open.
  if (!AskParent(target) || target.empty()) return false;
  const std::u16string opened = LinkOpenTarget(target);

  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
  const bool ok = OpenLink(GetParent(control_), opened);
  DWORD error = GetLastError();
  SetCursor(previous);
  if (ok) {
    visited_ = true;
    InvalidateRect(control_, nullptr, TRUE);
    return true;
  }
  // A failure without a reason still gets a message that does not read as success.
  if (error == ERROR_SUCCESS) error = ERROR_NO_ASSOCIATION;
  const std::wstring message = L"Cannot open [" + ToWide(opened) + L"]\r\n" + SystemErrorText(error);
  MessageBoxW(GetParent(control_), message.c_str(), L"Vellix", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void HyperLink::SetHover(bool hover) {
  if (hover == hover_) return;
  hover_ = hover;
  if (hover) {
    if (!underlined_) {
      LOGFONTW face{};
      const HGDIOBJ base = normal_ ? static_cast<HGDIOBJ>(normal_) : GetStockObject(DEFAULT_GUI_FONT);
      if (GetObjectW(base, sizeof face, &face)) {
        face.lfUnderline = TRUE;
        underlined_.reset(CreateFontIndirectW(&face));
      }
    }
    if (underlined_) SendMessageW(control_, WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.get()), TRUE);
    SetTimer(control_, kHoverTimer, kHoverPollMs, nullptr);
  } else {
    KillTimer(control_, kHoverTimer);
    pressed_ = false;
    SendMessageW(control_, WM_SETFONT, reinterpret_cast<WPARAM>(normal_), TRUE);
  }
}

void HyperLink::CheckPointer() {
  POINT point{};
  RECT rect{};
  if (!GetCursorPos(&point) || !GetWindowRect(control_, &rect) || !PtInRect(&rect, point)) SetHover(false);
}

LRESULT CALLBACK HyperLink::LinkProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<HyperLink*>(data);
  if (message == ColorQueryMessage()) return static_cast<LRESULT>(self->TextColor());
  try {
    switch (message) {
      case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      case WM_NCHITTEST:
        return HTCLIENT;
      case WM_MOUSEMOVE:
        self->SetHover(true);
        break;
      case WM_TIMER:
        if (wparam == kHoverTimer) {
          self->CheckPointer();
          return 0;
        }
        break;
      case WM_LBUTTONDOWN:
        self->pressed_ = true;
        break;
      case WM_LBUTTONUP:
        if (self->pressed_) {
          self->pressed_ = false;
          POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
          RECT client{};
          GetClientRect(window, &client);
          if (PtInRect(&client, point)) self->Open();
        }
        break;
      case WM_SETFONT:
        // A font set from outside becomes the normal font; the underlined one follows it.
        if (reinterpret_cast<HFONT>(wparam) != self->underlined_.get()) {
          self->normal_ = reinterpret_cast<HFONT>(wparam);
          if (!self->hover_) self->underlined_.reset();
        }
        break;
      default:
        break;
    }
  } catch (...) {
    ReportCaughtException("hyperlink procedure");
  }
  if (message == WM_NCDESTROY) self->Detach();
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace vellix
