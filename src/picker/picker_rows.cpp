#include "picker/picker_rows.h"

#include <algorithm>

#include "phrases/phrase.h"

namespace vellix {

std::u16string FirstLine(std::u16string_view text, size_t maxLength) {
  const size_t lineEnd = std::min(text.find_first_of(u"\r\n"), text.size());
  size_t length = std::min(lineEnd, maxLength);
  // A high surrogate at the cut would lose its partner.
  if (length < lineEnd && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  std::u16string line(text.substr(0, length));
  std::replace(line.begin(), line.end(), u'\t', u' ');
  if (length < text.size()) line += u'\u2026';
  return line;
}

PickerRow DescribePhrase(const Phrase& phrase) {
  PickerRow row;
  for (const auto& [keystroke, enabled] : phrase.Prefixes()) {
    if (enabled != 1) continue;
    if (!row.keystrokes.empty()) row.keystrokes += u", ";
    row.keystrokes += keystroke;
  }
  row.firstLine = FirstLine(phrase.Word());
  row.usage = phrase.CountUsage();
  return row;
}

Rect PickerRectNear(int x, int y, int width, int height, int lineHeight, const Rect& workArea) {
  width = std::min(width, workArea.Width());
  height = std::min(height, workArea.Height());
  int top = y + 2;
  if (top + height > workArea.bottom) {
    const int above = y - lineHeight - 2 - height;
    top = above >= workArea.top ? above : workArea.bottom - height;
  }
  const int left = std::clamp(x, workArea.left, workArea.right - width);
  top = std::clamp(top, workArea.top, workArea.bottom - height);
  return Rect{left, top, left + width, top + height};
}

}  // namespace vellix
