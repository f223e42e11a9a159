#include "controls/grid_geometry.h"

#include <algorithm>
#include <numeric>

namespace vellix {

GridRect MultiLineEditorRect(const GridRect& cell, const GridRect& area, int rowHeight) {
  const int height = kEditorRows * std::max(rowHeight, 1);
  GridRect editor;
  editor.left = cell.left;
  // A cell scrolled far to the right would otherwise get an editor of no width at all.
  editor.right = std::max(area.right - kEditorRightGap, cell.right);
  editor.top = cell.top;
  editor.bottom = cell.top + height;
  if (editor.bottom > area.bottom) {
    editor.bottom = cell.bottom;
    editor.top = std::max(cell.bottom - height, area.top);
  }
  return editor;
}

GridRect SingleLineEditorRect(const GridRect& cell) {
  return {cell.left, cell.top, cell.right + kSingleLineExtraWidth, cell.bottom + kSingleLineExtraHeight};
}

std::optional<int> LastColumnWidth(int clientWidth, const std::vector<int>& widths) {
  if (widths.empty()) return std::nullopt;
  const long long others = std::accumulate(widths.begin(), widths.end() - 1, 0LL);
  const long long left = static_cast<long long>(clientWidth) - others;
  if (left < 0) return std::nullopt;
  return static_cast<int>(left);
}

std::u16string SingleLineText(std::u16string_view text) {
  std::u16string line;
  line.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      line.push_back(u' ');
    } else {
      line.push_back(c);
    }
  }
  return line;
}

}  // namespace vellix
