#include "services/settings.h"

#include <windows.h>

#include "services/profile_store_win.h"

namespace vellix {
namespace {

// The invariant upper case, by which the engine compares program names too.
char16_t InvariantUpper(char16_t unit) noexcept {
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}

}  // namespace

Settings& Settings::Instance() {
  // Created on first use and kept until the process ends; destroying it does not save.
  static Settings* const instance = new Settings(MakeIniProfileStore(SettingsFilePath()), InvariantUpper);
  return *instance;
}

}  // namespace vellix
