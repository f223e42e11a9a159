#include "engine/desktop_win.h"

#include <windows.h>

#include "base/wide.h"

namespace vellix {
namespace {

constexpr DWORD kFirstBuildWithKeepState = 14393;  // Windows 10 1607
constexpr int kTextUnits = 100;

bool HasKeepStateFlag() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return false;
  const auto get = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!get || get(&info) != 0) return false;
  if (info.dwMajorVersion != 10) return info.dwMajorVersion > 10;
  return info.dwBuildNumber >= kFirstBuildWithKeepState;
}

}  // namespace

Win32Desktop::Win32Desktop() : translator_(*this, HasKeepStateFlag()) {}

bool Win32Desktop::WindowExists(WindowHandle window) noexcept {
  return window != 0 && IsWindow(reinterpret_cast<HWND>(window));
}

int Win32Desktop::ToUnicode(uint32_t vk, uint32_t scan, const uint8_t* state, char16_t* out,
                            int capacity, uint32_t flags, uintptr_t layout) noexcept {
  return ToUnicodeEx(vk, scan, state, AsWide(out), capacity, flags,
                     reinterpret_cast<HKL>(layout));
}

bool Win32Desktop::IsControlDown() noexcept { return GetAsyncKeyState(VK_CONTROL) != 0; }

size_t Win32Desktop::KeyText(const KeyboardEventInfo& key, WindowHandle window,
                             char16_t* buffer, size_t capacity) noexcept {
  if (window == 0) return 0;
  // These queries also bring this thread's key-state table up to date with the keyboard
  // before it is read below: the hook's thread receives no key messages of its own. Ctrl
  // was already asked by the caller (IsControlDown), which leaves Ctrl shortcuts out.
  GetAsyncKeyState(VK_MENU);
  GetAsyncKeyState(VK_SHIFT);
  GetKeyState(VK_CAPITAL);

  BYTE state[256] = {};
  GetKeyboardState(state);
  const HWND hwnd = reinterpret_cast<HWND>(window);
  const uintptr_t layout =
      reinterpret_cast<uintptr_t>(GetKeyboardLayout(GetWindowThreadProcessId(hwnd, nullptr)));

  // The text is what the layout wrote up to its first zero unit, whatever it answered.
  char16_t text[kTextUnits] = {};
  translator_.Translate(key.vkCode, key.scanCode, state, layout, text, kTextUnits - 1);
  size_t length = 0;
  while (length < capacity && text[length] != 0) {
    buffer[length] = text[length];
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
