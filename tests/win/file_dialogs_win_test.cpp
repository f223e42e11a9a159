// The open and save dialogs, whose library is loaded on first use: each dialog opens,
// shows the given file and answers as the user closes it.
#include "win32/file_dialogs_win.h"

#include <gtest/gtest.h>

#include <string>

#include "win/win_test_support.h"

namespace vellix {
namespace {

constexpr wchar_t kTitle[] = L"Vellix file dialog test";

// Closes the test's file dialog with a button as soon as it shows; the dialog's own message
// loop runs the timer.
class FileDialogCloser {
 public:
  explicit FileDialogCloser(WPARAM button) {
    button_ = button;
    seen_ = false;
    timer_ = SetTimer(nullptr, 0, 100, &FileDialogCloser::OnTimer);
  }
  ~FileDialogCloser() { KillTimer(nullptr, timer_); }
  FileDialogCloser(const FileDialogCloser&) = delete;
  FileDialogCloser& operator=(const FileDialogCloser&) = delete;
  static bool seen() { return seen_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &FileDialogCloser::Close, 0);
  }
  static BOOL CALLBACK Close(HWND window, LPARAM) {
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (std::wstring(title) != kTitle || !IsWindowVisible(window)) return TRUE;
    seen_ = true;
    PostMessageW(window, WM_COMMAND, button_, 0);
    return FALSE;
  }
  static inline WPARAM button_ = IDCANCEL;
  static inline bool seen_ = false;
  UINT_PTR timer_ = 0;
};

TEST(FileDialogs, OpenAndSaveAnswerAsTheUserCloses) {
  testing::TempFolder folder;
  const std::wstring file = folder.File(L"Phrases.xml");
  HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  CloseHandle(created);
  struct Case {
    const char* name;
    bool (*show)(OPENFILENAMEW&);
    WPARAM button;
    bool chosen;
  } cases[] = {
      {"open, OK", &ShowOpenFileDialog, IDOK, true},
      {"open, Cancel", &ShowOpenFileDialog, IDCANCEL, false},
      {"save, OK", &ShowSaveFileDialog, IDOK, true},
      {"save, Cancel", &ShowSaveFileDialog, IDCANCEL, false},
  };
  for (const auto& c : cases) {
    wchar_t chosen[MAX_PATH] = {};
    file.copy(chosen, file.size());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = L"Phrase databases (*.xml)\0*.xml\0";
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = kTitle;
    // Saving over the file asks first; that prompt is not what is tested here.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    FileDialogCloser closer(c.button);
    EXPECT_EQ(c.show(dialog), c.chosen) << c.name;
    EXPECT_TRUE(FileDialogCloser::seen()) << c.name;
    if (c.chosen) {
      EXPECT_EQ(lstrcmpiW(chosen, file.c_str()), 0) << c.name;
    }
  }
}

}  // namespace
}  // namespace vellix
