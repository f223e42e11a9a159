#pragma once
// Fakes at the engine core's interfaces: a desktop with a fixed key map and a set of live
// windows, a hook registrar that records its calls, and insertion signals that write into a
// shared trace.

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "engine/dead_keys.h"
#include "engine/engine_types.h"
#include "engine/hook_registrar.h"
#include "engine/insertion_signals.h"

namespace vellix::testing {

inline constexpr WindowHandle kWindowA = 0xA0;
inline constexpr WindowHandle kWindowB = 0xB0;
inline constexpr WindowHandle kDeadWindow = 0xDEAD;

// Key codes of the fake layout. CharKey(unit) types that UTF-16 unit, whatever the unit
// (so that typing "." or "[" never looks like Delete or the Windows key); the real codes of
// Windows' navigation and modifier keys have their usual meaning; codes beyond 0x20000 are
// keys with special texts.
constexpr uint32_t CharKey(char16_t unit) { return 0x30000u + unit; }
inline constexpr uint32_t kVkLeftArrow = 0x25;
inline constexpr uint32_t kVkRightArrow = 0x27;
inline constexpr uint32_t kVkHomeKey = 0x24;
inline constexpr uint32_t kVkEndKey = 0x23;
inline constexpr uint32_t kVkDeleteKey = 0x2E;
inline constexpr uint32_t kVkEscapeKey = 0x1B;
inline constexpr uint32_t kVkShiftKey = 0xA0;     // left Shift, as the hook reports it
inline constexpr uint32_t kVkCtrlKey = 0xA2;      // left Ctrl
inline constexpr uint32_t kVkF24 = 0x87;          // a key without a character
inline constexpr uint32_t kVkCrLf = 0x20001;      // a key producing CR LF
inline constexpr uint32_t kVkSmiley = 0x20002;    // a key producing a surrogate pair
inline constexpr uint32_t kVkTwoUnits = 0x20003;  // a key producing "ab"
inline constexpr uint32_t kVkDeadCircumflex = 0x20004;  // a dead key with spacing form ^
inline constexpr uint32_t kVkControlChar = 0x20005;     // a key producing U+0001
inline constexpr uint32_t kVkPacket = 0xE7;       // what injected Unicode records carry
// With Ctrl and Alt held (AltGr), CharKey('q') types '@' and CharKey('e') the euro sign;
// every other key types nothing.
inline constexpr char16_t kAltGrAt = u'@';
inline constexpr char16_t kEuro = u'\u20AC';

class FakeDesktop : public Desktop {
 public:
  std::set<WindowHandle> windows{kWindowA, kWindowB};
  std::set<WindowHandle> passwordFields;
  int passwordQueries = 0;
  // The program of each window (none: the program cannot be known).
  std::map<WindowHandle, std::u16string> programs;
  int programQueries = 0;

  size_t ProgramFileName(WindowHandle window, char16_t* buffer, size_t capacity) noexcept override {
    ++programQueries;
    const auto it = programs.find(window);
    if (it == programs.end()) return 0;
    const size_t n = std::min(capacity, it->second.size());
    std::copy_n(it->second.data(), n, buffer);
    return n;
  }

  bool WindowExists(WindowHandle window) noexcept override { return windows.count(window) != 0; }

  int KeyText(const KeyboardEventInfo& key, WindowHandle window, char16_t* buffer,
              size_t capacity) noexcept override {
    if (window == 0) return 0;
    char16_t single[1] = {static_cast<char16_t>(key.vkCode)};
    std::u16string_view text(single, 1);
    const bool altGr = (key.modifiers & kModControl) != 0 && (key.modifiers & kModAlt) != 0;
    const bool isChar = key.vkCode >= CharKey(0) && key.vkCode <= CharKey(0xFFFF);
    if (isChar) single[0] = static_cast<char16_t>(key.vkCode - CharKey(0));
    if (altGr) {
      if (single[0] == u'q' && isChar) {
        single[0] = kAltGrAt;
      } else if (single[0] == u'e' && isChar) {
        single[0] = kEuro;
      } else {
        return 0;
      }
    } else if (!isChar) {
      switch (key.vkCode) {
        case kVkCrLf: text = u"\r\n"; break;
        case kVkSmiley: text = u"\U0001F600"; break;
        case kVkTwoUnits: text = u"ab"; break;
        case kVkControlChar: text = u"\x01"; break;
        case kVkDeadCircumflex:
          buffer[0] = u'^';
          return -1;
        case kVkPacket: single[0] = static_cast<char16_t>(key.scanCode); break;  // injected unit
        default:
          // Navigation, modifier and function keys have no character; other codes type
          // their own unit.
          if (key.vkCode < 0x30 || key.vkCode > 0x7A || key.vkCode >= 0x10000) text = u"";
          break;
      }
    }
    const size_t n = std::min(capacity, text.size());
    std::copy_n(text.data(), n, buffer);
    return static_cast<int>(n);
  }

