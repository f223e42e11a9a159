#include "controls/grid_rows.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vellix {

void GridRows::SetColumnCount(int columns) {
  columns = std::max(columns, 0);
  if (columns == columns_) return;
  std::vector<GridCell> cells(rows_.size() * static_cast<size_t>(columns));
  const int kept = std::min(columns, columns_);
  for (size_t r = 0; r < rows_.size(); ++r) {
    for (int c = 0; c < kept; ++c) {
      cells[r * columns + c] = std::move(cells_[r * columns_ + c]);
    }
  }
  cells_ = std::move(cells);
  columns_ = columns;
}

int GridRows::Insert(uint32_t datum, int level, int at) {
  if (at == -1) at = Count();
  if (at < 0 || at > Count()) return -1;
  if (level != 1 && level != 2) return -1;
  if (level == 2 && at == 0) return -1;  // a child row needs a parent above it
  Row row;
  row.datum = datum;
  row.level = static_cast<uint8_t>(level);
  rows_.insert(rows_.begin() + at, row);
  cells_.insert(cells_.begin() + static_cast<ptrdiff_t>(at) * columns_, static_cast<size_t>(columns_), GridCell{});
  RefreshShown();
  return at;
}

int GridRows::Span(int row) const {
  if (!IsValid(row)) return 0;
  int end = row + 1;
  if (rows_[row].level == 1) {
    while (end < Count() && rows_[end].level != 1) ++end;
  }
  return end - row;
}

int GridRows::Remove(int row) {
  const int span = Span(row);
  if (span == 0) return 0;
  for (int r = row; r < row + span; ++r) {
    if (rows_[r].level == 1 && !rows_[r].expanded) --collapsed_;
  }
  rows_.erase(rows_.begin() + row, rows_.begin() + row + span);
  const auto first = cells_.begin() + static_cast<ptrdiff_t>(row) * columns_;
  cells_.erase(first, first + static_cast<ptrdiff_t>(span) * columns_);
  RefreshShown();
  return span;
}

void GridRows::Clear() {
  rows_.clear();
  cells_.clear();
  shown_.clear();
  collapsed_ = 0;
  anyHidden_ = false;
}

int GridRows::Find(uint32_t datum) const {
  for (int r = 0; r < Count(); ++r) {
    if (rows_[r].datum == datum) return r;
  }
  return -1;
}

uint32_t GridRows::Datum(int row) const { return IsValid(row) ? rows_[row].datum : 0; }

int GridRows::Level(int row) const { return IsValid(row) ? rows_[row].level : 0; }

int GridRows::CountLevel(int level) const {
  return static_cast<int>(
      std::count_if(rows_.begin(), rows_.end(), [level](const Row& r) { return r.level == level; }));
}

int GridRows::NthOfLevel(int level, int n) const {
  if (n < 0) return -1;
  for (int r = 0; r < Count(); ++r) {
    if (rows_[r].level == level && n-- == 0) return r;
  }
  return -1;
}

int GridRows::Parent(int row) const {
  if (!IsValid(row)) return -1;
  while (row > 0 && rows_[row].level != 1) --row;
  return row;
}

bool GridRows::HasChildren(int row) const {
  return IsValid(row) && rows_[row].level == 1 && row + 1 < Count() && rows_[row + 1].level != 1;
}

GridCell* GridRows::Cell(int row, int column) {
  if (!IsValid(row) || column < 0 || column >= columns_) return nullptr;
  return &cells_[static_cast<size_t>(row) * columns_ + column];
}

const GridCell* GridRows::Cell(int row, int column) const { return const_cast<GridRows*>(this)->Cell(row, column); }

bool GridRows::IsEditable(int row) const {
  const int top = Parent(row);
  if (top < 0) return false;
  const GridCell* first = Cell(top, 0);
  return first == nullptr || first->check;  // without columns there is nothing to lock
}

bool GridRows::SetExpanded(int row, bool expanded) {
  if (!IsValid(row) || rows_[row].level != 1 || rows_[row].expanded == expanded) return false;
  rows_[row].expanded = expanded;
  collapsed_ += expanded ? -1 : 1;
  RefreshShown();
  return true;
}

bool GridRows::IsExpanded(int row) const { return IsValid(row) && rows_[row].expanded; }

bool GridRows::IsShown(int row) const { return IsValid(row) && !rows_[row].hidden; }

int GridRows::ShownCount() const { return collapsed_ == 0 ? Count() : static_cast<int>(shown_.size()); }

int GridRows::RowAt(int position) const {
  if (position < 0 || position >= ShownCount()) return -1;
  return collapsed_ == 0 ? position : shown_[position];
}

int GridRows::PositionOf(int row) const {
  if (!IsShown(row)) return -1;
  if (collapsed_ == 0) return row;
  const auto it = std::lower_bound(shown_.begin(), shown_.end(), row);
  return static_cast<int>(std::distance(shown_.begin(), it));
}

// Recomputes which rows are hidden. Costs one pass only while some top row is collapsed;
// the common case (everything expanded) keeps the identity mapping and costs nothing.
void GridRows::RefreshShown() {
  shown_.clear();
  if (collapsed_ == 0) {
    if (anyHidden_) {
      for (Row& r : rows_) r.hidden = false;
      anyHidden_ = false;
    }
    return;
  }
  anyHidden_ = true;
  bool parentExpanded = true;
  for (int i = 0; i < Count(); ++i) {
    Row& r = rows_[i];
    if (r.level == 1) parentExpanded = r.expanded;
    r.hidden = r.level != 1 && !parentExpanded;
    if (!r.hidden) shown_.push_back(i);
  }
}

}  // namespace vellix
