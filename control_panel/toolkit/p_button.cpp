#include "control_panel/toolkit/p_button.h"

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

void PButton::init(const char* const* lines, int count) {
  if (count == 1) image_ = getNamedBitmap(lines[0]);
}

void PButton::onMouseButton(int, int, int, bool down, iGUI*) {
  if (!down) return;
  value_ = value_ == 0.0f ? 1.0f : 0.0f;
  invalidate();
}

void PButton::parameterChanged(int slot) {
  if (slot != 0 || owner_ == nullptr) return;
  value_ = owner_->getViewNormalised(id_, 0);
  invalidate();
}

void PButton::draw(iGUI* gui) {
  if (image_ != nullptr) gui->drawBitmap(image_, &rect_, nullptr);
  if (value_ == 0.0f) {
    gui->frameRect(&rect_);
  } else {
    gui->drawCrossedBox(&rect_);
  }
  View::draw(gui);
}

}  // namespace velmora
