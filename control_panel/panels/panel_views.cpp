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
};

constexpr PanelView kPanelViews[] = {
    {"flCanvas", &makeView<flCanvas>},
    {"flAlphaCanvas", &makeView<flAlphaCanvas>},
    {"flTray5", &makeView<flTray5>},
    {"flTray6", &makeView<flTray6>},
    {"flADATTray", &makeView<flADATTray>},
    {"flLockDisplay", &makeView<flLockDisplay>},
    {"flButton", &makeView<flButton>},
    {"flButton3", &makeView<flButton3>},
    {"flAlphaButton", &makeView<flAlphaButton>},
    {"flAlphaButton3", &makeView<flAlphaButton3>},
    {"flIsStudioButton", &makeView<flIsStudioButton>},
    {"flInputButton", &makeView<flInputButton>},
    {"flInputMixTabButton", &makeView<flInputMixTabButton>},
    {"flSyncButton", &makeView<flSyncButton>},
    {"flADATButton", &makeView<flADATButton>},
    {"flPushButton", &makeView<flPushButton>},
    {"flLinkButton", &makeView<flLinkButton>},
    {"flLogoButton", &makeView<flLogoButton>},
    {"flTextButton", &makeView<flTextButton>},
    {"flFXLed", &makeView<flFXLed>},
    {"flRateLed", &makeView<flRateLed>},
    {"flExtLed", &makeView<flExtLed>},
    {"flExtLed2", &makeView<flExtLed2>},
    {"flHSlider", &makeView<flHSlider>},
    {"flVSlider", &makeView<flVSlider>},
    {"flVSlider2", &makeView<flVSlider2>},
    {"flKnob", &makeView<flKnob>},
    {"flKnob4", &makeView<flKnob4>},
    {"flKnob5", &makeView<flKnob5>},
};
static_assert(sizeof kPanelViews / sizeof kPanelViews[0] == 29);

const bool kRegisteredAtStart = (registerPanelViews(), true);

}  // namespace

void registerPanelViews() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  for (const PanelView& view : kPanelViews) registerViewClass(view.name, view.factory);
}

}  // namespace velmora
