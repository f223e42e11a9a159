// A window to type into in end-to-end tests: one multi-line edit control filling a
// top-level window. It raises the window events that Windows raises for such a window and
// that Wine leaves out (foreground on activation, focus when the edit gets the focus, the
// caret's location change after every move), and it mirrors the edit's text into a file
// so that a test can read what was typed.
//
//   target-window.exe [--title TEXT] [--out FILE] [--password 1]
//
// --title  the window title (default "Vellix Target").
// --password  the edit is a one-line password field (ES_PASSWORD).
// --out    after every change the edit's whole text is written to FILE as UTF-8, without
//          byte-order mark, replacing the file in one step (written to FILE.tmp first and
//          moved over), so a reader never sees a half-written text. Written once at start
//          (empty), which also tells a test that the window is up.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "base/utf.h"
#include "base/wide.h"

namespace {

constexpr int kEditId = 100;

struct Target {
  HWND window = nullptr;
  HWND edit = nullptr;
  WNDPROC editProc = nullptr;
  std::wstring outFile;
  bool password = false;
  POINT caret{-1, -1};
  DWORD selStart = ~0u;
  DWORD selEnd = ~0u;
};

Target g_target;

void WriteText() {
  if (g_target.outFile.empty()) return;
  const int length = GetWindowTextLengthW(g_target.edit);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(g_target.edit, text.data(), length + 1)));
  const std::string utf8 = vellix::Utf16ToUtf8(vellix::AsU16(text.c_str()));
  const std::wstring temp = g_target.outFile + L".tmp";
  const HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
  MoveFileExW(temp.c_str(), g_target.outFile.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Raises the caret's location change when the caret or the selection moved.
void CheckCaret() {
  if (GetFocus() != g_target.edit) return;
  POINT caret{};
  GetCaretPos(&caret);
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(g_target.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  if (caret.x == g_target.caret.x && caret.y == g_target.caret.y &&
      start == g_target.selStart && end == g_target.selEnd) {
    return;
  }
  g_target.caret = caret;
  g_target.selStart = start;
  g_target.selEnd = end;
  NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, g_target.edit, OBJID_CARET, CHILDID_SELF);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(g_target.editProc, hwnd, message, wParam, lParam);
  switch (message) {
    case WM_SETFOCUS:
      NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, CHILDID_SELF);
      g_target.caret = {-1, -1};
      CheckCaret();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case EM_SETSEL:
    case EM_REPLACESEL:
    case WM_SETTEXT:
    case WM_PASTE:
    case WM_CUT:
    case WM_UNDO:
      CheckCaret();
      break;
    default:
      break;
  }
  return result;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const DWORD kind = g_target.password
                             ? ES_PASSWORD | ES_AUTOHSCROLL
                             : WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
      g_target.edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                      WS_CHILD | WS_VISIBLE | ES_NOHIDESEL | kind, 0, 0, 0, 0,
                                      hwnd, reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
      SendMessageW(g_target.edit, WM_SETFONT,
                   reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      g_target.editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
          g_target.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
      return 0;
    }
    case WM_SIZE:
      MoveWindow(g_target.edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, hwnd, OBJID_WINDOW, CHILDID_SELF);
        SetFocus(g_target.edit);
      }
      return 0;
    case WM_SETFOCUS:
      SetFocus(g_target.edit);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) WriteText();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  std::wstring title = L"Vellix Target";
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i + 1 < argc; i += 2) {
    const std::wstring key = argv[i];
    if (key == L"--title") title = argv[i + 1];
    if (key == L"--out") g_target.outFile = argv[i + 1];
    if (key == L"--password") g_target.password = std::wstring(argv[i + 1]) == L"1";
  }
  if (argv) LocalFree(argv);

  WNDCLASSW wc{};
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"VellixTargetWindow";
  if (!RegisterClassW(&wc)) return 1;
  g_target.window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                    100, 100, 640, 400, nullptr, nullptr, instance, nullptr);
  if (!g_target.window) return 1;
  ShowWindow(g_target.window, show == SW_HIDE ? SW_SHOWNORMAL : show);
  UpdateWindow(g_target.window);
  WriteText();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
