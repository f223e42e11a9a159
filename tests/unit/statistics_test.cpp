#include "services/statistics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "memory_profile_store.h"

namespace vellix {
namespace {

using testing::MemoryProfileStore;

SystemTime Utc(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 12) {
  SystemTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  return t;
}

class StatisticsTest : public ::testing::Test {
 protected:
  std::u16string Value(std::u16string_view section, std::u16string_view key) {
    return store.Value(section, key).value_or(u"<absent>");
  }
  MemoryProfileStore::Data data;
  MemoryProfileStore store{data};
};

TEST(ProfileStructTest, EncodesBytesAndChecksumAndRejectsDamage) {
  const uint8_t bytes[] = {0x00, 0x7F, 0xFF, 0x10};
  const std::u16string text = EncodeProfileStruct(bytes, sizeof bytes);
  EXPECT_EQ(text, u"007FFF108E");  // 0x7F + 0xFF + 0x10 = 0x18E
  uint8_t back[4] = {};
  ASSERT_TRUE(DecodeProfileStruct(text, back, sizeof back));
  EXPECT_EQ(0, memcmp(bytes, back, sizeof bytes));

  uint8_t untouched[4] = {1, 2, 3, 4};
  for (std::u16string_view bad : {u"007FFF108F", u"007FFF10", u"007FFF108E00", u"007FFG108E", u""})
    EXPECT_FALSE(DecodeProfileStruct(bad, untouched, sizeof untouched)) << std::string(bad.begin(), bad.end());
  EXPECT_EQ(untouched[0], 1);
}

TEST(LineBreakTest, EncodesEveryKindOfBreakAndDecodesToLineFeed) {
  const std::u16string m(kLineBreakMarker);
  EXPECT_EQ(kLineBreakMarker.size(), 29u);
  EXPECT_EQ(EncodeLineBreaks(u"a\r\nb\rc\nd"), u"a" + m + u"b" + m + u"c" + m + u"d");
  EXPECT_EQ(EncodeLineBreaks(u"\n\r"), m + m);  // LF CR is not a pair
  EXPECT_EQ(DecodeLineBreaks(u"a" + m + u"b" + m), u"a\nb\n");
  EXPECT_EQ(DecodeLineBreaks(u"no breaks"), u"no breaks");
}

TEST_F(StatisticsTest, FirstStartCountsOneLaunchAndOneDay) {
  const SystemTime now = Utc(2026, 12, 10, 1);
  UpdateLaunchCounters(store, now);
  EXPECT_EQ(Value(u"Settings", u"LaunchCount"), u"1");
  EXPECT_EQ(Value(u"Settings", u"LaunchCountPerDay"), u"1");
  const std::u16string last = Value(u"Settings", u"LastLaunch");
  EXPECT_EQ(last.size(), 34u);
  SystemTime stored;
  ASSERT_TRUE(DecodeProfileStruct(last, &stored, sizeof stored));
  EXPECT_EQ(stored, now);
}

TEST_F(StatisticsTest, SameDayCountsLaunchOnlyAndNextDayCountsDay) {
  UpdateLaunchCounters(store, Utc(2026, 12, 10, 1));
  const std::u16string first = Value(u"Settings", u"LastLaunch");
  UpdateLaunchCounters(store, Utc(2026, 12, 10, 23));
  EXPECT_EQ(Value(u"Settings", u"LaunchCount"), u"2");
  EXPECT_EQ(Value(u"Settings", u"LaunchCountPerDay"), u"1");
  EXPECT_EQ(Value(u"Settings", u"LastLaunch"), first);
  UpdateLaunchCounters(store, Utc(2026, 12, 11, 0));
  EXPECT_EQ(Value(u"Settings", u"LaunchCount"), u"3");
  EXPECT_EQ(Value(u"Settings", u"LaunchCountPerDay"), u"2");
  EXPECT_NE(Value(u"Settings", u"LastLaunch"), first);
}

TEST_F(StatisticsTest, DamagedLastLaunchCountsAsNewDay) {
  const SystemTime now = Utc(2026, 12, 10);
  std::u16string good = EncodeProfileStruct(&now, sizeof now);
  std::u16string badChecksum = good;
  badChecksum.back() = badChecksum.back() == u'0' ? u'1' : u'0';
  for (const std::u16string& damaged : {badChecksum, good.substr(0, 32), good + u"00", std::u16string(u"junk")}) {
    data.sections.clear();
    store.WriteString(u"Settings", u"LastLaunch", damaged);
    store.WriteString(u"Settings", u"LaunchCountPerDay", u"7");
    UpdateLaunchCounters(store, now);
    EXPECT_EQ(Value(u"Settings", u"LaunchCountPerDay"), u"8");
    EXPECT_EQ(Value(u"Settings", u"LastLaunch"), good);
  }
}

TEST_F(StatisticsTest, LoadWithNothingStoredWritesZero) {
  Statistics statistics;
  statistics.LoadStatistics(store);
  EXPECT_EQ(statistics.PrintedChars(), 0u);
  EXPECT_EQ(Value(u"Statistics", u"PrintedChars"), u"0");
  EXPECT_TRUE(statistics.Longest().Empty());
  EXPECT_TRUE(statistics.Shortest().Empty());
}

TEST_F(StatisticsTest, LoadMigratesOldCount) {
  store.WriteString(u"Settings", u"Statistics_Count", u"5000");
  Statistics statistics;
  statistics.LoadStatistics(store);
  EXPECT_EQ(statistics.PrintedChars(), 5000u);
  EXPECT_EQ(Value(u"Statistics", u"PrintedChars"), u"5000");
  EXPECT_EQ(Value(u"Settings", u"Statistics_Count"), u"5000");  // read, never written
}

TEST_F(StatisticsTest, LoadPrefersNewCountOverOldOne) {
  store.WriteString(u"Settings", u"Statistics_Count", u"5000");
  store.WriteString(u"Statistics", u"PrintedChars", u"12");
  Statistics statistics;
  statistics.LoadStatistics(store);
  EXPECT_EQ(statistics.PrintedChars(), 12u);
}

TEST_F(StatisticsTest, RecordsRoundTripWithLineBreaksAndTheCut) {
  Statistics saved;
  saved.OfferKeystroke(u"ab", u"line one\r\nline two", 4);
  saved.OfferKeystroke(u"abcdef", std::u16string(300, u'x'), 9);
  ASSERT_TRUE(saved.SaveStatistics(store));
  EXPECT_EQ(Value(u"Statistics", u"Phrase_Min"), u"line one" + std::u16string(kLineBreakMarker) + u"line two");
  EXPECT_EQ(Value(u"Statistics", u"Prefix_Max"), u"abcdef");
  EXPECT_EQ(Value(u"Statistics", u"UsageCount_Min"), u"4");

  Statistics loaded;
  loaded.LoadStatistics(store);
  EXPECT_EQ(loaded.Shortest(), (KeystrokeRecord{u"line one\nline two", u"ab", 4}));
  EXPECT_EQ(loaded.Longest().text, std::u16string(259, u'x'));
  EXPECT_EQ(loaded.Longest().usageCount, 9);
}

TEST_F(StatisticsTest, MarkersCountTowardsTheCut) {
  Statistics saved;
  std::u16string text(250, u'y');
  text += u"\n";
  text += u"tail";
  saved.OfferKeystroke(u"k", text, 0);
  saved.SaveStatistics(store);
  Statistics loaded;
  loaded.LoadStatistics(store);
  // 250 characters and the first 9 characters of the marker: no line break comes back.
  EXPECT_EQ(loaded.Shortest().text, std::u16string(250, u'y') + std::u16string(kLineBreakMarker.substr(0, 9)));
}

TEST_F(StatisticsTest, RecordWithoutPrefixLoadsEmpty) {
  store.WriteString(u"Statistics", u"Prefix_Max", u"");
  store.WriteString(u"Statistics", u"Phrase_Max", u"orphan");
  store.WriteString(u"Statistics", u"UsageCount_Max", u"3");
  store.WriteString(u"Statistics", u"Phrase_Min", u"orphan");
  Statistics statistics;
  statistics.LoadStatistics(store);
  EXPECT_TRUE(statistics.Longest().Empty());
  EXPECT_EQ(statistics.Longest().text, u"");
  EXPECT_TRUE(statistics.Shortest().Empty());
}

TEST_F(StatisticsTest, EmptyRecordsLeaveTheirKeysAndFailedCountWriteIsReported) {
  store.WriteString(u"Statistics", u"Prefix_Max", u"kept");
  Statistics statistics;
  EXPECT_TRUE(statistics.SaveStatistics(store));
  EXPECT_EQ(Value(u"Statistics", u"Prefix_Max"), u"kept");
  data.failWrites = true;
  EXPECT_FALSE(statistics.SaveStatistics(store));
}

TEST(StatisticsCountTest, AddPrintedCharsAndPages) {
  Statistics statistics;
  EXPECT_FALSE(statistics.AddPrintedChars(0));
  EXPECT_EQ(statistics.PrintedChars(), 0u);
  EXPECT_TRUE(statistics.AddPrintedChars(1799));
  EXPECT_EQ(statistics.PagesFigure(), 0u);
  statistics.AddPrintedChars(1);
  EXPECT_EQ(statistics.PagesFigure(), 1u);
  statistics.AddPrintedChars(1800);
  EXPECT_EQ(statistics.PagesFigure(), 2u);
  statistics.SetPrintedChars(0xFFFFFFFFu);
  statistics.AddPrintedChars(2);
  EXPECT_EQ(statistics.PrintedChars(), 1u);  // wraps
}

TEST(StatisticsOfferTest, ShortestAndLongestFollowTheOffers) {
  Statistics statistics;
  EXPECT_TRUE(statistics.OfferKeystroke(u"ab", u"t1", 0));
  EXPECT_TRUE(statistics.OfferKeystroke(u"abc", u"t2", 1));
  EXPECT_TRUE(statistics.OfferKeystroke(u"xy", u"t3", 2));
  EXPECT_EQ(statistics.Shortest().keystroke, u"xy");
  EXPECT_EQ(statistics.Longest().keystroke, u"abc");
  // Same length as a record replaces it; in between changes nothing.
  EXPECT_TRUE(statistics.OfferKeystroke(u"qqq", u"t4", 3));
  EXPECT_EQ(statistics.Longest().text, u"t4");
  Statistics middle;
  middle.OfferKeystroke(u"a", u"", 0);
  middle.OfferKeystroke(u"abcd", u"", 0);
  EXPECT_FALSE(middle.OfferKeystroke(u"ab", u"", 0));
}

TEST(StatisticsConcurrencyTest, SavesDuringOffersSeeWholeRecords) {
  Statistics statistics;
  MemoryProfileStore::Data data;
  std::thread engine([&] {
    for (int i = 0; i < 2000; ++i) {
      const std::u16string word(size_t(1 + i % 7), char16_t(u'a' + i % 7));
      statistics.OfferKeystroke(word, word + u"-text", i);
    }
  });
  for (int i = 0; i < 200; ++i) {
    MemoryProfileStore store(data);
    statistics.SaveStatistics(store);
    const KeystrokeRecord longest = statistics.Longest();
    if (!longest.Empty()) {
      EXPECT_EQ(longest.text, longest.keystroke + u"-text");
    }
  }
  engine.join();
}

}  // namespace
}  // namespace vellix
