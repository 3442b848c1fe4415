#include "control_panel/panels/panel_render.h"

#include <algorithm>
#include <vector>

#include "control_panel/mixer/parameter_ids.h"
#include "control_panel/panels/velmora_gui.h"
#include "control_panel/toolkit/gui.h"
#include "control_panel/toolkit/headless_window.h"
#include "control_panel/toolkit/panel_zoom.h"
#include "control_panel/toolkit/png_writer.h"
#include "control_panel/toolkit/skin_archive.h"
#include "control_panel/toolkit/view.h"

namespace velmora {
namespace {

constexpr int kAc3AboveHz = 96000;

struct NamedLayout {
  PanelLayout layout;
  const char* name;
};
constexpr NamedLayout kLayoutNames[] = {
    {PanelLayout::Normal, "normal"},
    {PanelLayout::Shrink, "shrink"},
    {PanelLayout::AC3, "ac3"},
    {PanelLayout::ConnectionLost, "lost"},
};

}  // namespace

PanelLayout chooseLayout(int sampleRateHz, Plugin& plugin) {
  if (sampleRateHz > kAc3AboveHz) return PanelLayout::AC3;
  return plugin.getNormalised(param::kShrinkMode) != 0 ? PanelLayout::Shrink : PanelLayout::Normal;
}

std::optional<PanelLayout> layoutNamed(std::string_view name) {
  for (const NamedLayout& entry : kLayoutNames) {
    if (name == entry.name) return entry.layout;
  }
  return std::nullopt;
}

const char* layoutName(PanelLayout layout) {
  for (const NamedLayout& entry : kLayoutNames) {
    if (entry.layout == layout) return entry.name;
  }
  return "";
}

std::unique_ptr<PluginGUI> makeLayout(PanelLayout layout, Plugin* plugin) {
  switch (layout) {
    case PanelLayout::Normal:
      return std::make_unique<VelmoraNormalGUI>(plugin);
    case PanelLayout::Shrink:
      return std::make_unique<VelmoraShrinkGUI>(plugin);
    case PanelLayout::AC3:
      return std::make_unique<VelmoraAC3GUI>(plugin);
    case PanelLayout::ConnectionLost:
      return std::make_unique<ConnectionLostGUI>(plugin);
  }
  return nullptr;
}

void showUnitName(PluginGUI& layout, const char* name) {
  if (auto* main = dynamic_cast<VelmoraGUI*>(&layout)) main->setUnitName(name);
}

bool renderLayoutToPng(PluginGUI& layout, const std::string& path, int zoom) {
  View* root = layout.getRoot();
  if (root == nullptr) return false;
  // The skin the layout was built with (its images and buffers) sets the window's scale.
  const int scale = skinScale();
  HeadlessWindow window(root->getWidth(), root->getHeight(), scale);
  GUI gui(&window);
  iGUI* previous = layout.getGUI();
  layout.setGUI(&gui);
  layout.refreshAll();
  layout.redraw();
  layout.setGUI(previous);
  if (zoom == scale) return window.writePng(path);
  Bitmap& drawn = *window.backBuffer();
  const std::vector<uint32_t> pixels =
      showPixels(drawn.pixels(), drawn.width(), drawn.height(), scale, zoom);
  Bitmap zoomed(drawn.width() * zoom, drawn.height() * zoom);
  if (pixels.empty() || !zoomed.isValid()) return false;
  std::copy(pixels.begin(), pixels.end(), zoomed.pixels());
  return writePng(zoomed, path);
}

}  // namespace velmora
