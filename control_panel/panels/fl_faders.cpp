#include "control_panel/panels/fl_faders.h"

#include <algorithm>
#include <cmath>

#include "control_panel/panels/panel_looks.h"
#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {
namespace {

// The tray look: the background crop with the tray image over it.
std::unique_ptr<Bitmap> trayLook(const char* const* lines, int count, int tray, int background,
                                 const Rect& rect) {
  std::unique_ptr<Bitmap> crop = backgroundCrop(argumentImage(lines, count, background), rect);
  std::unique_ptr<Bitmap> look =
      composeLook(crop.get(), argumentImage(lines, count, tray), nullptr);
  return look ? std::move(look) : std::move(crop);
}

// The name of the parameter in `slot` of the view's row.
void slotName(View* view, PluginGUI* owner, int slot, char* out, int capacity) {
  const LayoutEntry* row = view->getRow();
  if (row == nullptr || owner == nullptr || owner->getPlugin() == nullptr || slot < 0 ||
      slot >= view->getParameterCount()) {
    return;
  }
  owner->getPlugin()->getParameterName(row->parameters[slot], out, capacity);
}

int groupOf(float real) {
  const int group = static_cast<int>(std::trunc(real));
  return std::clamp(group, 0, 3);
}

}  // namespace

// ---- flHSlider ----

void flHSlider::init(const char* const* lines, int count) {
  if (count < 4) return;
  handle_ = argumentImage(lines, count, 0);
  handleMask_ = argumentImage(lines, count, 1);
  tray_ = trayLook(lines, count, 2, 3, rect_);
  composite_ = copyOf(tray_.get());
  step_ = std::max(1, argumentNumber(lines, count, 4, 1));
  const int handleWidth = handle_ != nullptr ? handle_->width() : 0;
  travel_ = std::max(1, rect_.width() - handleWidth - 3);
}

void flHSlider::parameterChanged(int slot) {
  if (slot != 0) return;
  value_ = normalised(0);
  invalidate();
}

int flHSlider::handleX() const {
  const float position = static_cast<float>(travel_) * value_ + static_cast<float>(step_) / 2;
  return step_ * static_cast<int>(std::trunc(position / static_cast<float>(step_))) + 1;
}

void flHSlider::onDrag(iGUI* gui) {
  if (!pressed_ || gui == nullptr) return;
  int x = 0, y = 0;
  gui->getCursorPos(&x, &y);
  const int handleWidth = handle_ != nullptr ? handle_->width() : 0;
  const int offset = x - rect_.left - handleWidth / 2;
  const float half = static_cast<float>(step_) / 2;
  const int snapped =
      step_ * static_cast<int>(std::trunc((static_cast<float>(offset) + half) / step_));
  value_ = std::clamp(static_cast<float>(snapped) / static_cast<float>(travel_), 0.0f, 1.0f);
  writeNormalised(0, value_);
  drawNow(gui);
}

bool flHSlider::adjust(ControlAction action, iGUI* gui) {
  if (action == ControlAction::Reset || action == ControlAction::Activate) {
    return PanelWidget::adjust(action, gui);
  }
  const float now = normalised(0);
  const float value = steppedValue(now, action);
  if (value != now) {
    value_ = value;
    writeNormalised(0, value_);
  }
  return true;
}

void flHSlider::onDragEnd(iGUI*) {
  pressed_ = false;
}

void flHSlider::draw(iGUI* gui) {
  if (composite_) {
    tray_->copyTo(composite_.get(), 0, 0);
    if (handle_ != nullptr && handleMask_ != nullptr) {
      handle_->blendTo(composite_.get(), handleMask_, handleX(), 0, nullptr, true);
    }
    show(composite_.get(), gui);
  }
  View::draw(gui);
}

// ---- flVSlider ----

void flVSlider::init(const char* const* lines, int count) {
  if (count != 4) return;
  handle_ = argumentImage(lines, count, 0);
  handleMask_ = argumentImage(lines, count, 1);
  tray_ = trayLook(lines, count, 2, 3, rect_);
  composite_ = copyOf(tray_.get());
}

void flVSlider::parameterChanged(int slot) {
  if (slot != 0) return;
  value_ = normalised(0);
  invalidate();
}

int flVSlider::handleY() const {
  return static_cast<int>(std::trunc((1 - value_) * kTravel)) + 2;
}

void flVSlider::writeLevel(float value) {
  writeNormalised(levelSlot(), value);
}

void flVSlider::onPress(iGUI* gui) {
  relative_ = false;
  if (gui != nullptr) {
    int x = 0;
    gui->getCursorPos(&x, &lastY_);
  }
}

