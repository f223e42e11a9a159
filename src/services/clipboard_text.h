#pragma once
// Cutting clipboard text to its first line or first field (platform-free rules).

#include <string>
#include <string_view>

namespace vellix {

// The text up to (not including) the first "\r\n".
std::u16string FirstLineOf(std::u16string_view text);
// The first line, further cut before its first tab unless that tab is the first character.
std::u16string FirstFieldOf(std::u16string_view text);

}  // namespace vellix
