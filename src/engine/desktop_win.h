#pragma once
// The Desktop of the Windows build: window existence, key-to-text translation in the
// keyboard layout of the focused window's thread, and the invariant upper case. KeyText
// runs on the keyboard hook's thread for every key: no allocation, no waiting.

#include <array>
#include <cstdint>

#include "engine/engine_types.h"

namespace vellix {

class Win32Desktop final : public Desktop {
 public:
  Win32Desktop();

  bool WindowExists(WindowHandle window) noexcept override;
  size_t KeyText(const KeyboardEventInfo& key, WindowHandle window, char16_t* buffer,
                 size_t capacity) noexcept override;
  char16_t UpperCase(char16_t unit) noexcept override;

  // Whether ToUnicodeEx can translate without touching the keyboard's dead-key state
  // (Windows 10 1607 and later).
  bool TranslatesWithoutStateChange() const { return keepStateFlag_; }

 private:
  // A dead key that the target's own translation has armed, to be armed again after our
  // translation of the next character consumed it (systems without the keep-state flag).
  struct DeadKey {
    bool armed = false;
    uint32_t vk = 0;
    uint32_t scan = 0;
    std::array<uint8_t, 256> state{};
    uintptr_t layout = 0;
  };

  int Translate(const KeyboardEventInfo& key, const uint8_t* state, uintptr_t layout,
                wchar_t* out, int capacity) noexcept;

  bool keepStateFlag_ = false;
  DeadKey deadKey_;
};

}  // namespace vellix
