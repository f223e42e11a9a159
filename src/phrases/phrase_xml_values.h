#pragma once
// The values of the database file's attributes, shared by its writer and its readers: the
// words of the UseWithList attribute and the reading of numbers and list modes.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vellix {

// The UseWithList word of a list mode (kUseIncludeList, kUseExcludeList, kNotUse); empty
// for any other value, which is written as an empty attribute.
std::string_view ListModeWord(int32_t mode);

// Leading blanks (space, tab, line feed, carriage return, vertical tab, form feed), an
// optional sign and the digits; the rest is ignored. None without digits. Values beyond
// 32 bits saturate.
std::optional<int32_t> ParseNumber(std::string_view value);
// ParseNumber, or fallback when the value has no digits.
inline int32_t ReadNumber(std::string_view value, int32_t fallback) {
  return ParseNumber(value).value_or(fallback);
}

// The three UseWithList words compared without regard to ASCII case; anything else gives
// kNotUse.
int32_t ReadListMode(std::string_view value);

}  // namespace vellix
