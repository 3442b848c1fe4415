#include "control_panel/toolkit/canvas.h"

#include "control_panel/toolkit/i_gui.h"

namespace velmora {

void Canvas::init(const char* const* lines, int count) {
  if (count >= 1) image_ = getNamedBitmap(lines[0]);
}

void Canvas::draw(iGUI* gui) {
  if (image_ != nullptr) gui->drawBitmap(image_, &rect_, nullptr);
  View::draw(gui);
}

}  // namespace velmora
