// "Canvas": a container that paints a skin image over its rectangle, then its children. The
// root of every layout.
//
// Canvas: the plain root view of a layout, a skin image under its children.
#pragma once

#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class Canvas : public View {
 public:
  using View::View;

  // Line 0: the image (optional).
  void init(const char* const* lines, int count) override;
  void draw(iGUI* gui) override;

 protected:
  NamedBitmap* image_ = nullptr;  // shared, not owned
};

}  // namespace velmora
