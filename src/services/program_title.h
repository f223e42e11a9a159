#pragma once
// The program's name with its version, and the build stamp.

#include <string>
#include <string_view>

namespace vellix {

inline constexpr std::u16string_view kProductName = u"Vellix";

// From a "ProductVersion" text such as "1, 3, 8, 56": the short title "Vellix 1.38", or
// the long title "Vellix 1.38 build 56" (no " build" part when the last part is empty).
std::u16string FormatProgramTitle(std::u16string_view productVersion, bool longForm);

// The title from the executable's version resource (Windows build); the project's own
// version when the resource is missing.
std::u16string ProgramTitle(bool longForm);

// Compiler date and time texts joined by a blank, double blanks made single.
std::u16string FormatBuildStamp(std::string_view date, std::string_view time);
// When this program was built.
std::u16string GetBuildStamp();

}  // namespace vellix
