#pragma once
// What the phrase picker shows of a phrase and where it opens; platform-free.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/rect.h"

namespace vellix {

class Phrase;

// One row of the picker's list.
struct PickerRow {
  std::u16string keystrokes;  // the enabled keystrokes, joined by ", "
  std::u16string firstLine;   // see FirstLine
  int32_t usage = 0;
};

// The first line of a phrase's text as one row shows it: up to the first line break, tabs
// as blanks, at most maxLength units (a surrogate pair is never cut), with "…" when the
// text goes on.
std::u16string FirstLine(std::u16string_view text, size_t maxLength = 200);

PickerRow DescribePhrase(const Phrase& phrase);

// The picker's rectangle of width x height near a text caret whose bottom-left corner is at
// (x, y): below the caret's line, or above it (lineHeight higher) when there is no room
// below, and moved inside the work area of the monitor.
Rect PickerRectNear(int x, int y, int width, int height, int lineHeight, const Rect& workArea);

}  // namespace vellix
