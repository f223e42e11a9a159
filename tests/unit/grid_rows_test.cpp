// The grid's row model: rows with data and levels, cells, editability that follows the top
// row's first check, and the mapping of shown rows while child rows are collapsed.

#include "controls/grid_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellix {
namespace {

// Rows: top 10 (children 11, 12), top 20, top 30 (child 31); two columns.
class GridRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rows_.SetColumnCount(2);
    for (auto [datum, level] :
         std::vector<std::pair<uint32_t, int>>{{10, 1}, {11, 2}, {12, 2}, {20, 1}, {30, 1}, {31, 2}}) {
      ASSERT_GE(rows_.Insert(datum, level, -1), 0);
    }
  }
  std::vector<uint32_t> Shown() const {
    std::vector<uint32_t> shown;
    for (int p = 0; p < rows_.ShownCount(); ++p) shown.push_back(rows_.Datum(rows_.RowAt(p)));
    return shown;
  }
  GridRows rows_;
};

TEST_F(GridRowsTest, InsertAnswersTheIndexOrRefuses) {
  struct Case {
    const char* name;
    int level;
    int at;
    int expected;
  } cases[] = {
      {"append", 1, -1, 6},       {"before the first", 1, 0, 0},
      {"in the middle", 1, 3, 3}, {"child at the top has no parent", 2, 0, -1},
      {"past the end", 1, 7, -1}, {"negative position", 1, -2, -1},
      {"level 0", 0, -1, -1},     {"level 3", 3, -1, -1},
  };
  for (const auto& c : cases) {
    GridRows rows = rows_;
    EXPECT_EQ(rows.Insert(99, c.level, c.at), c.expected) << c.name;
    EXPECT_EQ(rows.Count(), c.expected < 0 ? 6 : 7) << c.name;
    if (c.expected >= 0) {
      EXPECT_EQ(rows.Datum(c.expected), 99u) << c.name;
    }
  }
}

TEST_F(GridRowsTest, InsertKeepsTheCellsOfOtherRows) {
  rows_.Cell(3, 1)->text = u"twenty";
  rows_.Cell(3, 0)->check = true;
  ASSERT_EQ(rows_.Insert(5, 1, 0), 0);
  EXPECT_EQ(rows_.Cell(4, 1)->text, u"twenty");
  EXPECT_TRUE(rows_.Cell(4, 0)->check);
  EXPECT_EQ(rows_.Cell(0, 1)->text, u"");
  EXPECT_FALSE(rows_.Cell(0, 0)->check);
}

TEST_F(GridRowsTest, FindCountAndNth) {
  EXPECT_EQ(rows_.Find(20), 3);
  EXPECT_EQ(rows_.Find(31), 5);
  EXPECT_EQ(rows_.Find(77), -1);
  EXPECT_EQ(rows_.CountLevel(1), 3);
  EXPECT_EQ(rows_.CountLevel(2), 3);
  EXPECT_EQ(rows_.CountLevel(3), 0);
  struct Case {
    int level;
    int n;
    int row;
  } cases[] = {{1, 0, 0}, {1, 1, 3}, {1, 2, 4}, {1, 3, -1}, {2, 0, 1}, {2, 2, 5}, {2, 3, -1}, {1, -1, -1}};
  for (const auto& c : cases) EXPECT_EQ(rows_.NthOfLevel(c.level, c.n), c.row) << c.level << "/" << c.n;
}

TEST_F(GridRowsTest, RemoveTakesChildRowsWithTheirParent) {
  struct Case {
    const char* name;
    int row;
    int removed;
    std::vector<uint32_t> left;
  } cases[] = {
      {"top row with two children", 0, 3, {20, 30, 31}},
      {"one child", 1, 1, {10, 12, 20, 30, 31}},
      {"top row without children", 3, 1, {10, 11, 12, 30, 31}},
      {"last family", 4, 2, {10, 11, 12, 20}},
      {"bad index", 6, 0, {10, 11, 12, 20, 30, 31}},
      {"negative index", -1, 0, {10, 11, 12, 20, 30, 31}},
  };
  for (const auto& c : cases) {
    GridRows rows = rows_;
    EXPECT_EQ(rows.Remove(c.row), c.removed) << c.name;
    std::vector<uint32_t> left;
    for (int r = 0; r < rows.Count(); ++r) left.push_back(rows.Datum(r));
    EXPECT_EQ(left, c.left) << c.name;
  }
}

