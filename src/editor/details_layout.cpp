#include "editor/details_layout.h"

#include <algorithm>

#include "base/dpi.h"

namespace vellix {
namespace {

Rect At(int left, int top, int width, int height) { return Rect{left, top, left + width, top + height}; }

}  // namespace

DetailsPanelControls ArrangeDetailsPanel(int width, int height, const DetailsPanelControls& current, int dpi) {
  const auto gap = [dpi](int pixels) { return ScaleToDpi(pixels, dpi); };
  DetailsPanelControls next;
  const int buttonsTop = gap(8);
  next.add = At(current.list.left, buttonsTop, current.add.Width(), current.add.Height());
  next.remove = At(current.remove.left, buttonsTop, current.remove.Width(), current.remove.Height());
  const int buttonsBottom = buttonsTop + std::max(current.add.Height(), current.remove.Height());

  next.list = Rect{current.list.left, buttonsBottom + gap(8), current.remove.right, height - gap(4)};
  next.group = Rect{width - gap(8) - current.group.Width(), buttonsTop - gap(4), width - gap(8), height - gap(4)};
  next.check = At(next.group.left + gap(8), next.group.top + gap(16), current.check.Width(), current.check.Height());
  next.count = At(next.check.left, next.check.bottom + gap(8), current.count.Width(), current.count.Height());
  next.spin = At(next.count.right + 1, next.count.top, current.spin.Width(), current.spin.Height());

  const int left = next.list.right + gap(8);
  const int right = std::max(left, next.group.left - gap(8));
  const int listTop = buttonsBottom + gap(8);
  next.mode = At(left, buttonsTop, right - left, current.mode.Height());
  next.addProgram = At(right - current.addProgram.Width(), listTop, current.addProgram.Width(),
                       current.addProgram.Height());
  next.removeProgram = At(next.addProgram.left, next.addProgram.bottom + gap(4), current.removeProgram.Width(),
                          current.removeProgram.Height());
  next.note = Rect{left, height - gap(4) - current.note.Height(), right, height - gap(4)};
  next.programs = Rect{left, listTop, std::max(left, next.addProgram.left - gap(4)),
                       std::max(listTop, next.note.top - gap(2))};
  return next;
}

}  // namespace vellix
