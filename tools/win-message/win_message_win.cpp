// Looks at and talks to another program's windows and named events, for end-to-end tests.
//
//   win-message.exe find TITLE               prints the window's handle (hex); exit 1 if none
//   win-message.exe send TITLE MSG WP LP     sends MSG (a number, or a registered name in
//                                            braces) and prints the answer
//   win-message.exe visible TITLE            exit 0 when the window is visible
//   win-message.exe event NAME               exit 0 when the named event exists
//
// TITLE is the window text of a top-level window (hidden ones included); '*' matches any
// run of characters.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// '*' in the pattern stands for any run of characters.
bool Matches(const wchar_t* pattern, const wchar_t* text) {
  if (*pattern == 0) return *text == 0;
  if (*pattern == L'*') {
    for (;; ++text) {
      if (Matches(pattern + 1, text)) return true;
      if (*text == 0) return false;
    }
  }
  return *text == *pattern && Matches(pattern + 1, text + 1);
}

struct Search {
  const wchar_t* pattern;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM argument) {
  auto* search = reinterpret_cast<Search*>(argument);
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  if (Matches(search->pattern, text)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopLevel(const wchar_t* title) {
  Search search{title, nullptr};
  EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

UINT MessageId(const wchar_t* text) {
  if (text[0] == L'{') return RegisterWindowMessageW(text);
  return static_cast<UINT>(wcstoul(text, nullptr, 0));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: win-message find|send|visible|event ...\n");
    return 2;
  }
  const std::wstring command = argv[1];
  if (command == L"event") {
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
    if (!event) return 1;
    CloseHandle(event);
    return 0;
  }
  HWND window = FindTopLevel(argv[2]);
  if (!window) return 1;
  if (command == L"find") {
    wprintf(L"%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return 0;
  }
  if (command == L"visible") return IsWindowVisible(window) ? 0 : 1;
  if (command == L"send" && argc >= 6) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, MessageId(argv[3]), wcstoull(argv[4], nullptr, 0),
                             wcstoll(argv[5], nullptr, 0), SMTO_NORMAL, 10000, &answer)) {
      return 1;
    }
    wprintf(L"%llu\n", static_cast<unsigned long long>(answer));
    return 0;
  }
  return 2;
}
