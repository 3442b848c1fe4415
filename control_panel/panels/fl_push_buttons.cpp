#include "control_panel/panels/fl_push_buttons.h"

#include <cmath>

#include "control_panel/panels/panel_looks.h"
#include "control_panel/toolkit/plugin.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

// ---- flPushButton ----

void flPushButton::init(const char* const* lines, int count) {
  if (count >= 3) {
    normal_ = backgroundCrop(argumentImage(lines, count, 2), rect_);
    pressedLook_ =
        composeLook(normal_.get(), argumentImage(lines, count, 0), argumentImage(lines, count, 1));
  } else if (count == 2) {
    normal_ = backgroundCrop(argumentImage(lines, count, 1), rect_);
    pressedLook_ = composeLook(normal_.get(), argumentImage(lines, count, 0), nullptr);
  }
}

void flPushButton::parameterChanged(int slot) {
  if (slot == 0) value_ = normalised(0);
}

void flPushButton::draw(iGUI* gui) {
  show(pressed_ && inside_ ? pressedLook_.get() : normal_.get(), gui);
  View::draw(gui);
}

void flPushButton::onReleaseInside(iGUI*) {
  writeNormalised(0, normalised(0) != 0 ? 0.0f : 1.0f);
}

// ---- flLinkButton ----

void flLinkButton::init(const char* const* lines, int count) {
  if (count >= 3) {
    off_ = backgroundCrop(argumentImage(lines, count, 2), rect_);
    on_ = composeLook(off_.get(), argumentImage(lines, count, 0), argumentImage(lines, count, 1));
  } else if (count == 2) {
    off_ = backgroundCrop(argumentImage(lines, count, 1), rect_);
    on_ = composeLook(off_.get(), argumentImage(lines, count, 0), nullptr);
  }
}

int flLinkButton::activeSlot() {
  const int group = static_cast<int>(std::trunc(real(0)));
  return group >= 0 && group <= 3 ? group + 1 : 1;
}

void flLinkButton::parameterChanged(int slot) {
  if (slot != 0 && slot != activeSlot()) return;
  value_ = normalised(activeSlot());
  invalidate();
}

void flLinkButton::draw(iGUI* gui) {
  bool on = value_ != 0;
  if (pressed_ && inside_) on = !on;
  show(on ? on_.get() : off_.get(), gui);
  View::draw(gui);
}

void flLinkButton::onReleaseInside(iGUI*) {
  writeNormalised(activeSlot(), value_ != 0 ? 0.0f : 1.0f);
}

void flLinkButton::getName(char* out, int capacity) {
  const int slot = activeSlot();
  if (row_ == nullptr || owner_ == nullptr || owner_->getPlugin() == nullptr || !hasSlot(slot)) {
    return;
  }
  owner_->getPlugin()->getParameterName(row_->parameters[slot], out, capacity);
}

// ---- flLogoButton ----

void flLogoButton::onReleaseInside(iGUI*) {
  writeNormalised(0, normalised(0) != 0 ? 0.0f : 1.0f);
}

// ---- flTextButton ----

void flTextButton::onMouseButton(int, int, int, bool down, iGUI*) {
  if (!down || owner_ == nullptr || getParameterCount() < 1) return;
  owner_->setViewNormalised(id_, 0, owner_->getViewNormalised(id_, 0) != 0 ? 0.0f : 1.0f);
}

void flTextButton::parameterChanged(int) {}

bool flTextButton::adjust(ControlAction action, iGUI* gui) {
  if (action == ControlAction::Activate) {
    onMouseButton(rect_.left, rect_.top, 0, true, gui);
    return true;
  }
  if (action == ControlAction::Reset && owner_ != nullptr) {
    owner_->resetToDefaults(id_);
    return true;
  }
  return false;
}

}  // namespace velmora
