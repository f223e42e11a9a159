#pragma once
// GridRows: the rows and cells behind the phrase grid. Rows carry a datum and a level
// (1 = top row, 2 = child of the nearest top row above it); a top row can be collapsed, which
// hides its child rows. The list control shows only the visible rows, so the model also maps
// row indices to the positions of the shown rows and back.
//
// Cells are kept in one flat array (row-major) so that a row costs no allocation of its own
// beyond its texts; ten thousand rows stay cheap to fill and to scan.

#include <cstdint>
#include <string>
#include <vector>

namespace vellix {

struct GridCell {
  std::u16string text;
  int choice = -1;
  bool check = false;
};

class GridRows {
 public:
  // Keeps the cells of the columns that remain; new columns start empty.
  void SetColumnCount(int columns);
  int ColumnCount() const { return columns_; }

  // Inserts a row before at (-1 appends). A child row (level 2) needs a row above it; levels
  // other than 1 and 2 are refused. Answers the row index or -1.
  int Insert(uint32_t datum, int level, int at);
  // Number of rows Remove(row) takes away: the row and, for a top row, its child rows.
  int Span(int row) const;
  // Removes the row with its child rows; answers how many rows went (0 for a bad index).
  int Remove(int row);
  void Clear();

  int Count() const { return static_cast<int>(rows_.size()); }
  bool IsValid(int row) const { return row >= 0 && row < Count(); }
  int Find(uint32_t datum) const;
  uint32_t Datum(int row) const;
  int Level(int row) const;
  int CountLevel(int level) const;
  int NthOfLevel(int level, int n) const;
  // The top row a child row belongs to; a top row answers itself, a bad index -1.
  int Parent(int row) const;
  bool HasChildren(int row) const;

  GridCell* Cell(int row, int column);
  const GridCell* Cell(int row, int column) const;

  // A row is editable while the first check box of its top row is set.
  bool IsEditable(int row) const;

  // Collapsing hides a top row's children; expanding shows them again. Both answer false
  // when nothing changed.
  bool SetExpanded(int row, bool expanded);
  bool IsExpanded(int row) const;
  bool IsShown(int row) const;
  // Some top row is collapsed (positions and row indices then differ).
  bool AnyCollapsed() const { return collapsed_ != 0; }

  // The shown rows in order: how many there are, the row at a list position, and the list
  // position of a row (-1 when it is hidden or does not exist).
  int ShownCount() const;
  int RowAt(int position) const;
  int PositionOf(int row) const;

 private:
  struct Row {
    uint32_t datum = 0;
    uint8_t level = 1;
    bool expanded = true;
    bool hidden = false;
  };
  void RefreshShown();

  int columns_ = 0;
  std::vector<Row> rows_;
  std::vector<GridCell> cells_;  // rows_.size() * columns_
  int collapsed_ = 0;            // top rows with expanded == false
  bool anyHidden_ = false;       // some row may still carry hidden == true
  // Row of each shown position; kept only while some rows are hidden (otherwise the
  // position of a row is its index).
  std::vector<int> shown_;
};

}  // namespace vellix
