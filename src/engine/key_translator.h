#pragma once
// Translates a key into text with a keyboard layout without disturbing the dead-key state
// that the target window's own translation of the same key relies on. A low-level
// keyboard hook sees every key before the target does; translating it with the keyboard
// state shared by both would eat an accent typed before a letter in every application.
//
// Where the system offers it (Windows 10 1607 and later), the translation asks for the
// state to be left alone. Elsewhere a dead key that the hook's call armed is disarmed at
// once, and a dead key that the target armed and the hook's call consumed is armed again.

#include <array>
#include <cstdint>

namespace vellix {

// ToUnicodeEx: the text of key vk/scan under state (256 bytes) and layout; negative for a
// dead key, else the number of units written to out.
class KeyboardLayoutApi {
 public:
  virtual int ToUnicode(uint32_t vk, uint32_t scan, const uint8_t* state, char16_t* out,
                        int capacity, uint32_t flags, uintptr_t layout) noexcept = 0;

 protected:
  ~KeyboardLayoutApi() = default;
};

// ToUnicodeEx flag: do not change the keyboard state.
inline constexpr uint32_t kToUnicodeKeepState = 0x4;

class KeyTranslator {
 public:
  KeyTranslator(KeyboardLayoutApi& api, bool keepStateFlag)
      : api_(api), keepStateFlag_(keepStateFlag) {}

  // Writes the key's text into out (capacity units, zero-terminated when it fits) and
  // answers what the layout answered: negative for a dead key. A dead key writes its
  // spacing form.
  int Translate(uint32_t vk, uint32_t scan, const uint8_t* state, uintptr_t layout,
                char16_t* out, int capacity) noexcept;

  bool keepStateFlag() const { return keepStateFlag_; }

 private:
  // The dead key that the target armed, as the hook last saw it.
  struct DeadKey {
    bool armed = false;
    uint32_t vk = 0;
    uint32_t scan = 0;
    std::array<uint8_t, 256> state{};
    uintptr_t layout = 0;
  };

  int Call(uint32_t vk, uint32_t scan, const uint8_t* state, uintptr_t layout, char16_t* out,
           int capacity) noexcept;

  KeyboardLayoutApi& api_;
  bool keepStateFlag_;
  DeadKey deadKey_;
};

}  // namespace vellix
