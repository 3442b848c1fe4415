// The control panel's layouts over the mixer's parameter set: the three main layouts, which
// show the unit's name, and the connection-lost picture. Each builds its tree from its table
// (layout_tables.h) and lives as long as the program.
//
// VelmoraGUI: the base of the three main layouts, which show the unit's name.
// VelmoraNormalGUI: the normal main layout, with the input mixer.
// VelmoraShrinkGUI: the shrink layout, the main layout without the input mixer.
// VelmoraAC3GUI: the main layout above 96 kHz, without mixer and routing.
// ConnectionLostGUI: the picture shown when the connection to the unit is lost.
#pragma once

#include "control_panel/panels/layout_builder.h"
#include "control_panel/panels/panel_shortcuts.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

class VelmoraGUI : public PluginGUI {
 public:
  VelmoraGUI(const LayoutTable& table, Plugin* plugin);
  // Shows `text` as the unit's name; nothing here.
  virtual void setUnitName(const char* text);
  // Does what `shortcut`'s key does (panel_shortcuts.h); false when this layout has no control
  // for it.
  bool runShortcut(const PanelShortcut& shortcut);

 protected:
  // F2 edits the unit's name, as a click on the name does. Shift+F10 and the menu key open the
  // focused control's menu, and the main menu on a control without one.
  bool onUnhandledKey(int key, bool shift) override;

 private:
  bool editUnitName();
};

class VelmoraNormalGUI : public VelmoraGUI {
 public:
  explicit VelmoraNormalGUI(Plugin* plugin);
  void setUnitName(const char* text) override;
  static constexpr int kUnitNameRow = 82;
};

class VelmoraShrinkGUI : public VelmoraGUI {
 public:
  explicit VelmoraShrinkGUI(Plugin* plugin);
  void setUnitName(const char* text) override;
  static constexpr int kUnitNameRow = 77;
};

class VelmoraAC3GUI : public VelmoraGUI {
 public:
  explicit VelmoraAC3GUI(Plugin* plugin);
  void setUnitName(const char* text) override;
  static constexpr int kUnitNameRow = 64;
};

class ConnectionLostGUI : public PluginGUI {
 public:
  explicit ConnectionLostGUI(Plugin* plugin);
};

}  // namespace velmora
