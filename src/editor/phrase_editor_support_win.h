#pragma once
// Small helpers shared by the phrase editor's source files.

#include <cstdint>
#include <string>

#include "lang/language_win.h"
#include "services/settings.h"

namespace vellix::editor_support {

inline std::u16string Localized(uint32_t id) { return GetLocalizedString(id); }
inline bool SoundsOn() { return Settings::Instance().sounds.load() != 0; }

}  // namespace vellix::editor_support
