// Looks at and talks to another program's windows and named events, for end-to-end tests.
//
//   win-message.exe find TITLE               prints the window's handle (hex); exit 1 if none
//   win-message.exe send TITLE MSG WP LP     sends MSG (a number, or a registered name in
//                                            braces) and prints the answer
//   win-message.exe post TITLE MSG WP LP     posts MSG and returns at once (a menu opened
//                                            by the message may then be driven by keys)
//   win-message.exe keys TITLE KEY...        posts key-down and key-up messages to the
//                                            window's queue, where an open menu of its
//                                            thread reads them; KEY: up down left right
//                                            home end enter escape
//   win-message.exe visible TITLE            exit 0 when the window is visible
//   win-message.exe texts CLASS              prints the text of every top-level window of
//                                            the class, one a line, asked with WM_GETTEXT
//                                            (GetWindowText gives only the caption of
//                                            another process's window; a tooltip's shown
//                                            tip text comes only from the control)
//   win-message.exe icon HANDLE ID           exit 0 when the notification area holds the
//                                            icon ID of the window HANDLE (hex, as find
//                                            prints it; the window may be gone)
//   win-message.exe event NAME               exit 0 when the named event exists
//   win-message.exe children TITLE           prints "id class text" for every descendant
//                                            window (a message box's text, a dialog's
//                                            controls), one a line
//   win-message.exe settext TITLE ID TEXT    sets the text of the descendant window with
//                                            the control id ID (its edit control, when
//                                            several have it); exit 1 if none
//   win-message.exe rect TITLE ID            prints "x y width height" of the first
//                                            descendant window with the control id ID, in
//                                            screen coordinates (where xdotool clicks it)
//   win-message.exe childsend TITLE ID MSG WP LP  sends MSG to the descendant window with the
//                                            control id ID and prints the answer
//   win-message.exe hotkey MODS VK SECONDS   holds the global hotkey (RegisterHotKey
//                                            modifiers and virtual key, numbers) for that
//                                            long, as another program may; exit 1 if it
//                                            cannot be registered
//
// TITLE is the window text of a top-level window (hidden ones included); '*' matches any
// run of characters.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/window_search_win.h"

namespace {

HWND FindTopLevel(const wchar_t* title) { return vellix::tools::FindTopLevelWindow(title); }

UINT MessageId(const wchar_t* text) {
  if (text[0] == L'{') return RegisterWindowMessageW(text);
  return static_cast<UINT>(wcstoul(text, nullptr, 0));
}

struct KeyName {
  const wchar_t* name;
  UINT key;
};

constexpr KeyName kKeys[] = {
    {L"up", VK_UP},     {L"down", VK_DOWN},   {L"left", VK_LEFT},     {L"right", VK_RIGHT},
    {L"home", VK_HOME}, {L"end", VK_END},     {L"enter", VK_RETURN},  {L"escape", VK_ESCAPE},
};

UINT KeyCode(const wchar_t* name) {
  for (const KeyName& key : kKeys) {
    if (wcscmp(key.name, name) == 0) return key.key;
  }
  return 0;
}

// The menu loop of the window's thread reads its keys from the thread's queue, like the
// keys a user presses while the menu is open.
bool PostKey(HWND window, UINT key) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  return PostMessageW(window, WM_KEYDOWN, key, down) && PostMessageW(window, WM_KEYUP, key, up);
}

BOOL CALLBACK PrintText(HWND window, LPARAM argument) {
  wchar_t className[128] = {};
  GetClassNameW(window, className, 128);
  if (_wcsicmp(className, reinterpret_cast<const wchar_t*>(argument)) != 0) return TRUE;
  static wchar_t text[4096];
  DWORD_PTR length = 0;
  text[0] = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                          &length)) {
    for (wchar_t* c = text; *c; ++c) {
      if (*c == L'\r' || *c == L'\n') *c = L'|';  // one window, one line
    }
    // UTF-8, so that the shell can compare any text (the C locale would stop at "…").
    static char bytes[4 * 4096];
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    if (size > 0) std::printf("%s\n", bytes);
  }
  return TRUE;
}

// UTF-8 of a text, so that the shell can compare any text.
std::string Utf8(const wchar_t* text) {
  static char bytes[4 * 4096];
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  return size > 0 ? std::string(bytes) : std::string();
}

