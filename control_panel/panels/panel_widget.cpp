#include "control_panel/panels/panel_widget.h"

#include "control_panel/panels/fl_containers.h"
#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

void PanelWidget::onMouseButton(int x, int y, int, bool down, iGUI* gui) {
  if (!down || !takesPresses()) return;
  pressed_ = true;
  inside_ = contains(x, y);
  dragging_ = true;
  onPress(gui);
  invalidate();
}

bool PanelWidget::pointerInside(iGUI* gui) {
  if (gui == nullptr) return false;
  int x = 0, y = 0;
  gui->getCursorPos(&x, &y);
  return contains(x, y);
}

void PanelWidget::onDrag(iGUI* gui) {
  if (!pressed_) return;
  const bool inside = pointerInside(gui);
  if (inside != inside_) {
    inside_ = inside;
    invalidate();
  }
}

void PanelWidget::onDragEnd(iGUI* gui) {
  if (!pressed_) return;
  const bool inside = pointerInside(gui);
  pressed_ = false;
  inside_ = false;
  invalidate();
  if (inside) onReleaseInside(gui);
}

bool PanelWidget::adjust(ControlAction action, iGUI* gui) {
  if (!takesPresses()) return false;
  if (action == ControlAction::Reset) {
    if (owner_ != nullptr) owner_->resetToDefaults(id_);
    return true;
  }
  if (action != ControlAction::Activate || !activates()) return false;
  onPress(gui);
  onReleaseInside(gui);
  pressed_ = false;
  inside_ = false;
  invalidate();
  return true;
}

float PanelWidget::normalised(int slot) {
  return owner_ != nullptr && hasSlot(slot) ? owner_->getViewNormalised(id_, slot) : 0.0f;
}

float PanelWidget::real(int slot) {
  return owner_ != nullptr && hasSlot(slot) ? owner_->getViewReal(id_, slot) : 0.0f;
}

void PanelWidget::writeNormalised(int slot, float value) {
  if (owner_ != nullptr && hasSlot(slot)) owner_->setViewNormalised(id_, slot, value);
}

void PanelWidget::writeReal(int slot, float value) {
  if (owner_ != nullptr && hasSlot(slot)) owner_->setViewReal(id_, slot, value);
}

void PanelWidget::show(Bitmap* look, iGUI* gui) {
  if (look == nullptr || gui == nullptr) return;
  if (!drawsIntoParent_) {
    gui->drawBitmap(look, &rect_, nullptr);
    return;
  }
  flAlphaCanvas* canvas = alphaParentOf(this);
  if (canvas == nullptr || canvas->buffer() == nullptr) return;
  Rect area;
  canvas->getRect(&area);
  look->copyTo(canvas->buffer(), rect_.left - area.left, rect_.top - area.top);
}

void PanelWidget::drawNow(iGUI* gui) {
  if (flAlphaCanvas* canvas = drawsIntoParent_ ? alphaParentOf(this) : nullptr) {
    canvas->draw(gui);
  } else {
    draw(gui);
  }
}

}  // namespace velmora
