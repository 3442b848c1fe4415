// "HSlider": a horizontal slider whose thumb image (a private copy decoded from the archive)
// slides over a white background with a line down the middle. The thumb's centre follows the
// pointer.
//
// HSlider: the toolkit's horizontal slider.
#pragma once

#include <memory>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class HSlider : public View {
 public:
  using View::View;

  // Exactly one line: the thumb image. Otherwise the slider has no buffers and draws nothing.
  void init(const char* const* lines, int count) override;
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  void parameterChanged(int slot) override;
  void onDrag(iGUI* gui) override;
  // Paints the track into the background once, then background and thumb into the composite.
  void draw(iGUI* gui) override;

  float value() const { return value_; }
  // Pixels the thumb's left edge travels; at least 1.
  int travel() const { return travel_; }
  // Where the thumb is drawn in the view for the present value.
  int thumbX() const;

 protected:
  float value_ = 0;
  int travel_ = 0;
  bool backgroundReady_ = false;
  std::unique_ptr<Bitmap> thumb_;
  std::unique_ptr<Bitmap> background_;
  std::unique_ptr<Bitmap> composite_;
};

}  // namespace velmora
