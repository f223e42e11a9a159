#pragma once
// UTF-8 <-> UTF-16 conversion for the core. Invalid input never throws: every invalid
// sequence (bad UTF-8 bytes, unpaired surrogates) becomes U+FFFD.

#include <string>
#include <string_view>

namespace vellix {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace vellix