  // A circumflex over a, e and o composes; anything else gives both characters.
  size_t ComposeDeadKey(char16_t dead, std::u16string_view text, char16_t* out,
                        size_t capacity) noexcept override {
    return ComposeAfterDeadKey(dead, text, &Circumflex, out, capacity);
  }
  static char16_t Circumflex(char16_t letter, char16_t mark) noexcept {
    if (mark != 0x0302) return 0;
    switch (letter) {
      case u'a': return u'\u00E2';
      case u'e': return u'\u00EA';
      case u'o': return u'\u00F4';
      default: return 0;
    }
  }

  // ASCII letters, plus a few non-ASCII units whose upper-case form differs (and two whose
  // form is an ASCII letter, so that folding is not a one-to-one relation).
  char16_t UpperCase(char16_t unit) noexcept override {
    if (unit >= u'a' && unit <= u'z') return static_cast<char16_t>(unit - 0x20);
    switch (unit) {
      case u'\u00E9': return u'\u00C9';  // e acute
      case u'\u00FF': return u'\u0178';  // y diaeresis
      case u'\u0131': return u'I';       // dotless i
      case u'\u017F': return u'S';       // long s
      default: return unit;
    }
  }

  char16_t LowerCase(char16_t unit) noexcept override {
    if (unit >= u'A' && unit <= u'Z') return static_cast<char16_t>(unit + 0x20);
    switch (unit) {
      case u'\u00C9': return u'\u00E9';
      case u'\u0178': return u'\u00FF';
      default: return unit;
    }
  }

  bool IsPasswordField(WindowHandle window) noexcept override {
    ++passwordQueries;
    return passwordFields.count(window) != 0;
  }
};

// Records the registrations; the switches make the hook managers fail.
class FakeRegistrar : public HookRegistrar {
 public:
  bool winEventHookInstalls = true;
  bool keyboardRegisterSucceeds = true;
  bool winEventRemoveSucceeds = true;
  std::string calls;
  std::set<uint32_t> events;
  bool winEventHooked = false;
  bool keyboardRegistered = false;
  uintptr_t module = 0;

  bool AddWinEventListener(WinEventListener*, uint32_t context, uint32_t event) noexcept override {
    calls += "add:" + std::to_string(event) + "/" + std::to_string(context) + " ";
    if (events.empty()) winEventHooked = winEventHookInstalls;
    return events.insert(event).second;
  }
  bool RemoveWinEventListener(WinEventListener*) noexcept override {
    calls += "remove ";
    if (!winEventRemoveSucceeds || events.empty()) return false;
    events.clear();
    winEventHooked = false;
    return true;
  }
  bool IsWinEventHooked() noexcept override {
    calls += "hooked? ";
    return winEventHooked;
  }
  void SetKeyboardModule(uintptr_t value) noexcept override {
    calls += "module ";
    module = value;
  }
  bool RegisterKeyboardListener(KeyboardListener*, uint32_t context) noexcept override {
    calls += "register/" + std::to_string(context) + " ";
    keyboardRegistered = keyboardRegisterSucceeds;
    return keyboardRegistered;
  }
  bool UnregisterKeyboardListener(KeyboardListener*) noexcept override {
    calls += "unregister ";
    const bool was = keyboardRegistered;
    keyboardRegistered = false;
    return was;
  }
};

// Appends "S" for a started and "C" for a cancelled insertion to trace.
class FakeSignals : public InsertionSignals {
 public:
  explicit FakeSignals(std::string& trace) : trace_(trace) {}
  void StartDelayed() noexcept override { trace_ += "S "; }
  void Cancel() noexcept override { trace_ += "C "; }

 private:
  std::string& trace_;
};

}  // namespace vellix::testing
