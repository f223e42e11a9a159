// Placement of the grid's in-place editors, the last column's width and the one-line form
// of a cell text.

#include "controls/grid_geometry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vellix {
namespace {

// A list whose rows area runs from y 20 (below the header) to 200, x 0 to 400; rows are
// 18 pixels tall, so five rows need 90.
constexpr GridRect kArea{0, 20, 400, 200};
constexpr int kRow = 18;

struct EditorCase {
  const char* name;
  GridRect cell;
  GridRect area;
  GridRect expected;
};

TEST(MultiLineEditorRectTest, PlacesFiveRowsBelowOrAboveTheCell) {
  constexpr GridRect kShortList{0, 20, 300, 74};  // three rows
  const EditorCase cases[] = {
      {"room below: five rows from the cell's top", {10, 20, 110, 38}, kArea, {10, 20, 370, 110}},
      {"exactly five rows left: still below", {10, 110, 110, 128}, kArea, {10, 110, 370, 200}},
      {"one pixel short: ends at the cell's bottom", {10, 111, 110, 129}, kArea, {10, 39, 370, 129}},
      {"last row: reaches up from its bottom", {0, 182, 100, 200}, kArea, {0, 110, 370, 200}},
      {"short list: clipped at the list's top", {10, 56, 110, 74}, kShortList, {10, 20, 270, 74}},
      {"short list, middle row", {10, 38, 110, 56}, kShortList, {10, 20, 270, 56}},
      {"cell right of the gap: never narrower than the cell", {380, 20, 480, 38}, kArea, {380, 20, 480, 110}},
  };
  for (const auto& c : cases) EXPECT_EQ(MultiLineEditorRect(c.cell, c.area, kRow), c.expected) << c.name;
}

TEST(SingleLineEditorRectTest, GrowsTheCell) {
  EXPECT_EQ(SingleLineEditorRect({100, 40, 200, 58}), (GridRect{100, 40, 230, 68}));
}

TEST(LastColumnWidthTest, TakesWhatTheOthersLeave) {
  struct Case {
    const char* name;
    int client;
    std::vector<int> widths;
    std::optional<int> expected;
  } cases[] = {
      {"editor's four columns", 600, {50, 100, 100, 80}, 350},
      {"only one column: the whole width", 300, {120}, 300},
      {"others fill the client exactly", 280, {100, 100, 80, 40}, 0},
      {"others too wide: no change", 250, {100, 100, 80, 40}, std::nullopt},
      {"no columns", 300, {}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(LastColumnWidth(c.client, c.widths), c.expected) << c.name;
}

TEST(SingleLineTextTest, TurnsEachLineBreakIntoOneBlank) {
  struct Case {
    std::u16string in;
    std::u16string out;
  } cases[] = {
      {u"", u""},
      {u"plain", u"plain"},
      {u"Dear Sir,\r\nthanks", u"Dear Sir, thanks"},
      {u"a\nb\rc", u"a b c"},
      {u"a\r\n\r\nb", u"a  b"},
      {u"end\r", u"end "},
      {u"\r\n", u" "},
  };
  for (const auto& c : cases) EXPECT_EQ(SingleLineText(c.in), c.out);
}

}  // namespace
}  // namespace vellix
