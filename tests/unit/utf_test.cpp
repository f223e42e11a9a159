#include "base/utf.h"

#include <gtest/gtest.h>

namespace vellix {
namespace {

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

TEST(Utf, Utf8ToUtf16Table) {
  const Utf8Case cases[] = {
      {"empty", "", u""},
      {"ascii", "Best regards", u"Best regards"},
      {"two-byte", "\xC3\xA4", u"\u00E4"},
      {"cyrillic", "\xD0\x96", u"\u0416"},
      {"three-byte", "\xE2\x80\xA6", u"\u2026"},
      {"surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"lone continuation byte", "a\x80" "b", u"a\uFFFDb"},
      {"cut sequence", "a\xE2\x80", u"a\uFFFD"},
      {"overlong", "\xC0\xAF", u"\uFFFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
  }
}

TEST(Utf, Utf16ToUtf8Table) {
  const Utf8Case cases[] = {
      {"ascii", "abc", u"abc"},
      {"surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"lone high surrogate", "a\xEF\xBF\xBD" "b", std::u16string(u"a") + char16_t(0xD83D) + u"b"},
      {"lone low surrogate at end", "a\xEF\xBF\xBD", std::u16string(u"a") + char16_t(0xDE00)},
      {"control characters", "\r\n\t", u"\r\n\t"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
  }
}

TEST(Utf, SurrogateHalves) {
  const struct {
    char16_t unit;
    bool high, low;
  } cases[] = {
      {0xD7FF, false, false}, {0xD800, true, false}, {0xDBFF, true, false},
      {0xDC00, false, true},  {0xDFFF, false, true}, {0xE000, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsHighSurrogate(c.unit), c.high) << std::hex << int(c.unit);
    EXPECT_EQ(IsLowSurrogate(c.unit), c.low) << std::hex << int(c.unit);
  }
}

}  // namespace
}  // namespace vellix
