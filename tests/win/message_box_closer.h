#pragma once
// Reads and closes a message box that the test thread shows: start the timer before the
// call that shows the box; the box's own message loop runs the timer.

#include <windows.h>

#include <string>

namespace vellix::testing {

class MessageBoxCloser {
 public:
  MessageBoxCloser() {
    text_.clear();
    timer_ = SetTimer(nullptr, 0, 50, &MessageBoxCloser::OnTimer);
  }
  ~MessageBoxCloser() { KillTimer(nullptr, timer_); }
  MessageBoxCloser(const MessageBoxCloser&) = delete;
  MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  // The text of the box that was closed; empty when none appeared.
  static const std::wstring& text() { return text_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &MessageBoxCloser::CloseBox, 0);
    if (!text_.empty()) KillTimer(nullptr, timer);
  }
  static BOOL CALLBACK CloseBox(HWND window, LPARAM) {
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    // A message box is a dialog with the static text 0xFFFF.
    if (wcscmp(class_name, L"#32770") != 0 || !IsWindowVisible(window) || !GetDlgItem(window, 0xFFFF)) return TRUE;
    wchar_t text[2048] = {};
    GetDlgItemTextW(window, 0xFFFF, text, 2048);
    text_ = text;
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
  }

  static inline std::wstring text_;
  UINT_PTR timer_ = 0;
};

}  // namespace vellix::testing
