// A small host of the engine's Win32 pieces for end-to-end tests.
//
//   hook-probe.exe listen LOG [SECONDS]
//       Registers a keyboard listener and a window-event listener (foreground, focus,
//       caret location; events of this process skipped), translates every key-down with
//       the desktop's key translation in the layout of the window named by the latest
//       window event, and appends one UTF-8 line per event to LOG:
//         ready KEEPSTATE                     (1 when keys translate with the keep-state flag)
//         key MESSAGE VK SCAN FLAGS TEXT      (numbers in hex; TEXT escaped as below)
//         event EVENT OBJECTID WINDOW         (EVENT and WINDOW in hex, OBJECTID decimal)
//       Ends when the file LOG.stop appears or after SECONDS (default 60).
//   hook-probe.exe type TEXT ERASE LEFT [plain]
//       Types TEXT into the focused window after ERASE Backspaces and moves the caret LEFT
//       steps to the left; "plain" sends Backspace without the Unicode flag.
//   hook-probe.exe caret TITLE
//       Prints the caret's screen position of the top-level window TITLE as "X Y", or
//       "none" (exit code 1).
//
// TEXT escapes: \r \n \t \\ and \x{HEX} for any code point; the log uses the same.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "base/utf.h"
#include "base/wide.h"
#include "engine/caret_position_win.h"
#include "engine/desktop_win.h"
#include "engine/key_injector_win.h"
#include "engine/keyboard_hook_manager_win.h"
#include "engine/synthetic_typing.h"
#include "engine/win_event_hook_manager_win.h"

namespace vellix {
namespace {

std::u16string Unescape(std::u16string_view in) {
  std::u16string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != u'\\' || i + 1 == in.size()) {
      out += in[i];
      continue;
    }
    const char16_t c = in[++i];
    if (c == u'r') out += u'\r';
    else if (c == u'n') out += u'\n';
    else if (c == u't') out += u'\t';
    else if (c == u'x' && i + 1 < in.size() && in[i + 1] == u'{') {
      const size_t close = in.find(u'}', i);
      if (close == std::u16string_view::npos) break;
      const std::string hex = Utf16ToUtf8(in.substr(i + 2, close - i - 2));
      const char32_t cp = static_cast<char32_t>(std::strtoul(hex.c_str(), nullptr, 16));
      if (cp >= 0x10000) {
        out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        out += static_cast<char16_t>(cp);
      }
      i = close;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Escape(std::u16string_view in) {
  std::string out;
  for (const char16_t c : in) {
    if (c == u'\\') out += "\\\\";
    else if (c == u'\r') out += "\\r";
    else if (c == u'\n') out += "\\n";
    else if (c == u'\t') out += "\\t";
    else if (c < 0x20 || c == u' ' || c >= 0x7F) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\x{%X}", static_cast<unsigned>(c));
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

class Probe final : public KeyboardListener, public WinEventListener {
 public:
  explicit Probe(FILE* log) : log_(log) {}

  void OnKeyboardEvent(const KeyboardEventInfo& info, uint32_t) noexcept override {
    char16_t text[100];
    int result = 0;
    // As the word tracker does: a key under Ctrl without Alt is a shortcut, not text.
    const bool shortcut = (info.modifiers & kModControl) != 0 && (info.modifiers & kModAlt) == 0;
    if ((info.message == kWmKeyDown || info.message == kWmSysKeyDown) && !shortcut) {
      result = desktop_.KeyText(info, window_, text, 99);
    }
    const size_t length = static_cast<size_t>(result < 0 ? -result : result);
    std::fprintf(log_, "key %X %X %X %X %s\n", info.message, info.vkCode, info.scanCode,
                 info.flags, Escape({text, length}).c_str());
    // The modifiers the hook tracked, and whether the key was a dead key.
    std::fprintf(log_, "mods %X%s\n", info.modifiers, result < 0 ? " dead" : "");
    std::fflush(log_);
  }

  void OnMouseButton(const MouseEventInfo& info, uint32_t) noexcept override {
    std::fprintf(log_, "mouse %X %d %d\n", info.message, info.x, info.y);
    std::fflush(log_);
  }

  bool TranslatesWithoutStateChange() const { return desktop_.TranslatesWithoutStateChange(); }

  void OnWinEvent(const WinEventInfo& info, uint32_t) noexcept override {
    window_ = info.window;
    std::fprintf(log_, "event %X %d %llX\n", info.event, info.objectId,
                 static_cast<unsigned long long>(info.window));
    std::fflush(log_);
  }

 private:
  FILE* log_;
  Win32Desktop desktop_;
  WindowHandle window_ = 0;
};

int Listen(const std::wstring& logPath, int seconds) {
  FILE* log = _wfopen(logPath.c_str(), L"wb");
  if (!log) return 2;
  Probe probe(log);
  WinEventHookManager::SetSkipOwnProcess(true);
  if (!KeyboardHookManager::Register(&probe, 0)) return 3;
  for (const uint32_t event : {kEventObjectFocus, kEventSystemForeground,
                               kEventObjectLocationChange}) {
    WinEventHookManager::Add(&probe, 0, event);
  }
  if (!WinEventHookManager::IsHooked()) return 4;
  std::fprintf(log, "ready %d\n", probe.TranslatesWithoutStateChange() ? 1 : 0);
  std::fflush(log);

  const std::wstring stopPath = logPath + L".stop";
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  // Both hooks are called through this thread's message loop.
  while (GetTickCount64() < end && GetFileAttributesW(stopPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  const bool released = KeyboardHookManager::Unregister(&probe);
  WinEventHookManager::Remove(&probe);
  std::fprintf(log, "end %d %d\n", released ? 1 : 0, WinEventHookManager::IsHooked() ? 1 : 0);
  std::fclose(log);
  return 0;
}

int Type(const std::wstring& text, int erase, int left, bool plain) {
  Win32KeyInjector injector;
  const BackspaceStyle style = plain ? BackspaceStyle::kPlainKey : DefaultBackspaceStyle();
  return TypeText(injector, Unescape(AsU16(text.c_str())), static_cast<uint32_t>(erase),
                  static_cast<uint32_t>(left), style)
             ? 0
             : 1;
}

int Caret(const std::wstring& title) {
  const HWND window = FindWindowW(nullptr, title.c_str());
  int32_t x = 0;
  int32_t y = 0;
  if (!window || !GetCaretScreenPosition(reinterpret_cast<WindowHandle>(window), x, y)) {
    std::printf("none\n");
    return 1;
  }
  std::printf("%d %d\n", x, y);
  return 0;
}

}  // namespace
}  // namespace vellix

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) {
    std::fprintf(stderr, "usage: hook-probe listen LOG [SECONDS] | type TEXT ERASE LEFT [plain] | caret TITLE\n");
    return 64;
  }
  const std::wstring mode = argv[1];
  if (mode == L"listen") return vellix::Listen(argv[2], argc > 3 ? _wtoi(argv[3]) : 60);
  if (mode == L"type" && argc >= 5) {
    return vellix::Type(argv[2], _wtoi(argv[3]), _wtoi(argv[4]),
                        argc > 5 && std::wstring(argv[5]) == L"plain");
  }
  if (mode == L"caret") return vellix::Caret(argv[2]);
  return 64;
}
