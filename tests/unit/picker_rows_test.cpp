// What the phrase picker shows of a phrase, and where it opens near the caret.

#include <gtest/gtest.h>

#include "phrases/phrase.h"
#include "picker/picker_rows.h"

namespace vellix {
namespace {

TEST(PickerRows, FirstLineStopsAtTheLineBreakAndMarksWhatGoesOn) {
  const struct {
    std::u16string_view text;
    size_t max;
    std::u16string_view line;
  } cases[] = {
      {u"by the way", 200, u"by the way"},
      {u"Dear Sir,\r\nthank you", 200, u"Dear Sir,\u2026"},
      {u"one\ntwo", 200, u"one\u2026"},
      {u"\r\nstarts with a break", 200, u"\u2026"},
      {u"a\tb", 200, u"a b"},                       // a tab is a blank in one row
      {u"abcdef", 4, u"abcd\u2026"},
      {u"ab\U0001F600cd", 3, u"ab\u2026"},           // the pair is not cut in half
      {u"ab\U0001F600cd", 4, u"ab\U0001F600\u2026"},
      {u"", 200, u""},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstLine(c.text, c.max), c.line);
}

TEST(PickerRows, RowHoldsTheEnabledKeystrokesTheFirstLineAndTheUsage) {
  Phrase phrase;
  phrase.SetWord(u"Kind regards\r\nAnna");
  phrase.Prefixes()[u"kr"] = 1;
  phrase.Prefixes()[u"old"] = 0;
  phrase.Prefixes()[u"regards"] = 1;
  phrase.SetCountUsage(7);
  const PickerRow row = DescribePhrase(phrase);
  EXPECT_EQ(row.keystrokes, u"kr, regards");
  EXPECT_EQ(row.firstLine, u"Kind regards\u2026");
  EXPECT_EQ(row.usage, 7);
}

TEST(PickerRows, OpensBelowTheCaretOrAboveItAndStaysOnTheWorkArea) {
  const Rect area{0, 0, 1000, 700};
  const struct {
    int x, y;
    Rect expected;
  } cases[] = {
      {100, 200, {100, 202, 400, 402}},   // below the caret's line
      {100, 600, {100, 378, 400, 578}},   // no room below: above the line (20 high)
      {900, 200, {700, 202, 1000, 402}},  // moved left onto the screen
      {-50, 200, {0, 202, 300, 402}},
      {100, 210, {100, 212, 400, 412}},
      {100, 215, {100, 217, 400, 417}},
  };
  for (const auto& c : cases) EXPECT_EQ(PickerRectNear(c.x, c.y, 300, 200, 20, area), c.expected) << c.x << "," << c.y;
  // Room neither below nor above: as low as the screen allows.
  EXPECT_EQ(PickerRectNear(100, 150, 300, 200, 20, Rect{0, 0, 1000, 300}), (Rect{100, 100, 400, 300}));
  // Larger than the screen: as large as the screen.
  EXPECT_EQ(PickerRectNear(100, 100, 3000, 2000, 20, area), (Rect{0, 0, 1000, 700}));
}

}  // namespace
}  // namespace vellix
