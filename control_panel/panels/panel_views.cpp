// The panel widget classes by name, registered from one table.
#include "control_panel/panels/panel_views.h"

#include "control_panel/panels/fl_buttons.h"
#include "control_panel/panels/fl_containers.h"
#include "control_panel/panels/fl_faders.h"
#include "control_panel/panels/fl_lamps.h"
#include "control_panel/panels/fl_push_buttons.h"
#include "control_panel/toolkit/view_registry.h"

namespace velmora {
namespace {

struct PanelView {
  const char* name;
  ViewFactory factory;
  // What init() makes sense of: its images, trailing numbers (which have defaults), and the
  // extra arguments some tables give and the class does not use.
  ArgumentCount arguments;
};

constexpr PanelView kPanelViews[] = {
    {"flCanvas", &makeView<flCanvas>, {1, 1}},
    {"flAlphaCanvas", &makeView<flAlphaCanvas>, {1, 2}},
    {"flTray5", &makeView<flTray5>, {3, 3}},
    {"flTray6", &makeView<flTray6>, {0, 0}},
    {"flADATTray", &makeView<flADATTray>, {3, 3}},
    {"flLockDisplay", &makeView<flLockDisplay>, {2, 2}},
    {"flButton", &makeView<flButton>, {2, 3}},
    {"flButton3", &makeView<flButton3>, {2, 3}},
    {"flAlphaButton", &makeView<flAlphaButton>, {2, 3}},
    {"flAlphaButton3", &makeView<flAlphaButton3>, {2, 3}},
    {"flIsStudioButton", &makeView<flIsStudioButton>, {5, 5}},
    {"flInputButton", &makeView<flInputButton>, {2, 3}},
    {"flInputMixTabButton", &makeView<flInputMixTabButton>, {3, 5}},
    {"flSyncButton", &makeView<flSyncButton>, {2, 3}},
    {"flADATButton", &makeView<flADATButton>, {5, 6}},
    {"flPushButton", &makeView<flPushButton>, {2, 3}},
    {"flLinkButton", &makeView<flLinkButton>, {2, 3}},
    {"flLogoButton", &makeView<flLogoButton>, {0, 0}},
    {"flTextButton", &makeView<flTextButton>, {5, 5}},
    {"flFXLed", &makeView<flFXLed>, {5, 5}},
    {"flRateLed", &makeView<flRateLed>, {4, 5}},
    {"flExtLed", &makeView<flExtLed>, {5, 6}},
    {"flExtLed2", &makeView<flExtLed2>, {6, 7}},
    {"flHSlider", &makeView<flHSlider>, {4, 5}},
    {"flVSlider", &makeView<flVSlider>, {4, 4}},
    {"flVSlider2", &makeView<flVSlider2>, {4, 4}},
    {"flKnob", &makeView<flKnob>, {5, 5}},
    {"flKnob4", &makeView<flKnob4>, {6, 6}},
    {"flKnob5", &makeView<flKnob5>, {5, 5}},
};
static_assert(sizeof kPanelViews / sizeof kPanelViews[0] == 29);

const bool kRegisteredAtStart = (registerPanelViews(), true);

}  // namespace

void registerPanelViews() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  for (const PanelView& view : kPanelViews) {
    registerViewClass(view.name, view.factory, view.arguments);
  }
}

}  // namespace velmora
