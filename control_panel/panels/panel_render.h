// Choosing a layout the way the control panel's frames do, and drawing one without a display
// into a PNG file: exactly the pixels the window would show.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "control_panel/toolkit/plugin.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

enum class PanelLayout { Normal, Shrink, AC3, ConnectionLost };

// The layout a frame shows: AC3 above 96000 Hz, else shrink while "Shrink Mode" (39) is on,
// else normal.
PanelLayout chooseLayout(int sampleRateHz, Plugin& plugin);
// "normal", "shrink", "ac3", "lost".
std::optional<PanelLayout> layoutNamed(std::string_view name);
const char* layoutName(PanelLayout layout);

std::unique_ptr<PluginGUI> makeLayout(PanelLayout layout, Plugin* plugin);
// Shows `name` on the layout's unit-name label (main layouts only).
void showUnitName(PluginGUI& layout, const char* name);

// Attaches a headless window of the layout's size, lets every view read its parameters,
// draws the whole tree once and writes the window's pixels as the program shows them at
// `zoom` to `path`; detaches again. The window draws at the scale of the skin in use
// (skinScale(), which the layout must have been built with): at zoom 2 with the ×2 skin its
// pixels are written as they are, otherwise repeated. False when the file cannot be written.
bool renderLayoutToPng(PluginGUI& layout, const std::string& path, int zoom = 1);

}  // namespace velmora