bool flVSlider::adjust(ControlAction action, iGUI* gui) {
  if (action == ControlAction::Reset || action == ControlAction::Activate) {
    return PanelWidget::adjust(action, gui);
  }
  if (!takesPresses()) return false;
  const float now = normalised(levelSlot());
  const float value = steppedValue(now, action);
  if (value != now) {
    value_ = value;
    writeLevel(value_);
  }
  return true;
}

void flVSlider::onDrag(iGUI* gui) {
  if (!pressed_ || gui == nullptr) return;
  int x = 0, y = 0;
  gui->getCursorPos(&x, &y);
  if (gui->isShiftDown()) relative_ = true;
  if (relative_) {
    const float perPixel = 1.0f / kTravel / (gui->isShiftDown() ? kFineDivisor : 1);
    const int up = lastY_ - y;
    lastY_ = y;
    if (up == 0) return;
    value_ = std::clamp(normalised(levelSlot()) + static_cast<float>(up) * perPixel, 0.0f, 1.0f);
    writeLevel(value_);
    drawNow(gui);
    return;
  }
  lastY_ = y;
  const int handleHeight = handle_ != nullptr ? handle_->height() : 0;
  const int offset = y - rect_.top - handleHeight / 2;
  value_ = std::clamp(1.0f - static_cast<float>(offset) / kTravel, 0.0f, 1.0f);
  writeLevel(value_);
  drawNow(gui);
}

void flVSlider::onDragEnd(iGUI*) {
  pressed_ = false;
}

void flVSlider::draw(iGUI* gui) {
  if (composite_) {
    tray_->copyTo(composite_.get(), 0, 0);
    if (handle_ != nullptr && handleMask_ != nullptr) {
      handle_->blendTo(composite_.get(), handleMask_, 0, handleY(), nullptr, true);
    }
    show(composite_.get(), gui);
  }
  View::draw(gui);
}

// ---- flVSlider2 ----

int flVSlider2::group() {
  return groupOf(real(0));
}

void flVSlider2::parameterChanged(int slot) {
  const int g = group();
  if (slot == 0 || slot == 3 * g + 1) {
    value_ = normalised(3 * g + 1);
    invalidate();
  }
  if (slot >= 3 && slot % 3 == 0) {
    // Both faders of a pair do this, so a linked pair ends at the lower level.
    const int linkGroup = slot / 3 - 1;
    const float own = normalised(3 * linkGroup + 1), partner = normalised(3 * linkGroup + 2);
    if (linked(linkGroup) && own > partner) writeNormalised(3 * linkGroup + 1, partner);
  }
}

void flVSlider2::writeLevel(float value) {
  const int g = group();
  const bool pair = linked(g);
  writeNormalised(3 * g + 1, value);
  if (pair) writeNormalised(3 * g + 2, value);
}

bool flVSlider2::isResettable(int slot) {
  const int g = group();
  return slot == 3 * g + 1 || (slot == 3 * g + 2 && linked(g));
}

void flVSlider2::getName(char* out, int capacity) {
  slotName(this, owner_, 3 * group() + 1, out, capacity);
}

// ---- flKnob ----

int flKnob::frameIndex(float value) {
  const float a = 270.0f * value - 135.0f;
  int frame = 0;
  if (std::fabs(a) < 2.5f) {
    frame = 14;
  } else if (std::fabs(a) < 10.0f) {
    frame = a < 0 ? 13 : 15;
  } else if (a > 0) {
    frame = 16 + static_cast<int>(std::trunc((a - 10.0f) / 10.0f));
  } else {
    frame = 12 - static_cast<int>(std::trunc((-a - 10.0f) / 10.0f));
  }
  return std::clamp(frame, 0, kFrames - 1);
}

void flKnob::init(const char* const* lines, int count) {
  if (count < 5) return;
  knob_ = argumentImage(lines, count, 0);
  knobMask_ = argumentImage(lines, count, 1);
  track_ = argumentImage(lines, count, 2);
  trackMask_ = argumentImage(lines, count, 3);
  crop_ = backgroundCrop(argumentImage(lines, count, 4), rect_);
  composite_ = copyOf(crop_.get());
}

void flKnob::parameterChanged(int slot) {
  if (slot != valueSlot()) return;
  value_ = normalised(slot);
  invalidate();
}

void flKnob::onPress(iGUI* gui) {
  if (gui != nullptr) gui->getCursorPos(&last_.x, &last_.y);
}

void flKnob::writeValue(float value) {
  writeNormalised(valueSlot(), value);
}

