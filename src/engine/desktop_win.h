#pragma once
// The Desktop of the Windows build: window existence, key-to-text translation in the
// keyboard layout of the focused window's thread with the modifiers the hook tracked, dead
// keys, password fields and the invariant upper case. KeyText runs on the hooks' thread for
// every key (after the hook procedure has returned): no allocation, no waiting.

#include <cstdint>

#include "engine/engine_types.h"
#include "engine/key_translator.h"
#include "engine/program_names_win.h"

namespace vellix {

class Win32Desktop final : public Desktop, private KeyboardLayoutApi {
 public:
  Win32Desktop();

  bool WindowExists(WindowHandle window) noexcept override;
  int KeyText(const KeyboardEventInfo& key, WindowHandle window, char16_t* buffer,
              size_t capacity) noexcept override;
  size_t ComposeDeadKey(char16_t dead, std::u16string_view text, char16_t* out,
                        size_t capacity) noexcept override;
  char16_t UpperCase(char16_t unit) noexcept override;
  char16_t LowerCase(char16_t unit) noexcept override;
  bool IsPasswordField(WindowHandle window) noexcept override;
  size_t ProgramFileName(WindowHandle window, char16_t* buffer, size_t capacity) noexcept override;

  // Whether ToUnicodeEx can translate without touching the keyboard's dead-key state
  // (Windows 10 1607 and later).
  bool TranslatesWithoutStateChange() const { return translator_.keepStateFlag(); }

 private:
  int ToUnicode(uint32_t vk, uint32_t scan, const uint8_t* state, char16_t* out, int capacity,
                uint32_t flags, uintptr_t layout) noexcept override;

  KeyTranslator translator_;
  ProgramNames programs_;
};

}  // namespace vellix
