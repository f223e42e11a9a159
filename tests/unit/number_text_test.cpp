// Numbers as text: decimal digits of every integer type, and digit groups.

#include "base/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/utf.h"

namespace vellix {
namespace {

TEST(NumberTextTest, DecimalOfEveryIntegerType) {
  const struct {
    std::u16string text, expected;
  } cases[] = {
      {Decimal(0), u"0"},
      {Decimal(7), u"7"},
      {Decimal(-7), u"-7"},
      {Decimal(1000), u"1000"},
      {Decimal(std::numeric_limits<int32_t>::min()), u"-2147483648"},
      {Decimal(std::numeric_limits<uint32_t>::max()), u"4294967295"},
      {Decimal(std::numeric_limits<int64_t>::min()), u"-9223372036854775808"},
      {Decimal(std::numeric_limits<int64_t>::max()), u"9223372036854775807"},
      {Decimal(std::numeric_limits<uint64_t>::max()), u"18446744073709551615"},
      {Decimal(static_cast<size_t>(42)), u"42"},
      {Decimal(static_cast<int16_t>(-300)), u"-300"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected) << Utf16ToUtf8(c.expected);
}

TEST(NumberTextTest, DigitGroups) {
  const struct {
    uint64_t value;
    std::u16string_view text;
  } cases[] = {
      {0, u"0"},          {7, u"7"},           {999, u"999"},           {1000, u"1 000"},
      {12345, u"12 345"}, {123456, u"123 456"}, {1234567, u"1 234 567"}, {4294967295u, u"4 294 967 295"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDigitGroups(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace vellix
