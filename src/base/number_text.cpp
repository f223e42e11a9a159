#include "base/number_text.h"

namespace vellix {

std::u16string UnsignedDecimal(uint64_t value) {
  char16_t digits[20];  // 2^64 has 20 decimal digits
  size_t start = sizeof digits / sizeof digits[0];
  do {
    digits[--start] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  return std::u16string(digits + start, digits + sizeof digits / sizeof digits[0]);
}

std::u16string SignedDecimal(int64_t value) {
  if (value >= 0) return UnsignedDecimal(static_cast<uint64_t>(value));
  // Negated as unsigned: the most negative value has no positive counterpart of its type.
  return u"-" + UnsignedDecimal(0 - static_cast<uint64_t>(value));
}

std::u16string FormatDigitGroups(uint64_t value) {
  const std::u16string digits = UnsignedDecimal(value);
  std::u16string grouped;
  grouped.reserve(digits.size() + digits.size() / 3);
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) grouped += u' ';
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace vellix
