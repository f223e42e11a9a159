#pragma once
// The plain values and the small interfaces through which the typing engine's core meets
// the desktop. The core never includes <windows.h>: the Win32 layer turns hook records into
// these values and implements Desktop; tests give the core fakes.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vellix {

// An opaque window handle; 0 means no window.
using WindowHandle = uintptr_t;

// Key messages and flags of the low-level keyboard hook, as Windows defines them.
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kLlkhfExtended = 0x01;
inline constexpr uint32_t kLlkhfInjected = 0x10;
inline constexpr uint32_t kLlkhfAltDown = 0x20;
inline constexpr uint32_t kLlkhfUp = 0x80;
// Not a system flag: the hook marks so the Backspace it held back for an undo.
inline constexpr uint32_t kUndoRequestFlag = 0x80000000u;
inline constexpr uint32_t kVkBack = 0x08;

// Mouse button-down messages of the low-level mouse hook.
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmRButtonDown = 0x0204;
inline constexpr uint32_t kWmMButtonDown = 0x0207;
inline constexpr uint32_t kWmXButtonDown = 0x020B;
inline constexpr uint32_t kWmNcLButtonDown = 0x00A1;  // not sent by the hook; never a click

// The modifier keys held down (and the two lock toggles) when a key event happened, as the
// hook tracks them from the key events themselves (see ModifierTracker).
enum ModifierBits : uint32_t {
  kModLeftShift = 1u << 0,
  kModRightShift = 1u << 1,
  kModLeftControl = 1u << 2,
  kModRightControl = 1u << 3,
  kModLeftAlt = 1u << 4,
  kModRightAlt = 1u << 5,
  kModLeftWin = 1u << 6,
  kModRightWin = 1u << 7,
  kModCapsLock = 1u << 8,  // toggled on
  kModNumLock = 1u << 9,   // toggled on
  kModShift = kModLeftShift | kModRightShift,
  kModControl = kModLeftControl | kModRightControl,
  kModAlt = kModLeftAlt | kModRightAlt,
  kModWin = kModLeftWin | kModRightWin,
};

// Window events the engine follows.
inline constexpr uint32_t kEventSystemForeground = 0x0003;
inline constexpr uint32_t kEventObjectFocus = 0x8005;
inline constexpr uint32_t kEventObjectLocationChange = 0x800B;
inline constexpr int32_t kObjIdWindow = 0;
inline constexpr int32_t kObjIdCaret = -8;

// The fields of one low-level key record (KBDLLHOOKSTRUCT) that the engine uses, with what
// the hook adds: the modifiers held at the time and the input's sequence number.
struct KeyboardEventInfo {
  uint32_t message = 0;  // kWmKeyDown, kWmKeyUp, kWmSysKeyDown or kWmSysKeyUp
  uint32_t vkCode = 0;
  uint32_t scanCode = 0;
  uint32_t flags = 0;      // kLlkhfInjected, kLlkhfAltDown, ...
  uint32_t modifiers = 0;  // ModifierBits before this event
  // The number that the input hold gate gave the user's input (0 for input it did not
  // count): an insertion may start only when no user input came after the one it follows.
  uint64_t inputSeq = 0;
};

// A mouse button pressed anywhere on the desktop.
struct MouseEventInfo {
  uint32_t message = 0;  // kWmLButtonDown, ...
  int32_t x = 0;
  int32_t y = 0;
  bool injected = false;  // sent by a program, not by the user's mouse
  uint64_t inputSeq = 0;
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

// Receives every key event of the process-wide keyboard hook and every mouse button press
// of the mouse hook installed with it, on the hook's thread, in the order they came.
class KeyboardListener {
 public:
  virtual void OnKeyboardEvent(const KeyboardEventInfo& info, uint32_t context) noexcept = 0;
  virtual void OnMouseButton(const MouseEventInfo& info, uint32_t context) noexcept {
    (void)info;
    (void)context;
  }

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

// What the engine core asks of the desktop. Called on the hook thread for every key (after
// the hook procedure itself has returned), so implementations must be quick and must not
// allocate.
class Desktop {
 public:
  virtual bool WindowExists(WindowHandle window) noexcept = 0;
  // Writes into buffer (capacity units, not terminated) the text that the key produces in
  // the keyboard layout of window's thread with the modifiers of key.modifiers, and returns
  // its length: 0 when window is 0 or for a key without a character; the negative length of
  // the spacing form for a dead key. Must leave the keyboard's dead-key state as it was.
  virtual int KeyText(const KeyboardEventInfo& key, WindowHandle window, char16_t* buffer,
                      size_t capacity) noexcept = 0;
  // What a target types for dead key `dead` (its spacing form) followed by the key text
  // `text`: the composed character, or both when they do not compose. Returns the length
  // written to out (capacity units).
  virtual size_t ComposeDeadKey(char16_t dead, std::u16string_view text, char16_t* out,
                                size_t capacity) noexcept = 0;
  // The invariant locale's upper-case form of one UTF-16 unit; the unit itself when it has
  // none or the mapping fails.
  virtual char16_t UpperCase(char16_t unit) noexcept = 0;
  // The same for the lower-case form.
  virtual char16_t LowerCase(char16_t unit) noexcept { return unit; }
  // Whether window is a field whose text must never be kept (a password edit). Asked when
  // the focused window changes, not per key.
  virtual bool IsPasswordField(WindowHandle window) noexcept {
    (void)window;
    return false;
  }
  // Writes into buffer the executable file name of the program that owns window
  // ("notepad.exe"), and returns its length; 0 when it cannot be known (the process cannot
  // be opened). Asked when the focused window changes, not per key.
  virtual size_t ProgramFileName(WindowHandle window, char16_t* buffer, size_t capacity) noexcept {
    (void)window;
    (void)buffer;
    (void)capacity;
    return 0;
  }

 protected:
  ~Desktop() = default;
};

}  // namespace vellix
