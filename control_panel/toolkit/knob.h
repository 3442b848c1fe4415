// "Knob": a rotary control drawn from a horizontal strip of frames as wide as the view. The
// value follows the angle of the pointer around the centre while dragged: 0 straight below,
// 0.25 to the left, 0.5 above, 0.75 to the right.
//
// Knob: the toolkit's rotary control.
#pragma once

#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class Knob : public View {
 public:
  using View::View;

  // Exactly one line: the frame strip.
  void init(const char* const* lines, int count) override;
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  void parameterChanged(int slot) override;
  void onDrag(iGUI* gui) override;
  void draw(iGUI* gui) override;

  float value() const { return value_; }
  int frameCount() const { return frameCount_; }
  // The frame shown for the present value.
  int frameIndex() const;

 protected:
  int frameCount_ = 0;
  int frameWidth_ = 0;
  float value_ = 0;
  int centreX_ = 0;
  int centreY_ = 0;
  NamedBitmap* strip_ = nullptr;  // shared, not owned
};

}  // namespace velmora
