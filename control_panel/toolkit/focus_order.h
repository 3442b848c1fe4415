// The order Tab walks through the controls of a layout: every focusable view that input can
// reach (not hidden, not under a cover), in reading order — rows from top to bottom, left to
// right within a row. Views whose tops lie within kRowTolerance pixels of a row's first top
// belong to that row, so a line of controls of slightly different heights reads as one.
#pragma once

#include <vector>

namespace velmora {

class View;

class FocusOrder {
 public:
  static constexpr int kRowTolerance = 10;

  // The focusable views below and including `root`, in reading order.
  static std::vector<View*> of(View* root);
  // The view after `current` (before it when `backwards`), wrapping around; the first (or
  // last) when `current` is none or no longer in the order; none when nothing is focusable.
  static View* next(View* root, View* current, bool backwards);
};

}  // namespace velmora
