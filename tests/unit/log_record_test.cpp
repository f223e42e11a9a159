#include "services/log_record.h"

#include <gtest/gtest.h>

namespace vellix {
namespace {

SystemTime At(uint16_t year, uint16_t month, uint16_t day, uint16_t h, uint16_t m, uint16_t s) {
  SystemTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = h;
  t.minute = m;
  t.second = s;
  return t;
}

TEST(LogRecordTest, LayoutWithAndWithoutPrefix) {
  const SystemTime t = At(2026, 12, 5, 5, 11, 33);
  EXPECT_EQ(FormatLogRecord(u"OnCallBack_ENDPRINT", u"Vellix", t),
            u"Vellix: [12/05/26 05:11:33] OnCallBack_ENDPRINT");
  EXPECT_EQ(FormatLogRecord(u"x", u"", At(2009, 1, 31, 23, 59, 0)), u"[01/31/09 23:59:00] x");
}

TEST(LogRecordTest, LimitWritesTheBareText) {
  const SystemTime t = At(2026, 1, 1, 0, 0, 0);
  // prefix 6 + text + 16 + 11 reaching 102399 is over the limit.
  const std::u16string under(102399 - 6 - 27 - 1, u'a');
  const std::u16string at(102399 - 6 - 27, u'a');
  EXPECT_EQ(FormatLogRecord(under, u"Vellix", t).rfind(u"Vellix: [", 0), 0u);
  EXPECT_EQ(FormatLogRecord(at, u"Vellix", t), at);
}

TEST(LogRecordTest, LineBreakRule) {
  struct Case {
    std::u16string_view line;
    bool needsBreak;
  } cases[] = {{u"ab", true}, {u"a", false}, {u"", false}, {u"text\r\n", false},
               {u"\r\n", false}, {u"text\n", true}, {u"text\r", true}};
  for (const Case& c : cases) EXPECT_EQ(LogLineNeedsBreak(c.line), c.needsBreak);
}

TEST(LogRecordTest, StartAndReleaseRecords) {
  EXPECT_EQ(BuildStartRecord(u"Vellix 1.00 build 1", u"Vellix.exe /edit", u"Windows 10 64x build 19045 ", u"NO"),
            u"\r\n\r\n======================Start Vellix 1.00 build 1 with cmdline [Vellix.exe /edit] on "
            u"Windows 10 64x build 19045 , admin privilegies: NO");
  EXPECT_EQ(BuildReleaseRecord(u"Dec 5 2026 05:11:33"), u"This version released Dec 5 2026 05:11:33");
}

}  // namespace
}  // namespace vellix
