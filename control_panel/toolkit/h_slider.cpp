#include "control_panel/toolkit/h_slider.h"

#include <algorithm>
#include <cmath>

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"
#include "control_panel/toolkit/skin_archive.h"

namespace velmora {

void HSlider::init(const char* const* lines, int count) {
  value_ = 0;
  travel_ = 0;
  backgroundReady_ = false;
  if (count != 1) return;
  const int width = rect_.width(), height = rect_.height();
  const ArchiveData data = getArchiveData(lines[0]);
  if (data.data != nullptr) {
    thumb_ = std::make_unique<Bitmap>(data.data, data.length, data.scale);
    travel_ = width - thumb_->width();
  }
  if (travel_ <= 0) travel_ = 1;
  composite_ = std::make_unique<Bitmap>(width, height, skinScale());
  background_ = std::make_unique<Bitmap>(width, height, skinScale());
  background_->fill(-1);
}

void HSlider::onMouseButton(int, int, int, bool, iGUI*) {
  dragging_ = true;
}

void HSlider::parameterChanged(int slot) {
  if (slot != 0 || owner_ == nullptr) return;
  value_ = owner_->getViewNormalised(id_, 0);
  invalidate();
}

int HSlider::thumbX() const {
  return static_cast<int>(std::trunc(static_cast<float>(travel_) * value_));
}

void HSlider::onDrag(iGUI* gui) {
  if (!thumb_) return;
  int x = 0, y = 0;
  gui->getCursorPos(&x, &y);
  const int offset = x - thumb_->width() / 2 - rect_.left;
  value_ = std::clamp(static_cast<float>(offset) / static_cast<float>(travel_), 0.0f, 1.0f);
  if (owner_ != nullptr) owner_->setViewNormalised(id_, 0, value_);
  draw(gui);
}

void HSlider::draw(iGUI* gui) {
  if (background_ && composite_) {
    if (!backgroundReady_) {
      const int width = rect_.width(), height = rect_.height();
      gui->beginOffscreen(background_.get(), 0, 0);
      gui->drawLine(0, height / 2, width, height / 2);
      gui->endOffscreen(background_.get(), 0, 0);
      backgroundReady_ = true;
    }
    background_->copyTo(composite_.get(), 0, 0, nullptr);
    if (thumb_) thumb_->copyTo(composite_.get(), thumbX(), 0, nullptr);
    gui->drawBitmap(composite_.get(), &rect_, nullptr);
  }
  View::draw(gui);
}

}  // namespace velmora
