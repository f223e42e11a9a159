#pragma once
// The platform-free rules of the hyperlink control: the target as it is opened and the
// link colours as the browser settings write them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellix {

// The target as it is opened: "mailto:" is put before an e-mail address, a target that has
// '@' after its first character and no ':' or '/' before that '@' (a target with a scheme,
// "mailto:" among them, or with a path before the '@' is left as it is).
std::u16string LinkOpenTarget(const std::u16string& target);

// A colour in the layout of the Windows COLORREF (red in the low byte, then green, blue).
constexpr uint32_t MakeLinkColor(uint32_t red, uint32_t green, uint32_t blue) {
  return red | (green << 8) | (blue << 16);
}

// "r,g,b": three decimal numbers from 0 to 255 separated by commas, blanks around each
// number allowed. Anything else (missing or extra parts, other characters, a number out of
// range) gives nothing, so that the caller keeps its default.
std::optional<uint32_t> ParseLinkColor(std::u16string_view text);

}  // namespace vellix
