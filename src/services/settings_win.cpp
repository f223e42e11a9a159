#include "services/settings.h"

#include "services/profile_store_win.h"

namespace vellix {

Settings& Settings::Instance() {
  // Created on first use and kept until the process ends; destroying it does not save.
  static Settings* const instance = new Settings(MakeIniProfileStore(SettingsFilePath()));
  return *instance;
}

}  // namespace vellix