void flKnob::onDrag(iGUI* gui) {
  if (!pressed_ || gui == nullptr) return;
  int x = 0, y = 0;
  gui->getCursorPos(&x, &y);
  const int right = x - last_.x, up = last_.y - y;
  last_ = {x, y};
  const int movement = std::abs(right) > std::abs(up) ? right : up;
  if (movement == 0) return;
  const float perPixel = gui->isShiftDown() ? 1.0f / 1000 : 1.0f / 200;
  value_ =
      std::clamp(normalised(valueSlot()) + static_cast<float>(movement) * perPixel, 0.0f, 1.0f);
  writeValue(value_);
  drawNow(gui);
}

bool flKnob::adjust(ControlAction action, iGUI* gui) {
  if (action == ControlAction::Reset || action == ControlAction::Activate) {
    return PanelWidget::adjust(action, gui);
  }
  if (!takesPresses()) return false;
  const float now = normalised(valueSlot());
  const float value = steppedValue(now, action);
  if (value != now) {
    value_ = value;
    writeValue(value_);
  }
  return true;
}

void flKnob::onDragEnd(iGUI*) {
  pressed_ = false;
}

void flKnob::compose(Bitmap* target, int x, int y, float value) {
  const int frame = frameIndex(value);
  const Rect trackFrame{frame * kTrackPitch, frame * kTrackPitch + kTrackPitch, 0, kTrackHeight};
  track_->blendTo(target, trackMask_, x, y, &trackFrame, true);
  const Rect knobFrame{frame * kKnobPitch, frame * kKnobPitch + kKnobSide, 0, kKnobSide};
  knob_->blendTo(target, knobMask_, x + 4, y + 4, &knobFrame, true);
}

void flKnob::draw(iGUI* gui) {
  if (composite_ && knob_ && knobMask_ && track_ && trackMask_) {
    crop_->copyTo(composite_.get(), 0, 0);
    compose(composite_.get(), 0, 0, value_);
    show(composite_.get(), gui);
  }
  View::draw(gui);
}

// ---- flKnob4 ----

void flKnob4::init(const char* const* lines, int count) {
  if (count != 6) return;
  flKnob::init(lines, count);
  forced_ = std::clamp(static_cast<float>(argumentNumber(lines, count, 5, 0)), 0.0f, 1.0f);
  remembered_.fill(forced_);
  ready_ = true;
}

int flKnob4::group() {
  return groupOf(real(0));
}

void flKnob4::parameterChanged(int slot) {
  if (slot <= 0) {
    if (slot == 0) {
      value_ = normalised(valueSlot());
      invalidate();
    }
    return;
  }
  const int g = (slot - 1) / 2;
  if (g > 3) return;
  const size_t i = static_cast<size_t>(g);
  if (slot % 2 == 1) {  // a pan
    if (ready_ && !linked(g)) remembered_[i] = normalised(slot);
    if (g == group()) {
      value_ = normalised(slot);
      invalidate();
    }
    return;
  }
  if (!ready_) return;
  // A link changed: remember the pan it had unlinked, then force or give it back.
  const int panSlot = 2 * g + 1;
  if (!wasLinked_[i]) remembered_[i] = normalised(panSlot);
  wasLinked_[i] = linked(g);
  const float pan = wasLinked_[i] ? forced_ : remembered_[i];
  if (normalised(panSlot) != pan) writeNormalised(panSlot, pan);
}

bool flKnob4::isResettable(int slot) {
  const int g = group();
  return !linked(g) && slot == 2 * g + 1;
}

void flKnob4::getName(char* out, int capacity) {
  slotName(this, owner_, valueSlot(), out, capacity);
}

// ---- flKnob5 ----

void flKnob5::parameterChanged(int slot) {
  if (slot == 0 || (slot >= 1 && slot <= 3 && linked())) {
    value_ = normalised(slot);
    invalidate();
  } else if (slot == 4 && linked()) {
    float lowest = normalised(0);
    for (int s = 1; s <= 3; ++s) lowest = hasSlot(s) ? std::min(lowest, normalised(s)) : lowest;
    if (lowest < normalised(0)) writeNormalised(0, lowest);
    value_ = normalised(0);
    invalidate();
  }
}

void flKnob5::writeValue(float value) {
  const bool all = linked();
  writeNormalised(0, value);
  if (all) {
    for (int s = 1; s <= 3; ++s) writeNormalised(s, value);
  }
}

bool flKnob5::isResettable(int slot) {
  return slot == 0 || (slot >= 1 && slot <= 3 && linked());
}

}  // namespace velmora
