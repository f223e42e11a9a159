#include "engine/desktop_win.h"

#include <windows.h>

#include "base/wide.h"
#include "engine/dead_keys.h"
#include "engine/modifier_tracker.h"

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

int Win32Desktop::KeyText(const KeyboardEventInfo& key, WindowHandle window, char16_t* buffer,
                          size_t capacity) noexcept {
  if (window == 0) return 0;
  // The modifiers come from the hook's own record of the keys: the system's key-state
  // table of this thread is not current (it receives no key messages of its own), and
  // asking for it would cost a round trip to the window server per key.
  uint8_t state[256];
  FillKeyState(key.modifiers, state);
  const HWND hwnd = reinterpret_cast<HWND>(window);
  const uintptr_t layout =
      reinterpret_cast<uintptr_t>(GetKeyboardLayout(GetWindowThreadProcessId(hwnd, nullptr)));

  // The text is what the layout wrote up to its first zero unit, whatever it answered.
  char16_t text[kTextUnits] = {};
  const int result =
      translator_.Translate(key.vkCode, key.scanCode, state, layout, text, kTextUnits - 1);
  size_t length = 0;
  while (length < capacity && text[length] != 0) {
    buffer[length] = text[length];
    ++length;
  }
  return result < 0 ? -static_cast<int>(length) : static_cast<int>(length);
}

namespace {

char16_t PrecomposeWithFoldString(char16_t letter, char16_t mark) noexcept {
  const wchar_t pair[2] = {static_cast<wchar_t>(letter), static_cast<wchar_t>(mark)};
  wchar_t out[4] = {};
  const int n = FoldStringW(MAP_PRECOMPOSED, pair, 2, out, 4);
  return n == 1 ? static_cast<char16_t>(out[0]) : 0;
}

}  // namespace

size_t Win32Desktop::ComposeDeadKey(char16_t dead, std::u16string_view text, char16_t* out,
                                    size_t capacity) noexcept {
  return ComposeAfterDeadKey(dead, text, &PrecomposeWithFoldString, out, capacity);
}

bool Win32Desktop::IsPasswordField(WindowHandle window) noexcept {
  const HWND hwnd = reinterpret_cast<HWND>(window);
  if (!IsWindow(hwnd)) return false;
  // ES_PASSWORD means a password only for the edit controls; other classes use the bit for
  // something else. The real class names the control also when a program superclassed it.
  wchar_t className[64] = {};
  if (RealGetWindowClassW(hwnd, className, 64) == 0) return false;
  const bool editLike = lstrcmpiW(className, L"Edit") == 0 ||
                        _wcsnicmp(className, L"RichEdit", 8) == 0;
  return editLike && (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_PASSWORD) != 0;
}

size_t Win32Desktop::ProgramFileName(WindowHandle window, char16_t* buffer,
                                     size_t capacity) noexcept {
  return programs_.FileNameOf(reinterpret_cast<HWND>(window), buffer, capacity);
}

char16_t Win32Desktop::LowerCase(char16_t unit) noexcept {
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_LOWERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}

char16_t Win32Desktop::UpperCase(char16_t unit) noexcept {
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}

}  // namespace vellix
