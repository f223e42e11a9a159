#pragma once
// A rectangle in one window's client coordinates, for layout rules that need no window
// (right and bottom exclusive, as in Win32).

namespace vellix {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace vellix
