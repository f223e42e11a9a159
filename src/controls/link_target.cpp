#include "controls/link_target.h"

namespace vellix {
namespace {

constexpr std::u16string_view kMailto = u"mailto:";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// One number of 0 to 255 with optional blanks around it; nothing for anything else.
std::optional<uint32_t> ParseComponent(std::u16string_view part) {
  while (!part.empty() && IsBlank(part.front())) part.remove_prefix(1);
  while (!part.empty() && IsBlank(part.back())) part.remove_suffix(1);
  if (part.empty() || part.size() > 3) return std::nullopt;
  uint32_t value = 0;
  for (char16_t c : part) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - u'0');
  }
  if (value > 255) return std::nullopt;
  return value;
}

}  // namespace

std::u16string LinkOpenTarget(const std::u16string& target) {
  // An '@' at the very start is no e-mail address. A ':' or '/' before the '@' means the
  // target already names a scheme or a path ("mailto:a@b", "https://host/@user",
  // "ftp://user@host"): an address has neither, and such a target opens as it is.
  const size_t at = target.find(u'@', 1);
  if (at == std::u16string::npos || target.find_first_of(u":/", 0) < at) return target;
  return std::u16string(kMailto) + target;
}

std::optional<uint32_t> ParseLinkColor(std::u16string_view text) {
  uint32_t parts[3] = {};
  for (int n = 0; n < 3; ++n) {
    const size_t comma = text.find(u',');
    const bool last = n == 2;
    if (last != (comma == std::u16string_view::npos)) return std::nullopt;
    const std::optional<uint32_t> value = ParseComponent(last ? text : text.substr(0, comma));
    if (!value) return std::nullopt;
    parts[n] = *value;
    if (!last) text.remove_prefix(comma + 1);
  }
  return MakeLinkColor(parts[0], parts[1], parts[2]);
}

}  // namespace vellix
