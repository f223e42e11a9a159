#pragma once
// The plain values and the small interfaces through which the typing engine's core meets
// the desktop. The core never includes <windows.h>: the Win32 layer turns hook records into
// these values and implements Desktop; tests give the core fakes.

#include <cstddef>
#include <cstdint>

namespace vellix {

// An opaque window handle; 0 means no window.
using WindowHandle = uintptr_t;

// Key messages and flags of the low-level keyboard hook, as Windows defines them.
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kLlkhfInjected = 0x10;
inline constexpr uint32_t kLlkhfAltDown = 0x20;
inline constexpr uint32_t kVkBack = 0x08;

// Window events the engine follows.
inline constexpr uint32_t kEventSystemForeground = 0x0003;
inline constexpr uint32_t kEventObjectFocus = 0x8005;
inline constexpr uint32_t kEventObjectLocationChange = 0x800B;
inline constexpr int32_t kObjIdWindow = 0;
inline constexpr int32_t kObjIdCaret = -8;

// The fields of one low-level key record (KBDLLHOOKSTRUCT) that the engine uses.
struct KeyboardEventInfo {
  uint32_t message = 0;  // kWmKeyDown, kWmKeyUp, kWmSysKeyDown or kWmSysKeyUp
  uint32_t vkCode = 0;
  uint32_t scanCode = 0;
  uint32_t flags = 0;  // kLlkhfInjected, kLlkhfAltDown, ...
};

// One window event, in the order of the WinEvent procedure's arguments.
struct WinEventInfo {
  uint32_t event = 0;
  WindowHandle window = 0;
  uint32_t eventThread = 0;
  int32_t objectId = 0;
  int32_t childId = 0;
  uint32_t eventTime = 0;
};

// Receives every key event of the process-wide keyboard hook, on the hook's thread.
class KeyboardListener {
 public:
  virtual void OnKeyboardEvent(const KeyboardEventInfo& info, uint32_t context) noexcept = 0;

 protected:
  ~KeyboardListener() = default;
};

// Receives the window events it registered for, on the hook's thread.
class WinEventListener {
 public:
  virtual void OnWinEvent(const WinEventInfo& info, uint32_t context) noexcept = 0;

 protected:
  ~WinEventListener() = default;
};

// What the engine core asks of the desktop. Called on the hook thread for every key, so
// implementations must be quick and must not allocate.
class Desktop {
 public:
  virtual bool WindowExists(WindowHandle window) noexcept = 0;
  // Writes into buffer (capacity units, not terminated) the text that the key produces in
  // the keyboard layout of window's thread, and returns its length: 0 when window is 0,
  // when Ctrl is held down, or for a key without a character. Must leave the keyboard's
  // dead-key state as it was.
  virtual size_t KeyText(const KeyboardEventInfo& key, WindowHandle window, char16_t* buffer,
                         size_t capacity) noexcept = 0;
  // The invariant locale's upper-case form of one UTF-16 unit; the unit itself when it has
  // none or the mapping fails.
  virtual char16_t UpperCase(char16_t unit) noexcept = 0;
  // Whether Ctrl is held down (any bit of GetAsyncKeyState (VK_CONTROL)). A key typed with
  // Ctrl yields no text at all, so the word tracker reports no change for it (Ctrl+V keeps
  // a waiting insertion alive, unlike a key that merely has no character).
  // Implementations that do not override it make such keys behave like keys without a
  // character: the word stays the same either way.
  virtual bool IsControlDown() noexcept { return false; }

 protected:
  ~Desktop() = default;
};

}  // namespace vellix
