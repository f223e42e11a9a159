#pragma once
// Stand-in declarations of the tray icon, used only while src/app/tray_icon_win.cpp is not
// in the tree (see src/app/CMakeLists.txt). The real header replaces this folder.
#include <windows.h>

#include <string>
#include <string_view>

namespace vellix {

class DesktopTypingEngine;

class TrayIcon {
 public:
  TrayIcon(const DesktopTypingEngine& engine, const std::u16string& databasePath)
      : engine_(engine), databasePath_(databasePath) {}
  bool AddWithStartBalloon(HWND window, int enabled, int total);
  bool AddWithStateBalloon(HWND window, int enabled, int total);
  void RefreshTooltip();
  void SetStateIcon();
  void MessageBalloon(std::u16string_view text);
  void HideBalloon();
  void Remove();
  bool ReAdd();
  static UINT TaskbarCreatedMessage();

 private:
  const DesktopTypingEngine& engine_;
  const std::u16string& databasePath_;
};

}  // namespace vellix
