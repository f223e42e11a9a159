#pragma once
// The notification-area icon: one notification-icon record whose flags gather every part
// set so far, the state icons, the tooltip and the balloons.
//
// Runs on the main dialog's thread only. The icon refers to the dialog's engine (for its
// state and entry count) and to the dialog's database path member (for the texts); both
// outlive it.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "app/tray_texts.h"
#include "win32/unique_handle.h"

namespace vellix {

class DesktopTypingEngine;
class Statistics;

class TrayIcon {
 public:
  static constexpr UINT kIconId = 1;

  // statistics: the typed-character count shown; null means the process-wide settings'.
  TrayIcon(const DesktopTypingEngine& engine, const std::u16string& databasePath,
           const Statistics* statistics = nullptr);
  // Removes the icon when it is still added.
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // The message the icon sends its window for mouse events: registered by name.
  static UINT CallbackMessage();
  // Sent to every top-level window when the notification area is created again (Explorer
  // restarted); the icon must then be added again.
  static UINT TaskbarCreatedMessage();

  // The added icon of a window, or null.
  static TrayIcon* AddedTo(HWND window);

  // The tip (cut to 127 characters); sendNow modifies the added icon at once.
  bool SetTip(std::u16string_view text, bool sendNow);
  bool SetIcon(HICON icon, bool sendNow);
  // Adds the icon to the notification area, or modifies it when it was added already.
  bool AddOrModify(HWND window, UINT id);
  bool Remove();
  // Text cut to 255 and title to 63 characters; with an icon the balloon shows it large.
  bool ShowBalloon(std::u16string_view text, std::u16string_view title, HICON icon, UINT timeout,
                   bool sendNow);
  bool HideBalloon();

  // Adds (or modifies) the icon and, when that succeeded, shows the start balloon or the
  // state balloon with the counts of enabled and all phrases.
  bool AddWithStartBalloon(HWND window, int enabled, int total);
  bool AddWithStateBalloon(HWND window, int enabled, int total);
  // The tooltip from the engine's state, its entry count, the path and the count.
  bool RefreshTooltip();
  // The 16 x 16 icon of the engine's state, sent at once.
  bool SetStateIcon();
  // A balloon titled "Vellix" with the state icon.
  bool MessageBalloon(std::u16string_view text);
  // A balloon titled "Vellix" with the system's warning icon.
  bool WarningBalloon(std::u16string_view text);
  // After TaskbarCreatedMessage: adds the icon again with its current tip and picture.
  bool ReAdd();

  bool IsAdded() const { return added_; }
  UINT Flags() const { return data_.uFlags; }
  const NOTIFYICONDATAW& Data() const { return data_; }

 private:
  bool AddWithBalloon(HWND window, TrayBalloonKind kind, int enabled, int total);
  bool Send(DWORD message);
  bool EngineOn() const;
  uint32_t PrintedChars() const;
  HICON StateIcon(bool large) const;

  const DesktopTypingEngine& engine_;
  const std::u16string& databasePath_;
  const Statistics* statistics_;
  NOTIFYICONDATAW data_{};
  bool added_ = false;
  // Index: [engine on][large].
  UniqueIcon icons_[2][2];
};

}  // namespace vellix
