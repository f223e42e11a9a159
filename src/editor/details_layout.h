#pragma once
// Where the details panel's controls go when the panel is resized. The gaps are given for a
// display at 100 % and grow with its scale, so that the bold caption of the post-insertion
// group keeps clear of the check box under it.

#include "base/rect.h"

namespace vellix {

// The controls the layout moves, in the panel's client coordinates.
struct DetailsPanelControls {
  Rect add;
  Rect remove;
  Rect list;
  Rect group;
  Rect check;
  Rect count;
  Rect spin;
  friend bool operator==(const DetailsPanelControls&, const DetailsPanelControls&) = default;
};

// current: the controls where they are now (their sizes, the list's left edge and Remove's
// left edge are kept). "Add" and "Remove" go to y = 8; the list spans from Add's left edge
// to Remove's right edge, from 8 below the buttons to 4 above the panel's bottom; the
// group runs from 8 right of the list to 8 short of the panel's right edge and from 4 above
// the buttons' top to 4 above the bottom; the check box sits 8 right of and 16 below the
// group's top-left corner, the count 8 below the check box at its left edge, the up-down
// control 1 right of the count at its top. Every gap but that last hairline is scaled to dpi.
DetailsPanelControls ArrangeDetailsPanel(int width, int height, const DetailsPanelControls& current, int dpi);

}  // namespace vellix
