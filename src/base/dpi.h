#pragma once
// The layout rules give their measures in pixels of a display at 100 % (96 dots per inch);
// on a display scaled above that every measure grows with it.

namespace vellix {

inline constexpr int kBaseDpi = 96;

// pixels at 96 dots per inch, given for a display of dpi, rounded to the nearest pixel
// (halves away from zero, as MulDiv); a dpi of 0 or less counts as 96.
constexpr int ScaleToDpi(int pixels, int dpi) {
  if (dpi <= 0) dpi = kBaseDpi;
  const long long product = static_cast<long long>(pixels) * dpi;
  const long long half = kBaseDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

}  // namespace vellix
