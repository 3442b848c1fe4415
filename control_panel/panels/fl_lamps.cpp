#include "control_panel/panels/fl_lamps.h"

#include <cmath>

#include "control_panel/panels/panel_looks.h"

namespace velmora {

// ---- flLockDisplay ----

void flLockDisplay::init(const char* const* lines, int count) {
  off_ = backgroundCrop(argumentImage(lines, count, 1), rect_);
  lit_ = composeLook(off_.get(), argumentImage(lines, count, 0), nullptr);
}

void flLockDisplay::parameterChanged(int slot) {
  if (slot != 0) return;
  value_ = normalised(0);
  invalidate();
}

void flLockDisplay::draw(iGUI* gui) {
  show(value_ != 0 ? lit_.get() : off_.get(), gui);
  View::draw(gui);
}

// ---- flSyncButton ----

void flSyncButton::init(const char* const* lines, int count) {
  if (count >= 3) {
    off_ = backgroundCrop(argumentImage(lines, count, 2), rect_);
    on_ = composeLook(off_.get(), argumentImage(lines, count, 0), argumentImage(lines, count, 1));
  } else if (count == 2) {
    off_ = backgroundCrop(argumentImage(lines, count, 1), rect_);
    on_ = composeLook(off_.get(), argumentImage(lines, count, 0), nullptr);
  }
}

void flSyncButton::parameterChanged(int slot) {
  if (slot != 0) return;
  value_ = normalised(0);
  invalidate();
}

Bitmap* flSyncButton::currentLook() {
  return value_ != 0 ? on_.get() : off_.get();
}

void flSyncButton::draw(iGUI* gui) {
  show(currentLook(), gui);
  View::draw(gui);
}

// ---- flADATButton ----

void flADATButton::init(const char* const* lines, int count) {
  flSyncButton::init(lines, count < 3 ? count : 3);
  covered_ =
      composeLook(off_.get(), argumentImage(lines, count, 3), argumentImage(lines, count, 4));
}

void flADATButton::parameterChanged(int slot) {
  if (slot == 1) {
    const float enable = normalised(1) != 0 ? 1.0f : 0.0f;
    if (normalised(0) != enable) writeNormalised(0, enable);
    value_ = normalised(0);
    invalidate();
    return;
  }
  flSyncButton::parameterChanged(slot);
}

Bitmap* flADATButton::currentLook() {
  return normalised(1) != 0 ? flSyncButton::currentLook() : covered_.get();
}

// ---- flFXLed ----

void flFXLed::init(const char* const* lines, int count) {
  std::unique_ptr<Bitmap> crop = backgroundCrop(argumentImage(lines, count, 4), rect_);
  first_ = composeLook(crop.get(), argumentImage(lines, count, 0), argumentImage(lines, count, 2));
  second_ = composeLook(crop.get(), argumentImage(lines, count, 1), argumentImage(lines, count, 3));
}

void flFXLed::parameterChanged(int slot) {
  if (slot != 0) return;
  value_ = real(0);
  invalidate();
}

void flFXLed::draw(iGUI* gui) {
  show(std::trunc(value_) > 0 ? first_.get() : second_.get(), gui);
  View::draw(gui);
}

void flFXLed::onReleaseInside(iGUI*) {
  writeNormalised(0, normalised(0) != 0 ? 0.0f : 1.0f);
}

// ---- flRadioLamp ----

bool flRadioLamp::contains(int x, int y) {
  return rect_.left <= x && x <= rect_.right && rect_.top + kTopInset <= y &&
         y <= rect_.bottom - kBottomInset;
}

void flRadioLamp::parameterChanged(int) {
  invalidate();
}

void flRadioLamp::onPress(iGUI*) {
  pressed_ = false;  // no click to finish: the press itself selects
  dragging_ = false;
  writeReal(0, static_cast<float>(number_));
}

// ---- flRateLed ----

void flRateLed::init(const char* const* lines, int count) {
  off_ = backgroundCrop(argumentImage(lines, count, 2), rect_);
  Bitmap* mask = argumentImage(lines, count, 3);
  lit_ = composeLook(off_.get(), argumentImage(lines, count, 0), mask);
  grey_ = composeLook(off_.get(), argumentImage(lines, count, 1), mask);
  number_ = argumentNumber(lines, count, 4, 0);
}

void flRateLed::draw(iGUI* gui) {
  if (!enabled()) {
    show(grey_.get(), gui);
  } else {
    show(isSelected() ? lit_.get() : off_.get(), gui);
  }
  View::draw(gui);
}

// ---- flExtLed ----

void flExtLed::init(const char* const* lines, int count) {
  off_ = backgroundCrop(argumentImage(lines, count, 3), rect_);
  lit_ = composeLook(off_.get(), argumentImage(lines, count, 0), argumentImage(lines, count, 4));
  covered_ =
      composeLook(off_.get(), argumentImage(lines, count, 1), argumentImage(lines, count, 2));
  number_ = argumentNumber(lines, count, 5, 0);
}

void flExtLed::parameterChanged(int slot) {
  // A rate the unit cannot run goes back to the first rate, whichever slot brought it.
  if ((slot == 0 || slot == 2) && hasSlot(2) && !enabled() && isSelected()) {
    writeNormalised(0, 0.0f);
  }
  invalidate();
}

void flExtLed::draw(iGUI* gui) {
  if (isSelected()) {
    show(lit_.get(), gui);
  } else {
    show(enabled() ? off_.get() : covered_.get(), gui);
  }
  View::draw(gui);
}

// ---- flExtLed2 ----

void flExtLed2::init(const char* const* lines, int count) {
  off_ = backgroundCrop(argumentImage(lines, count, 3), rect_);
  Bitmap* litMask = argumentImage(lines, count, 4);
  target_ = composeLook(off_.get(), argumentImage(lines, count, 0), litMask);
  covered_ =
      composeLook(off_.get(), argumentImage(lines, count, 1), argumentImage(lines, count, 2));
  current_ = composeLook(off_.get(), argumentImage(lines, count, 5), litMask);
  number_ = argumentNumber(lines, count, 6, 0);
}

void flExtLed2::parameterChanged(int slot) {
  if (slot == 2 && hasSlot(2) && !enabled() && isSelected()) writeNormalised(0, 0.0f);
  invalidate();
}

void flExtLed2::draw(iGUI* gui) {
  if (hasSlot(3) && static_cast<int>(real(3)) == number_ && current_) {
    show(current_.get(), gui);
  } else if (isSelected()) {
    show(target_.get(), gui);
  } else {
    show(enabled() ? off_.get() : covered_.get(), gui);
  }
  View::draw(gui);
}

}  // namespace velmora
