// The panel's keys beyond those of the focused control: each presses a control of the layout,
// as a click on it does, and moves the focus there. The menus and README name them from this
// table.
#pragma once

#include <optional>
#include <span>

namespace velmora {

struct PanelShortcut {
  // With Ctrl: the capital letter; without: a toolkit key code (i_gui.h).
  int key = 0;
  bool withCtrl = true;
  // The key as the menus show it, and what the menu entry says.
  const char* keyLabel = "";
  const char* menuLabel = "";
  // The control pressed: the first one in reading order that shows one of these. Empty for F2,
  // which edits the unit's name as a click on the name does.
  std::span<const int> parameters;
};

// LOAD, SAVE, the layout choice (Shrink or Expand, whichever the layout has; the floating
// window), the unit menu and the unit's name.
std::span<const PanelShortcut> panelShortcuts();

// The shortcut of Ctrl+`letter` (a capital), or none.
const PanelShortcut* ctrlShortcut(int letter);

// The parameters whose controls open a menu: the logo (the main menu) and the unit switch.
std::span<const int> menuParameters();
// The main menu's control, for the menu key on a control without a menu of its own.
std::span<const int> mainMenuParameters();

}  // namespace velmora
