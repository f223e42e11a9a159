#pragma once
// Layout rules of the phrase grid that need no window: where the in-place editors go, how
// wide the last column becomes, and how a cell shows a text that holds line breaks.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/rect.h"

namespace vellix {

// A rectangle in the list's client coordinates.
using GridRect = Rect;

// Rows the multi-line editor is tall, and the gap it leaves to the list's right edge.
inline constexpr int kEditorRows = 5;
inline constexpr int kEditorRightGap = 30;
// What the single-line editor adds to the cell's size.
inline constexpr int kSingleLineExtraWidth = 30;
inline constexpr int kSingleLineExtraHeight = 10;

// The multi-line editor over cell: five rows tall, from the cell's left edge to 30 pixels
// short of the area's right edge (never narrower than the cell itself). When five rows do
// not fit below the cell's top, the editor ends at the cell's bottom instead and reaches up,
// but never above the area's top. area is the part of the list that shows rows.
GridRect MultiLineEditorRect(const GridRect& cell, const GridRect& area, int rowHeight);

// The single-line editor over cell: the cell grown by 30 pixels in width and 10 in height.
GridRect SingleLineEditorRect(const GridRect& cell);

// The width the last column gets so that all columns fill clientWidth, or nothing when the
// other columns already take more than that. widths holds every column, the last included.
std::optional<int> LastColumnWidth(int clientWidth, const std::vector<int>& widths);

// The text as one line for drawing in a cell: each line break (CR LF, CR or LF) becomes
// one blank.
std::u16string SingleLineText(std::u16string_view text);

}  // namespace vellix
