#include "services/profile_store.h"

#include "base/number_text.h"

#include <cstring>
#include <vector>

namespace vellix {
namespace {

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

}  // namespace

std::u16string EncodeProfileStruct(const void* data, size_t size) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::u16string text;
  text.reserve(2 * size + 2);
  unsigned sum = 0;
  for (size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
    sum += bytes[i];
  }
  text += kDigits[(sum >> 4) & 15];
  text += kDigits[sum & 15];
  return text;
}

bool DecodeProfileStruct(std::u16string_view text, void* data, size_t size) {
  if (text.size() != 2 * size + 2) return false;
  std::vector<uint8_t> bytes(size + 1);
  for (size_t i = 0; i <= size; ++i) {
    const int high = HexDigitValue(text[2 * i]);
    const int low = HexDigitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<uint8_t>(high * 16 + low);
  }
  unsigned sum = 0;
  for (size_t i = 0; i < size; ++i) sum += bytes[i];
  if ((sum & 255) != bytes[size]) return false;
  if (size > 0) std::memcpy(data, bytes.data(), size);
  return true;
}

std::u16string IntToText(int32_t value) { return Decimal(value); }

}  // namespace vellix
