#include "control_panel/toolkit/slider.h"

#include <algorithm>
#include <cmath>

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

void Slider::init(const char* const* lines, int count) {
  centreX_ = (rect_.left + rect_.right) / 2;
  if (count == 1) image_ = getNamedBitmap(lines[0]);
}

void Slider::onMouseButton(int, int, int, bool, iGUI*) {
  dragging_ = true;
}

void Slider::parameterChanged(int slot) {
  if (slot != 0 || owner_ == nullptr) return;
  value_ = owner_->getViewNormalised(id_, 0);
  invalidate();
}

void Slider::onDrag(iGUI* gui) {
  int x = 0, y = 0;
  gui->getCursorPos(&x, &y);
  const int height = rect_.bottom - rect_.top;
  const float value =
      height > 0 ? static_cast<float>(y - rect_.top) / static_cast<float>(height) : 0.0f;
  value_ = std::clamp(value, 0.0f, 1.0f);
  if (owner_ != nullptr) owner_->setViewNormalised(id_, 0, value_);
  draw(gui);
}

void Slider::draw(iGUI* gui) {
  if (image_ != nullptr) gui->drawBitmap(image_, &rect_, nullptr);
  const int cx = (rect_.left + rect_.right) / 2;
  gui->drawLine(cx, rect_.top, cx, rect_.bottom);
  const int y = static_cast<int>(std::trunc((1.0f - value_) * static_cast<float>(rect_.top) +
                                            value_ * static_cast<float>(rect_.bottom)));
  gui->drawLine(rect_.left, y, rect_.right, y);
  View::draw(gui);
}

}  // namespace velmora
