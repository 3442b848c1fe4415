#include "control_panel/toolkit/knob.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

void Knob::init(const char* const* lines, int count) {
  frameWidth_ = rect_.width();
  centreX_ = (rect_.left + rect_.right) / 2;
  centreY_ = (rect_.top + rect_.bottom) / 2;
  if (count != 1) return;
  strip_ = getNamedBitmap(lines[0]);
  if (strip_ != nullptr && frameWidth_ > 0) frameCount_ = strip_->width() / frameWidth_;
}

void Knob::onMouseButton(int, int, int, bool, iGUI*) {
  dragging_ = true;
}

void Knob::parameterChanged(int slot) {
  if (slot != 0 || owner_ == nullptr) return;
  value_ = owner_->getViewNormalised(id_, 0);
  invalidate();
}

int Knob::frameIndex() const {
  if (frameCount_ <= 0) return 0;
  const float scaled = value_ * static_cast<float>(frameCount_);
  // A stored value outside 0…1 still shows the first or last frame.
  if (!(scaled >= 0.0f)) return 0;
  return std::min(static_cast<int>(std::min(scaled, 1e6f)), frameCount_ - 1);
}

void Knob::onDrag(iGUI* gui) {
  int x = 0, y = 0;
  gui->getCursorPos(&x, &y);
  float value = static_cast<float>(
      std::atan2(static_cast<double>(centreX_ - x), static_cast<double>(y - centreY_)) /
      (2 * std::numbers::pi));
  if (value < 0.0f) value += 1.0f;
  value_ = value;
  if (owner_ != nullptr) owner_->setViewNormalised(id_, 0, value_);
  draw(gui);
}

void Knob::draw(iGUI* gui) {
  if (strip_ != nullptr && frameCount_ > 0) {
    const Point source{frameIndex() * frameWidth_, 0};
    gui->drawBitmap(strip_, &rect_, &source);
  }
  View::draw(gui);
}

}  // namespace velmora
