// "BitmapControl": shows a skin image through a private buffer of the image's size.
//
// BitmapControl: a view that shows one skin image.
#pragma once

#include <memory>

#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class BitmapControl : public View {
 public:
  using View::View;

  // Exactly one line: the image. Without the image the control draws only its children.
  void init(const char* const* lines, int count) override;
  void draw(iGUI* gui) override;

 protected:
  NamedBitmap* image_ = nullptr;    // shared, not owned
  std::unique_ptr<Bitmap> buffer_;  // the image's size
};

}  // namespace velmora
