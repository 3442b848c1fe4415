#include "control_panel/panels/velmora_gui.h"

#include "control_panel/mixer/parameter_ids.h"
#include "control_panel/panels/layout_tables.h"
#include "control_panel/panels/panel_views.h"
#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/static.h"

namespace velmora {
namespace {

// The widget classes must be registered before the first table is built.
const LayoutTable& registered(const LayoutTable& table) {
  registerPanelViews();
  return table;
}

void showName(PluginGUI& layout, int row, const char* text) {
  if (auto* label = dynamic_cast<Static*>(layout.getView(row))) label->setText(text);
}

}  // namespace

VelmoraGUI::VelmoraGUI(const LayoutTable& table, Plugin* plugin)
    : PluginGUI(registered(table).rowCount(), table.data(), plugin) {}

void VelmoraGUI::setUnitName(const char*) {}

bool VelmoraGUI::runShortcut(const PanelShortcut& shortcut) {
  if (shortcut.parameters.empty()) return editUnitName();
  return press(controlShowing(shortcut.parameters));
}

bool VelmoraGUI::onUnhandledKey(int key, bool shift) {
  if (key == kKeyF2) return editUnitName();
  if (key == kKeyMenu || (key == kKeyF10 && shift)) {
    View* focused = focusedControl();
    return press(shows(focused, menuParameters()) ? focused : controlShowing(mainMenuParameters()));
  }
  return false;
}

bool VelmoraGUI::editUnitName() {
  Plugin* plugin = getPlugin();
  if (plugin == nullptr) return false;
  Parameter* edit = plugin->getParameter(param::kEditUnitName);
  if (edit == nullptr) return false;
  // The parameter flips on every edit and the application acts on every change.
  edit->setNormalised(edit->getNormalised() != 0 ? 0.0f : 1.0f);
  plugin->userChanged(param::kEditUnitName, true);
  return true;
}

VelmoraNormalGUI::VelmoraNormalGUI(Plugin* plugin) : VelmoraGUI(normalLayoutTable(), plugin) {}

void VelmoraNormalGUI::setUnitName(const char* text) {
  showName(*this, kUnitNameRow, text);
}

VelmoraShrinkGUI::VelmoraShrinkGUI(Plugin* plugin) : VelmoraGUI(shrinkLayoutTable(), plugin) {}

void VelmoraShrinkGUI::setUnitName(const char* text) {
  showName(*this, kUnitNameRow, text);
}

VelmoraAC3GUI::VelmoraAC3GUI(Plugin* plugin) : VelmoraGUI(ac3LayoutTable(), plugin) {}

void VelmoraAC3GUI::setUnitName(const char* text) {
  showName(*this, kUnitNameRow, text);
}

ConnectionLostGUI::ConnectionLostGUI(Plugin* plugin)
    : PluginGUI(registered(connectionLostLayoutTable()).rowCount(),
                connectionLostLayoutTable().data(), plugin) {}

}  // namespace velmora
