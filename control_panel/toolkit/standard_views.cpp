// The toolkit's own view classes, registered by name for layout tables.
#include "control_panel/toolkit/bitmap_control.h"
#include "control_panel/toolkit/canvas.h"
#include "control_panel/toolkit/h_slider.h"
#include "control_panel/toolkit/knob.h"
#include "control_panel/toolkit/p_button.h"
#include "control_panel/toolkit/slider.h"
#include "control_panel/toolkit/static.h"
#include "control_panel/toolkit/text_box.h"
#include "control_panel/toolkit/view.h"
#include "control_panel/toolkit/view_registry.h"

namespace velmora {
namespace {

struct StandardView {
  const char* name;
  ViewFactory factory;
};

constexpr StandardView kStandardViews[] = {
    {"BitmapControl", &makeView<BitmapControl>},
    {"PButton", &makeView<PButton>},
    {"Canvas", &makeView<Canvas>},
    {"HSlider", &makeView<HSlider>},
    {"Knob", &makeView<Knob>},
    {"Slider", &makeView<Slider>},
    {"TextBox", &makeView<TextBox>},
    {"View", &makeView<View>},
    {"Static", &makeView<Static>},
};

}  // namespace

void registerStandardViews() {
  for (const StandardView& view : kStandardViews) registerViewClass(view.name, view.factory);
}

}  // namespace velmora
