#pragma once
// Numbers as text: the plain decimal form and the form in digit groups.

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

namespace vellix {

std::u16string SignedDecimal(int64_t value);
std::u16string UnsignedDecimal(uint64_t value);

// The decimal digits of an integer of any type, "-" before a negative one: what "%d",
// "%u" and "%lld" give.
template <std::integral T>
std::u16string Decimal(T value) {
  if constexpr (std::is_signed_v<T>) {
    return SignedDecimal(value);
  } else {
    return UnsignedDecimal(value);
  }
}

// The decimal number in groups of three digits from the right, joined by one blank
// (1234567 gives "1 234 567"; up to three digits stay as they are).
std::u16string FormatDigitGroups(uint64_t value);

}  // namespace vellix
