#pragma once
// UTF-8 <-> UTF-16 conversion for the core. Invalid input never throws: every invalid
// sequence (bad UTF-8 bytes, unpaired surrogates) becomes U+FFFD.

#include <string>
#include <string_view>

namespace vellix {

// The two halves of a UTF-16 surrogate pair: a high unit (D800 to DBFF) comes first, a low
// unit (DC00 to DFFF) second.
constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The text cut to at most maxLength code units. A cut never leaves the first half of a
// surrogate pair behind, so the cut text is still valid UTF-16.
std::u16string CutText(std::u16string_view text, size_t maxLength);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace vellix
