// "PButton": a two-state button drawn with primitives: an outline when off, a crossed box when
// on. A click toggles only what it shows; the parameter is not written.
//
// PButton: the toolkit's two-state button drawn without images.
#pragma once

#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class PButton : public View {
 public:
  using View::View;

  // Exactly one line: a background image (optional).
  void init(const char* const* lines, int count) override;
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;

  float value() const { return value_; }

 protected:
  float value_ = 0;
  NamedBitmap* image_ = nullptr;  // shared, not owned
};

}  // namespace velmora
