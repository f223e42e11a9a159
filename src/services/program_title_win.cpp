#include "services/program_title.h"

#include "services/version_resource_win.h"

#ifndef VELLIX_PRODUCT_VERSION
#define VELLIX_PRODUCT_VERSION "1.0.0.1"
#endif

namespace vellix {

std::u16string ProgramTitle(bool longForm) {
  static const std::u16string version = [] {
    std::u16string text = ReadVersionString(L"ProductVersion");
    if (text.empty()) {
      const std::string fallback = VELLIX_PRODUCT_VERSION;
      text.assign(fallback.begin(), fallback.end());
    }
    return text;
  }();
  return FormatProgramTitle(version, longForm);
}

}  // namespace vellix
