#include "base/utf.h"

#include <utf8.h>

namespace vellix {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

}  // namespace

std::u16string CutText(std::u16string_view text, size_t maxLength) {
  if (text.size() <= maxLength) return std::u16string(text);
  size_t length = maxLength;
  if (length != 0 && IsHighSurrogate(text[length - 1])) --length;
  return std::u16string(text.substr(0, length));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::string valid;
  valid.reserve(utf8.size());
  utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(valid), kReplacement);
  std::u16string result;
  result.reserve(valid.size());
  utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(result));
  return result;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string result;
  result.reserve(utf16.size() * 3);
  auto out = std::back_inserter(result);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char16_t unit = utf16[i];
    uint32_t code = unit;
    if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      code = 0x10000 + ((uint32_t(unit) - 0xD800) << 10) + (uint32_t(utf16[i + 1]) - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      code = kReplacement;
    }
    utf8::unchecked::append(code, out);
  }
  return result;
}

}  // namespace vellix
