#pragma once
// Fakes at the engine core's interfaces: a desktop with a fixed key map and a set of live
// windows, a hook registrar that records its calls, and insertion signals that write into a
// shared trace.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "engine/engine_types.h"
#include "engine/hook_registrar.h"
#include "engine/insertion_signals.h"

namespace vellix::testing {

inline constexpr WindowHandle kWindowA = 0xA0;
inline constexpr WindowHandle kWindowB = 0xB0;
inline constexpr WindowHandle kDeadWindow = 0xDEAD;

// Fake virtual keys beyond the 16-bit range; every other code types its own UTF-16 unit.
inline constexpr uint32_t kVkLeftArrow = 0x10025;
inline constexpr uint32_t kVkShiftKey = 0x10010;
inline constexpr uint32_t kVkCrLf = 0x20001;      // a key producing CR LF
inline constexpr uint32_t kVkSmiley = 0x20002;    // a key producing a surrogate pair
inline constexpr uint32_t kVkTwoUnits = 0x20003;  // a key producing "ab"
inline constexpr uint32_t kVkPacket = 0xE7;       // what injected Unicode records carry

class FakeDesktop : public Desktop {
 public:
  std::set<WindowHandle> windows{kWindowA, kWindowB};
  bool controlDown = false;

  bool WindowExists(WindowHandle window) noexcept override { return windows.count(window) != 0; }

  size_t KeyText(const KeyboardEventInfo& key, WindowHandle window, char16_t* buffer,
                 size_t capacity) noexcept override {
    if (window == 0) return 0;
    char16_t single[1] = {static_cast<char16_t>(key.vkCode)};
    std::u16string_view text(single, 1);
    switch (key.vkCode) {
      case kVkLeftArrow:
      case kVkShiftKey:
        text = u"";
        break;
      case kVkCrLf:
        text = u"\r\n";
        break;
      case kVkSmiley:
        text = u"\U0001F600";
        break;
      case kVkTwoUnits:
        text = u"ab";
        break;
      case kVkPacket:
        single[0] = static_cast<char16_t>(key.scanCode);  // the injected unit
        break;
      default:
        break;
    }
    const size_t n = std::min(capacity, text.size());
    std::copy_n(text.data(), n, buffer);
    return n;
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

  bool IsControlDown() noexcept override { return controlDown; }
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