TEST_F(GridRowsTest, RemoveKeepsTheCellsOfTheRowsThatStay) {
  rows_.Cell(4, 1)->text = u"thirty";
  rows_.Cell(5, 1)->text = u"thirty-one";
  ASSERT_EQ(rows_.Remove(0), 3);
  EXPECT_EQ(rows_.Cell(1, 1)->text, u"thirty");
  EXPECT_EQ(rows_.Cell(2, 1)->text, u"thirty-one");
}

TEST_F(GridRowsTest, ChildRowsFollowTheirParentsFirstCheck) {
  rows_.Cell(0, 0)->check = true;  // 10 on, 20 and 30 off
  rows_.Cell(5, 0)->check = true;  // the child's own check does not unlock it
  const bool expected[] = {true, true, true, false, false, false};
  for (int r = 0; r < rows_.Count(); ++r) EXPECT_EQ(rows_.IsEditable(r), expected[r]) << r;
  rows_.Cell(0, 0)->check = false;
  EXPECT_FALSE(rows_.IsEditable(1));
  EXPECT_FALSE(rows_.IsEditable(-1));
  EXPECT_FALSE(rows_.IsEditable(6));
}

TEST_F(GridRowsTest, ParentAndChildren) {
  const int parents[] = {0, 0, 0, 3, 4, 4};
  for (int r = 0; r < rows_.Count(); ++r) EXPECT_EQ(rows_.Parent(r), parents[r]) << r;
  EXPECT_TRUE(rows_.HasChildren(0));
  EXPECT_FALSE(rows_.HasChildren(1));
  EXPECT_FALSE(rows_.HasChildren(3));
  EXPECT_TRUE(rows_.HasChildren(4));
}

TEST_F(GridRowsTest, CollapsingHidesChildRowsAndMapsPositions) {
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{10, 11, 12, 20, 30, 31}));
  EXPECT_FALSE(rows_.SetExpanded(1, false));  // a child row has nothing to collapse
  ASSERT_TRUE(rows_.SetExpanded(0, false));
  EXPECT_FALSE(rows_.SetExpanded(0, false));
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{10, 20, 30, 31}));
  EXPECT_EQ(rows_.PositionOf(1), -1);
  EXPECT_EQ(rows_.PositionOf(3), 1);
  EXPECT_EQ(rows_.PositionOf(5), 3);
  EXPECT_EQ(rows_.RowAt(2), 4);
  EXPECT_EQ(rows_.RowAt(4), -1);

  ASSERT_TRUE(rows_.SetExpanded(4, false));
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{10, 20, 30}));
  ASSERT_TRUE(rows_.SetExpanded(0, true));
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{10, 11, 12, 20, 30}));
  ASSERT_TRUE(rows_.SetExpanded(4, true));
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{10, 11, 12, 20, 30, 31}));
  EXPECT_FALSE(rows_.AnyCollapsed());
}

TEST_F(GridRowsTest, RowsInsertedUnderACollapsedParentAreHidden) {
  ASSERT_TRUE(rows_.SetExpanded(4, false));
  ASSERT_EQ(rows_.Insert(32, 2, -1), 6);
  EXPECT_FALSE(rows_.IsShown(6));
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{10, 11, 12, 20, 30}));
  // A new top row between the collapsed parent and its children takes them over, shown.
  ASSERT_EQ(rows_.Insert(40, 1, 5), 5);
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{10, 11, 12, 20, 30, 40, 31, 32}));
}

TEST_F(GridRowsTest, RemovingACollapsedRowForgetsItsState) {
  ASSERT_TRUE(rows_.SetExpanded(0, false));
  ASSERT_EQ(rows_.Remove(0), 3);
  EXPECT_FALSE(rows_.AnyCollapsed());
  EXPECT_EQ(Shown(), (std::vector<uint32_t>{20, 30, 31}));
  rows_.Clear();
  EXPECT_EQ(rows_.ShownCount(), 0);
  EXPECT_EQ(rows_.RowAt(0), -1);
}

TEST_F(GridRowsTest, ColumnCountChangesKeepOverlappingCells) {
  rows_.Cell(3, 0)->text = u"a";
  rows_.Cell(3, 1)->text = u"b";
  rows_.SetColumnCount(3);
  EXPECT_EQ(rows_.Cell(3, 0)->text, u"a");
  EXPECT_EQ(rows_.Cell(3, 1)->text, u"b");
  EXPECT_EQ(rows_.Cell(3, 2)->text, u"");
  rows_.SetColumnCount(1);
  EXPECT_EQ(rows_.Cell(3, 0)->text, u"a");
  EXPECT_EQ(rows_.Cell(3, 1), nullptr);
  EXPECT_EQ(rows_.Cell(-1, 0), nullptr);
  EXPECT_EQ(rows_.Cell(6, 0), nullptr);
}

}  // namespace
}  // namespace vellix
