#include "editor/editor_layout.h"

#include <algorithm>

namespace vellix {
namespace {

// The rectangle moved so that its top-left corner is at (left, top), keeping its size.
LayoutRect MovedTo(const LayoutRect& r, int left, int top) {
  return {left, top, left + r.Width(), top + r.Height()};
}

}  // namespace

LayoutSize EditorMinTrackSize(bool hasOk, LayoutSize ok, int extraHeight) {
  if (!hasOk) ok = {87, 24};
  return {4 * ok.width + 55, ok.height + 543 + extraHeight};
}

EditorLayout::EditorLayout(LayoutSize client, const EditorControls& initial)
    : initial_(initial), client_(client) {}

EditorControls EditorLayout::Arrange(LayoutSize client) const {
  const EditorControls& t = initial_;
  EditorControls c;
  const int rightShift = client.width - client_.width;
  const int downShift = client.height - client_.height;

  c.cancel = MovedTo(t.cancel, t.cancel.left + rightShift, t.cancel.top + downShift);
  const int okGap = t.cancel.left - t.ok.right;
  c.ok = MovedTo(t.ok, c.cancel.left - okGap - t.ok.Width(), t.ok.top + downShift);

  c.list.left = t.list.left;
  c.list.top = t.list.top;
  c.list.right = std::max(t.list.left, t.list.right + rightShift);

  const int frameToButtons = std::min(t.ok.top, t.cancel.top) - t.frame.bottom;
  c.frame.left = c.list.left;
  c.frame.right = c.list.right;
  c.frame.bottom = std::min(c.ok.top, c.cancel.top) - frameToButtons;
  c.frame.top = c.frame.bottom - t.frame.Height();

  const int listToFrame = t.frame.top - t.list.bottom;
  c.list.bottom = std::max(c.list.top, c.frame.top - listToFrame);

  c.homeLink = MovedTo(t.homeLink, t.homeLink.left, t.homeLink.top + downShift);
  c.productLink = MovedTo(t.productLink, t.productLink.left, t.productLink.top + downShift);
  return c;
}

}  // namespace vellix
