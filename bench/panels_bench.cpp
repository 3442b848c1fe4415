// Speed of the panel layouts: a full redraw of each main layout with every widget (goal for
// the normal layout, 704 × 394: 1 ms), and one fader drag step: the pointer moves, the level
// is written (host, then every view of it), the dirty views are redrawn and the back buffer
// presented (goal: 0.5 ms); and the normal layout's redraw scaled for a ×2 window (goal:
// 2 ms). Release build: cmake --preset release.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "control_panel/mixer/velmora_plugin.h"
#include "control_panel/panels/panel_render.h"
#include "control_panel/toolkit/gui.h"
#include "control_panel/toolkit/headless_window.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/panel_zoom.h"
#include "control_panel/toolkit/skin_archive.h"
#include "control_panel/toolkit/view.h"
#include "platform/resources.h"

namespace {

using namespace velmora;

struct CountingHost : PPluginInterface {
  float getSampleRate() override { return 48000; }
  void parameterChanged(int) override { ++calls; }
  long calls = 0;
};

// A layout over the real parameter set on a headless window, a Studio at 48 kHz.
struct Panel {
  explicit Panel(PanelLayout which) {
    if (const auto resource = platform::findResource("PAL", 105))
      loadArchive(resource->data(), resource->size());
    plugin.setNormalised(180, 1);
    plugin.setNormalised(49, 1);
    plugin.setNormalised(50, 1);
    plugin.setHost(&host);
    layout = makeLayout(which, &plugin);
    View* root = layout->getRoot();
    window = std::make_unique<HeadlessWindow>(root->getWidth(), root->getHeight());
    gui = std::make_unique<GUI>(window.get());
    layout->setGUI(gui.get());
    layout->refreshAll();
    layout->redraw();
  }
  ~Panel() {
    layout->setGUI(nullptr);
    layout.reset();
    releaseNamedBitmaps();
    loadArchive(nullptr, 0);
  }

  VelmoraPlugin plugin;
  CountingHost host;
  std::unique_ptr<PluginGUI> layout;
  std::unique_ptr<HeadlessWindow> window;
  std::unique_ptr<GUI> gui;
};

void BM_FullRedraw(benchmark::State& state) {
  Panel panel(static_cast<PanelLayout>(state.range(0)));
  for (auto _ : state) {
    panel.layout->getRoot()->invalidateTree();
    panel.layout->redraw();
    benchmark::DoNotOptimize(panel.window->backBuffer()->pixels());
  }
  state.SetLabel(layoutName(static_cast<PanelLayout>(state.range(0))));
  state.counters["views"] = panel.layout->getRowCount();
}
BENCHMARK(BM_FullRedraw)
    ->Arg(static_cast<int>(PanelLayout::Normal))
    ->Arg(static_cast<int>(PanelLayout::Shrink))
    ->Arg(static_cast<int>(PanelLayout::AC3))
    ->Unit(benchmark::kMicrosecond);

// The normal layout redrawn and scaled by whole pixels for a zoomed window, as the program
// does for every repaint at ×2 (goal: 2 ms).
void BM_ZoomedRedraw(benchmark::State& state) {
  Panel panel(PanelLayout::Normal);
  const int zoom = static_cast<int>(state.range(0));
  Bitmap& buffer = *panel.window->backBuffer();
  for (auto _ : state) {
    panel.layout->getRoot()->invalidateTree();
    panel.layout->redraw();
    std::vector<uint32_t> shown =
        zoomPixels(buffer.pixels(), buffer.width(), buffer.height(), zoom);
    benchmark::DoNotOptimize(shown.data());
  }
}
BENCHMARK(BM_ZoomedRedraw)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// Fader 1 of the normal layout held and moved one pixel per step, up and down its travel.
void BM_FaderDragStep(benchmark::State& state) {
  Panel panel(PanelLayout::Normal);
  HeadlessWindow& window = *panel.window;
  window.leftButton = true;
  window.cursor = {50, 127};
  panel.layout->mouseButton(50, 127, 0, true);
  int y = 127, direction = -1;
  for (auto _ : state) {
    y += direction;
    if (y <= 70 || y >= 180) direction = -direction;
    window.cursor = {50, y};
    panel.layout->idleTick();
    if (panel.layout->needsRedraw()) panel.layout->redraw();
    benchmark::DoNotOptimize(window.backBuffer()->pixels());
  }
  state.counters["host calls"] = static_cast<double>(panel.host.calls);
}
BENCHMARK(BM_FaderDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
