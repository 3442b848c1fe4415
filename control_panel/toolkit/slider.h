// "Slider": a vertical slider drawn with lines: the track down the middle and a bar across at
// the value, 0 at the top edge and 1 at the bottom edge.
//
// Slider: the toolkit's vertical slider.
#pragma once

#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class Slider : public View {
 public:
  using View::View;

  // Exactly one line: a background image (optional).
  void init(const char* const* lines, int count) override;
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  void parameterChanged(int slot) override;
  // Follows the pointer, clamped to the view's height.
  void onDrag(iGUI* gui) override;
  void draw(iGUI* gui) override;

  float value() const { return value_; }

 protected:
  float value_ = 0;
  int centreX_ = 0;
  NamedBitmap* image_ = nullptr;  // shared, not owned
};

}  // namespace velmora
