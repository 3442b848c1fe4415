#include "control_panel/panels/fl_buttons.h"

#include <cmath>

#include "control_panel/panels/panel_looks.h"
#include "control_panel/toolkit/plugin.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

// ---- flButton ----

void flButton::prepareLooks(const char* const* lines, int count, int image, int mask,
                            int background) {
  off_ = backgroundCrop(argumentImage(lines, count, background), rect_);
  on_ = composeLook(off_.get(), argumentImage(lines, count, image),
                    mask >= 0 ? argumentImage(lines, count, mask) : nullptr);
}

void flButton::init(const char* const* lines, int count) {
  if (count >= 3) {
    prepareLooks(lines, count, 0, 1, 2);
  } else if (count == 2) {
    prepareLooks(lines, count, 0, -1, 1);
  }
}

void flButton::parameterChanged(int slot) {
  if (slot != activeSlot()) return;
  value_ = normalised(slot);
  invalidate();
}

Bitmap* flButton::currentLook() {
  bool on = value_ != 0;
  if (pressed_ && inside_) on = !on;
  return on ? on_.get() : off_.get();
}

void flButton::draw(iGUI* gui) {
  show(currentLook(), gui);
  View::draw(gui);
}

void flButton::onReleaseInside(iGUI*) {
  writeNormalised(activeSlot(), value_ != 0 ? 0.0f : 1.0f);
}

// ---- flButton3 ----

void flButton3::parameterChanged(int slot) {
  if (slot == 0 || (slot >= 1 && slot <= 3 && linked())) {
    value_ = normalised(slot);
    invalidate();
  } else if (slot == kLinkSlot && linked()) {
    // Linked pairs end up all on or all off.
    bool any = false;
    for (int s = 0; s <= 3; ++s) any = any || (hasSlot(s) && normalised(s) != 0);
    const float target = any ? 1.0f : 0.0f;
    if (normalised(0) != target) writeNormalised(0, target);
    value_ = normalised(0);
    invalidate();
  }
}

void flButton3::onReleaseInside(iGUI*) {
  const float toggled = value_ != 0 ? 0.0f : 1.0f;
  const bool wasLinked = linked();
  writeNormalised(0, toggled);
  if (wasLinked) {
    for (int s = 1; s <= 3; ++s) writeNormalised(s, toggled);
  }
}

bool flButton3::isResettable(int slot) {
  if (slot == 0) return true;
  return slot >= 1 && slot <= 3 && linked();
}

// ---- flIsStudioButton ----

void flIsStudioButton::init(const char* const* lines, int count) {
  prepareLooks(lines, count, 0, 1, 2);
  covered_ =
      composeLook(off_.get(), argumentImage(lines, count, 3), argumentImage(lines, count, 4));
}

void flIsStudioButton::parameterChanged(int slot) {
  if (slot == 1) {
    enabled_ = normalised(1) != 0;
    if (!enabled_) {
      pressed_ = false;
      if (normalised(0) != 0) writeNormalised(0, 0.0f);
    }
    value_ = normalised(0);
    invalidate();
    return;
  }
  flButton::parameterChanged(slot);
}

Bitmap* flIsStudioButton::currentLook() {
  return enabled_ ? flButton::currentLook() : covered_.get();
}

// ---- flInputButton ----

int flInputButton::activeSlot() {
  const int group = static_cast<int>(std::trunc(real(0)));
  return group >= 0 && group <= 3 ? group + 1 : 1;
}

void flInputButton::parameterChanged(int slot) {
  if (slot == 0) {
    value_ = normalised(activeSlot());
    invalidate();
    return;
  }
  flButton::parameterChanged(slot);
}

void flInputButton::getName(char* out, int capacity) {
  const int slot = activeSlot();
  if (row_ == nullptr || owner_ == nullptr || owner_->getPlugin() == nullptr || !hasSlot(slot)) {
    return;
  }
  owner_->getPlugin()->getParameterName(row_->parameters[slot], out, capacity);
}

// ---- flInputMixTabButton ----

void flInputMixTabButton::init(const char* const* lines, int count) {
  prepareLooks(lines, count, 0, -1, 2);
  disabledLook_ = composeLook(off_.get(), argumentImage(lines, count, 1), nullptr);
  group_ = argumentNumber(lines, count, 3, 0);
}

void flInputMixTabButton::parameterChanged(int slot) {
  if (slot == 1 && disabled() && selected()) writeReal(0, 0.0f);
  value_ = selected() ? 1.0f : 0.0f;
  invalidate();
}

void flInputMixTabButton::onReleaseInside(iGUI*) {
  writeReal(0, static_cast<float>(group_));
}

Bitmap* flInputMixTabButton::currentLook() {
  if (disabled()) return disabledLook_.get();
  // The press previews selecting the tab; a selected tab stays selected.
  const bool on = selected() || (pressed_ && inside_);
  return on ? on_.get() : off_.get();
}

}  // namespace velmora
