#pragma once
// Finding a top-level window by its title, for the helper programs the tests and
// benchmarks drive.

#include <windows.h>

namespace vellix::tools {

// Whether text matches pattern, where '*' stands for any run of characters.
inline bool TitleMatches(const wchar_t* pattern, const wchar_t* text) {
  if (*pattern == 0) return *text == 0;
  if (*pattern == L'*') {
    for (;; ++text) {
      if (TitleMatches(pattern + 1, text)) return true;
      if (*text == 0) return false;
    }
  }
  return *text == *pattern && TitleMatches(pattern + 1, text + 1);
}

// The first top-level window whose title matches pattern and, when process is not 0, that
// belongs to that process; null when there is none.
inline HWND FindTopLevelWindow(const wchar_t* pattern, DWORD process = 0) {
  struct Search {
    const wchar_t* pattern;
    DWORD process;
    HWND found;
  } search{pattern, process, nullptr};
  EnumWindows(
      [](HWND window, LPARAM argument) -> BOOL {
        auto* s = reinterpret_cast<Search*>(argument);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (s->process != 0 && owner != s->process) return TRUE;
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        if (!TitleMatches(s->pattern, text)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace vellix::tools
