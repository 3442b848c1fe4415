#include "control_panel/toolkit/bitmap_control.h"

#include "control_panel/toolkit/i_gui.h"

namespace velmora {

void BitmapControl::init(const char* const* lines, int count) {
  if (count != 1) return;
  image_ = getNamedBitmap(lines[0]);
  if (image_ != nullptr)
    buffer_ = std::make_unique<Bitmap>(image_->width(), image_->height(), image_->scale());
}

void BitmapControl::draw(iGUI* gui) {
  if (image_ != nullptr && buffer_) {
    image_->copyTo(buffer_.get(), 0, 0, nullptr);
    gui->drawBitmap(buffer_.get(), &rect_, nullptr);
  }
  View::draw(gui);
}

}  // namespace velmora
