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
  // The program rule: its mode, the list of programs, Add and Remove beside the list, and
  // the note under it.
  Rect mode;
  Rect programs;
  Rect addProgram;
  Rect removeProgram;
  Rect note;
  friend bool operator==(const DetailsPanelControls&, const DetailsPanelControls&) = default;
};

// current: the controls where they are now (their sizes, the list's left edge and Remove's
// left edge are kept). "Add" and "Remove" go to y = 8; the list spans from Add's left edge
// to Remove's right edge, from 8 below the buttons to 4 above the panel's bottom; the
// group keeps its width and ends 8 short of the panel's right edge, from 4 above the
// buttons' top to 4 above the bottom; the check box sits 8 right of and 16 below the
// group's top-left corner, the count 8 below the check box at its left edge, the up-down
// control 1 right of the count at its top. The program rule takes the room between the
// list and the group, 8 from each: the mode at the buttons' height across it, the program
// Add and Remove buttons (their sizes kept) at its right edge from 8 below the buttons,
// 4 apart, the note (its height kept) along its bottom 4 above the panel's bottom, and
// the list of programs from its left edge to 4 short of the buttons, from 8 below the
// keystroke buttons to 2 above the note. Every gap but the hairline is scaled to dpi.
DetailsPanelControls ArrangeDetailsPanel(int width, int height, const DetailsPanelControls& current, int dpi);

}  // namespace vellix
