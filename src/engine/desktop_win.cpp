#include "engine/desktop_win.h"

#include <windows.h>

#include <algorithm>

namespace vellix {
namespace {

// ToUnicodeEx flag: translate without changing the keyboard state (Windows 10 1607+).
constexpr UINT kToUnicodeKeepState = 0x4;
constexpr DWORD kFirstBuildWithKeepState = 14393;
constexpr int kTextUnits = 100;

DWORD WindowsBuild() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return 0;
  const auto get = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!get || get(&info) != 0) return 0;
  if (info.dwMajorVersion > 10) return kFirstBuildWithKeepState;
  return info.dwMajorVersion == 10 ? info.dwBuildNumber : 0;
}

}  // namespace

Win32Desktop::Win32Desktop() : keepStateFlag_(WindowsBuild() >= kFirstBuildWithKeepState) {}

bool Win32Desktop::WindowExists(WindowHandle window) noexcept {
  return window != 0 && IsWindow(reinterpret_cast<HWND>(window));
}

int Win32Desktop::Translate(const KeyboardEventInfo& key, const uint8_t* state,
                            uintptr_t layout, wchar_t* out, int capacity) noexcept {
  return ToUnicodeEx(key.vkCode, key.scanCode, state, out, capacity,
                     keepStateFlag_ ? kToUnicodeKeepState : 0, reinterpret_cast<HKL>(layout));
}

size_t Win32Desktop::KeyText(const KeyboardEventInfo& key, WindowHandle window,
                             char16_t* buffer, size_t capacity) noexcept {
  if (window == 0) return 0;
  // These queries also bring this thread's key-state table up to date with the keyboard
  // before it is read below: the hook thread receives no key messages of its own.
  GetAsyncKeyState(VK_MENU);
  if (GetAsyncKeyState(VK_CONTROL) != 0) return 0;  // Ctrl shortcuts are not text
  GetAsyncKeyState(VK_SHIFT);
  GetKeyState(VK_CAPITAL);

  BYTE state[256] = {};
  GetKeyboardState(state);
  const HWND hwnd = reinterpret_cast<HWND>(window);
  const uintptr_t layout =
      reinterpret_cast<uintptr_t>(GetKeyboardLayout(GetWindowThreadProcessId(hwnd, nullptr)));

  wchar_t text[kTextUnits] = {};
  const int result = Translate(key, state, layout, text, kTextUnits - 1);

  if (!keepStateFlag_) {
    // Without the keep-state flag our call changes the dead-key state that the target's
    // own translation of this very key relies on. Put it back as it was.
    if (result < 0) {
      // A dead key: our call armed it; a second press of it disarms it again, so that the
      // target arms it itself. Remember it for the character that follows.
      wchar_t scratch[kTextUnits] = {};
      for (int i = 0; i < 4 && Translate(key, state, layout, scratch, kTextUnits - 1) < 0; ++i) {
      }
      deadKey_.armed = true;
      deadKey_.vk = key.vkCode;
      deadKey_.scan = key.scanCode;
      std::copy(std::begin(state), std::end(state), deadKey_.state.begin());
      deadKey_.layout = layout;
    } else if (result > 0 && deadKey_.armed) {
      // Our translation of this character consumed the dead key that the target armed;
      // arm it again so that the target still combines it with this character.
      deadKey_.armed = false;
      if (deadKey_.layout == layout) {
        const KeyboardEventInfo dead{key.message, deadKey_.vk, deadKey_.scan, 0};
        wchar_t scratch[kTextUnits] = {};
        Translate(dead, deadKey_.state.data(), layout, scratch, kTextUnits - 1);
      }
    }
  }

  size_t length = 0;
  while (length < capacity && length < kTextUnits - 1 && text[length] != 0) {
    buffer[length] = static_cast<char16_t>(text[length]);
    ++length;
  }
  return length;
}

char16_t Win32Desktop::UpperCase(char16_t unit) noexcept {
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}

}  // namespace vellix
