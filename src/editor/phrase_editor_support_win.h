#pragma once
// Small helpers shared by the phrase editor's source files.

#include <cstdint>
#include <string>

#include <windows.h>

#include "lang/language_win.h"
#include "services/settings.h"

namespace vellix::editor_support {

inline std::u16string Localized(uint32_t id) { return GetLocalizedString(id); }
// Keystrokes compare as the engine compares them: in the invariant locale's upper case.
inline char16_t InvariantUpper(char16_t unit) {
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}
inline bool SoundsOn() { return Settings::Instance().sounds.load() != 0; }

}  // namespace vellix::editor_support
