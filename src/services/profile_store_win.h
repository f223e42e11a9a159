#pragma once
// ProfileStore on an INI file through the system's private-profile functions.

#include <memory>
#include <string>

#include "services/profile_store.h"

namespace vellix {

std::unique_ptr<ProfileStore> MakeIniProfileStore(std::u16string path);

// "settings.ini" in the program's folder.
std::u16string SettingsFilePath();

}  // namespace vellix
