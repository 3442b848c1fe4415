#include "control_panel/panels/fl_containers.h"

#include <cmath>

#include "control_panel/panels/panel_looks.h"
#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"
#include "control_panel/toolkit/skin_archive.h"

namespace velmora {

void flCanvas::init(const char* const* lines, int count) {
  background_ = argumentImage(lines, count, 0);
  copy_ = std::make_unique<Bitmap>(rect_.width(), rect_.height(), skinScale());
}

void flCanvas::draw(iGUI* gui) {
  if (!copy_ || !copy_->isValid()) {
    if (background_ != nullptr) gui->drawBitmap(background_, &rect_, nullptr);
    View::draw(gui);
    return;
  }
  gui->beginOffscreen(copy_.get(), -rect_.left, -rect_.top);
  if (background_ != nullptr) gui->drawBitmap(background_, &rect_, nullptr);
  View::draw(gui);
  gui->endOffscreen(copy_.get(), -rect_.left, -rect_.top);
  gui->drawBitmap(copy_.get(), &rect_, nullptr);
}

void flAlphaCanvas::init(const char* const* lines, int count) {
  crop_ = backgroundCrop(argumentImage(lines, count, 0), rect_);
  buffer_ = copyOf(crop_.get());
}

void flAlphaCanvas::draw(iGUI* gui) {
  if (buffer_) crop_->copyTo(buffer_.get(), 0, 0);
  drawing_ = true;
  View::draw(gui);
  drawing_ = false;
  if (buffer_) gui->drawBitmap(buffer_.get(), &rect_, nullptr);
}

flAlphaCanvas* alphaParentOf(View* view) {
  return view != nullptr ? dynamic_cast<flAlphaCanvas*>(view->getParent()) : nullptr;
}

void flTray6::parameterChanged(int slot) {
  if (slot == 0) invalidate();
}

void flTray6::draw(iGUI* gui) {
  if (!hidden_) {
    const float selection = owner_ != nullptr ? owner_->getViewReal(id_, 0) : 0.0f;
    const int selected = static_cast<int>(std::trunc(selection)) - 1;
    for (int i = 0; i < getChildCount(); ++i) {
      if (i != selected) children_[static_cast<size_t>(i)]->draw(gui);
    }
    if (View* last = getChild(selected)) last->draw(gui);
  }
  dirty_ = false;
}

void flCoveringTray::init(const char* const* lines, int count) {
  if (count != 3) return;
  cover_ = argumentImage(lines, count, 0);
  mask_ = argumentImage(lines, count, 1);
  crop_ = backgroundCrop(argumentImage(lines, count, 2), rect_);
  buffer_ = copyOf(crop_.get());
  ready_ = cover_ != nullptr && mask_ != nullptr && buffer_ != nullptr;
}

bool flCoveringTray::isCovering() {
  return owner_ != nullptr && getParameterCount() > 0 && coversAt(owner_->getViewReal(id_, 0));
}

void flCoveringTray::parameterChanged(int slot) {
  if (slot == 0) invalidateTree();
}

void flCoveringTray::draw(iGUI* gui) {
  if (!isCovering() || !ready_) {
    View::draw(gui);
    return;
  }
  crop_->copyTo(buffer_.get(), 0, 0);
  gui->beginOffscreen(buffer_.get(), -rect_.left, -rect_.top);
  View::draw(gui);
  gui->endOffscreen(buffer_.get(), -rect_.left, -rect_.top);
  cover_->blendTo(buffer_.get(), mask_, 0, 0, nullptr, true);
  gui->drawBitmap(buffer_.get(), &rect_, nullptr);
}

View* flCoveringTray::hitTest(int x, int y) {
  if (isCovering()) return hidden_ || !contains(x, y) ? nullptr : this;
  return View::hitTest(x, y);
}

void flCoveringTray::onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) {
  if (!isCovering()) View::onMouseButton(x, y, reserved, down, gui);
}

void flCoveringTray::onResetClick(int x, int y, iGUI* gui) {
  if (!isCovering()) View::onResetClick(x, y, gui);
}

bool flADATTray::coversAt(float real) {
  return real == 1.0f;
}

bool flTray5::coversAt(float real) {
  return real != 0.0f;
}

}  // namespace velmora
