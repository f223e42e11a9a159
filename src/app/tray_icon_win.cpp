#include "app/tray_icon_win.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "base/utf.h"
#include "base/wide.h"
#include "engine/desktop_typing_engine_win.h"
#include "lang/language_win.h"
#include "resource.h"
#include "services/program_title.h"
#include "services/settings.h"

namespace vellix {
namespace {

// The icons added on this thread, for finding the icon of a window.
std::vector<TrayIcon*>& AddedIcons() {
  static std::vector<TrayIcon*> icons;
  return icons;
}

void Forget(TrayIcon* icon) {
  std::vector<TrayIcon*>& icons = AddedIcons();
  icons.erase(std::remove(icons.begin(), icons.end(), icon), icons.end());
}

HICON LoadStateIcon(int resource, int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                       size, size, LR_DEFAULTCOLOR));
}

template <size_t N>
void CopyText(wchar_t (&field)[N], std::u16string_view text) {
  const std::u16string cut = CutText(text, N - 1);
  std::copy(cut.begin(), cut.end(), field);
  field[cut.size()] = L'\0';
}

std::u16string Localized(uint32_t id) { return GetLocalizedString(id); }

}  // namespace

TrayIcon::TrayIcon(const DesktopTypingEngine& engine, const std::u16string& databasePath,
                   const Statistics* statistics)
    : engine_(engine), databasePath_(databasePath), statistics_(statistics) {
  data_.cbSize = sizeof data_;
  data_.uID = kIconId;
  data_.uFlags = NIF_MESSAGE;
  data_.uCallbackMessage = CallbackMessage();
  for (int on = 0; on < 2; ++on) {
    for (int large = 0; large < 2; ++large)
      icons_[on][large].reset(LoadStateIcon(on ? IDI_ENGINE_ON : IDI_ENGINE_OFF, large ? 32 : 16));
  }
}

TrayIcon::~TrayIcon() {
  if (added_) Remove();
  Forget(this);
}

UINT TrayIcon::CallbackMessage() {
  static const UINT message = RegisterWindowMessageW(AsWide(kTrayCallbackMessageName));
  return message;
}

UINT TrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(AsWide(kTaskbarCreatedMessageName));
  return message;
}

TrayIcon* TrayIcon::AddedTo(HWND window) {
  for (TrayIcon* icon : AddedIcons()) {
    if (icon->added_ && icon->data_.hWnd == window) return icon;
  }
  return nullptr;
}

bool TrayIcon::Send(DWORD message) { return Shell_NotifyIconW(message, &data_) != FALSE; }

bool TrayIcon::SetTip(std::u16string_view text, bool sendNow) {
  CopyText(data_.szTip, text);
  data_.uFlags |= NIF_TIP;
  return !sendNow || (added_ && Send(NIM_MODIFY));
}

bool TrayIcon::SetIcon(HICON icon, bool sendNow) {
  data_.hIcon = icon;
  data_.uFlags |= NIF_ICON;
  return !sendNow || (added_ && Send(NIM_MODIFY));
}

bool TrayIcon::AddOrModify(HWND window, UINT id) {
  data_.hWnd = window;
  data_.uID = id;
  if (added_) return Send(NIM_MODIFY);
  added_ = Send(NIM_ADD);
  if (added_) {
    Forget(this);
    AddedIcons().push_back(this);
  }
  return added_;
}

bool TrayIcon::Remove() {
  if (!added_) return false;
  // The icon is gone for us even when the shell no longer knew it (Explorer restarted).
  const bool removed = Send(NIM_DELETE);
  added_ = false;
  Forget(this);
  return removed;
}

bool TrayIcon::ShowBalloon(std::u16string_view text, std::u16string_view title, HICON icon, UINT timeout,
                           bool sendNow) {
  CopyText(data_.szInfo, text);
  CopyText(data_.szInfoTitle, title);
  data_.uTimeout = timeout;
  // The balloon's picture has a field of its own in this record, so the notification
  // area keeps its 16 x 16 state icon while the balloon shows the large one.
  data_.hBalloonIcon = icon;
  data_.dwInfoFlags = icon ? (NIIF_USER | NIIF_LARGE_ICON) : NIIF_NONE;
  data_.uFlags |= NIF_INFO;
  return !sendNow || (added_ && Send(NIM_MODIFY));
}

bool TrayIcon::HideBalloon() { return ShowBalloon(u"", u"", nullptr, 0, true); }

bool TrayIcon::EngineOn() const { return engine_.IsRunning(); }

uint32_t TrayIcon::PrintedChars() const {
  return statistics_ ? statistics_->PrintedChars() : Settings::Instance().statistics.PrintedChars();
}

HICON TrayIcon::StateIcon(bool large) const { return icons_[EngineOn() ? 1 : 0][large ? 1 : 0].get(); }

bool TrayIcon::AddWithBalloon(HWND window, TrayBalloonKind kind, int enabled, int total) {
  const bool on = EngineOn();
  const uint32_t chars = PrintedChars();
  const std::u16string header = TrayHeader(ProgramTitle(true), on, Localized);
  SetTip(AddedTipText(header, databasePath_, chars, Localized), false);
  SetIcon(StateIcon(false), false);
  if (!AddOrModify(window, kIconId)) return false;
  return ShowBalloon(BalloonText(kind, on, enabled, total, databasePath_, chars, Localized), header,
                     StateIcon(true), 0, true);
}

bool TrayIcon::AddWithStartBalloon(HWND window, int enabled, int total) {
  return AddWithBalloon(window, TrayBalloonKind::kStarted, enabled, total);
}

bool TrayIcon::AddWithStateBalloon(HWND window, int enabled, int total) {
  return AddWithBalloon(window, TrayBalloonKind::kState, enabled, total);
}

bool TrayIcon::RefreshTooltip() {
  const std::u16string header = TrayHeader(ProgramTitle(true), EngineOn(), Localized);
  // An old balloon must not be shown again with the new tip.
  data_.uFlags &= ~static_cast<UINT>(NIF_INFO);
  // Said only while the engine runs: switched off, it expands nowhere anyway.
  const std::u16string excluded = EngineOn() && engine_.InExcludedProgram() ? engine_.CurrentProgram() : u"";
  return SetTip(TooltipText(header, engine_.EntryCount(), databasePath_, PrintedChars(), Localized, excluded), true);
}

bool TrayIcon::SetStateIcon() { return SetIcon(StateIcon(false), true); }

bool TrayIcon::MessageBalloon(std::u16string_view text) {
  return ShowBalloon(text, kProductName, StateIcon(true), 0, true);
}

bool TrayIcon::WarningBalloon(std::u16string_view text) {
  ShowBalloon(text, kProductName, nullptr, 0, false);
  data_.dwInfoFlags = NIIF_WARNING;
  return added_ && Send(NIM_MODIFY);
}

bool TrayIcon::ReAdd() {
  if (!data_.hWnd) return false;
  added_ = false;
  Forget(this);
  // The balloon was shown already; adding again brings back only the icon and its tip.
  data_.uFlags &= ~static_cast<UINT>(NIF_INFO);
  return AddOrModify(data_.hWnd, data_.uID);
}

}  // namespace vellix
