#pragma once
// The phrase editor's geometry: its minimum tracking size and where its controls go when
// the client area is resized. The layout keeps the margins and gaps of the dialog template
// as they are when the dialog is created.

#include "base/rect.h"

namespace vellix {

// A rectangle in the editor's client coordinates.
using LayoutRect = Rect;

struct LayoutSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const LayoutSize&, const LayoutSize&) = default;
};

// The controls the layout moves, in client coordinates.
struct EditorControls {
  LayoutRect list;
  LayoutRect frame;
  LayoutRect ok;
  LayoutRect cancel;
  LayoutRect homeLink;
  LayoutRect productLink;
  friend bool operator==(const EditorControls&, const EditorControls&) = default;
};

// (4 × OK width + 55) by (OK height + 543); 87 by 24 stands for a missing OK button.
// extraHeight is added to the height for what the pixel figure leaves out (the larger
// frame of a display scaled above 100 %).
LayoutSize EditorMinTrackSize(bool hasOk, LayoutSize ok, int extraHeight = 0);

class EditorLayout {
 public:
  EditorLayout() = default;
  // Records the template's margins from the controls in a client area of that size.
  EditorLayout(LayoutSize client, const EditorControls& initial);

  // Cancel keeps its distances to the right and bottom edges and OK its gap left of
  // Cancel; the list keeps its left, top and right margins and reaches down to the
  // "Details" frame, which keeps its height, spans the list's width and ends above the
  // buttons with the template's spacing; the links keep their left edges and stay level
  // with the buttons. The list keeps at least a height of 0.
  EditorControls Arrange(LayoutSize client) const;

 private:
  EditorControls initial_;
  LayoutSize client_;
};

}  // namespace vellix