BOOL CALLBACK PrintChild(HWND window, LPARAM) {
  wchar_t className[128] = {};
  GetClassNameW(window, className, 128);
  static wchar_t text[4096];
  DWORD_PTR length = 0;
  text[0] = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &length);
  for (wchar_t* c = text; *c; ++c) {
    if (*c == L'\r' || *c == L'\n') *c = L'|';
  }
  std::printf("%d %s %s\n", GetDlgCtrlID(window), Utf8(className).c_str(), Utf8(text).c_str());
  return TRUE;
}

struct ChildSearch {
  int id;
  HWND found;
};

// The first descendant with the id, or the edit control among them: a combo box and its
// edit share the id of the combo box.
BOOL CALLBACK FindChild(HWND window, LPARAM argument) {
  auto* search = reinterpret_cast<ChildSearch*>(argument);
  if (GetDlgCtrlID(window) != search->id) return TRUE;
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  const bool edit = _wcsicmp(className, L"Edit") == 0;
  if (!search->found || edit) search->found = window;
  return edit ? FALSE : TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: win-message find|send|post|keys|visible|texts|icon|event|children|settext|rect|childsend|hotkey ...\n");
    return 2;
  }
  const std::wstring command = argv[1];
  if (command == L"event") {
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
    if (!event) return 1;
    CloseHandle(event);
    return 0;
  }
  if (command == L"texts") {
    EnumWindows(&PrintText, reinterpret_cast<LPARAM>(argv[2]));
    return 0;
  }
  if (command == L"icon" && argc >= 4) {
    // Modifying nothing succeeds exactly when the shell knows the icon.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoull(argv[2], nullptr, 16)));
    data.uID = static_cast<UINT>(wcstoul(argv[3], nullptr, 0));
    return Shell_NotifyIconW(NIM_MODIFY, &data) ? 0 : 1;
  }
  if (command == L"hotkey" && argc >= 5) {
    if (!RegisterHotKey(nullptr, 1, static_cast<UINT>(wcstoul(argv[2], nullptr, 0)),
                        static_cast<UINT>(wcstoul(argv[3], nullptr, 0)))) {
      return 1;
    }
    Sleep(static_cast<DWORD>(wcstoul(argv[4], nullptr, 0)) * 1000);
    UnregisterHotKey(nullptr, 1);
    return 0;
  }
  HWND window = FindTopLevel(argv[2]);
  if (!window) return 1;
  if (command == L"find") {
    wprintf(L"%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return 0;
  }
  if (command == L"post" && argc >= 6) {
    return PostMessageW(window, MessageId(argv[3]), wcstoull(argv[4], nullptr, 0),
                        wcstoll(argv[5], nullptr, 0))
               ? 0
               : 1;
  }
  if (command == L"keys") {
    for (int i = 3; i < argc; ++i) {
      const UINT key = KeyCode(argv[i]);
      if (key == 0) return 2;
      if (!PostKey(window, key)) return 1;
      Sleep(50);  // one key at a time, as typed
    }
    return 0;
  }
  if (command == L"visible") return IsWindowVisible(window) ? 0 : 1;
  if (command == L"children") {
    EnumChildWindows(window, &PrintChild, 0);
    return 0;
  }
  if (command == L"rect" && argc >= 4) {
    ChildSearch search{static_cast<int>(wcstol(argv[3], nullptr, 0)), nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM argument) -> BOOL {
          auto* found = reinterpret_cast<ChildSearch*>(argument);
          if (GetDlgCtrlID(child) != found->id) return TRUE;
          found->found = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    RECT rect{};
    if (!search.found || !GetWindowRect(search.found, &rect)) return 1;
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
  }
  if (command == L"settext" && argc >= 5) {
    ChildSearch search{static_cast<int>(wcstol(argv[3], nullptr, 0)), nullptr};
    EnumChildWindows(window, &FindChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(search.found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_NORMAL, 5000,
                               &answer) && answer
               ? 0
               : 1;
  }
  if (command == L"childsend" && argc >= 7) {
    ChildSearch search{static_cast<int>(wcstol(argv[3], nullptr, 0)), nullptr};
    EnumChildWindows(window, &FindChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(search.found, MessageId(argv[4]), wcstoull(argv[5], nullptr, 0),
                             wcstoll(argv[6], nullptr, 0), SMTO_NORMAL, 10000, &answer)) {
      return 1;
    }
    wprintf(L"%llu\n", static_cast<unsigned long long>(answer));
    return 0;
  }
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
