// Speed of the skinned toolkit: compositing throughput, loading the skin, and redrawing a
// full-size panel of standard controls (goal: a 704 × 394 panel within 1 ms).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/gui.h"
#include "control_panel/toolkit/headless_window.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/plugin.h"
#include "control_panel/toolkit/plugin_gui.h"
#include "control_panel/toolkit/skin_archive.h"
#include "control_panel/toolkit/view.h"
#include "platform/resources.h"

namespace {

using namespace velmora;

void loadSkin() {
  const auto resource = platform::findResource("PAL", 105);
  if (resource) loadArchive(resource->data(), resource->size());
}

void BM_CopyTo(benchmark::State& state) {
  Bitmap source(704, 394), target(704, 394);
  source.fill(0x40);
  for (auto _ : state) {
    source.copyTo(&target, 0, 0);
    benchmark::DoNotOptimize(target.pixels());
  }
  state.SetItemsProcessed(state.iterations() * 704 * 394);  // pixels
}
BENCHMARK(BM_CopyTo);

void BM_BlendTo(benchmark::State& state) {
  const bool maskBlend = state.range(0) != 0;
  Bitmap source(704, 394), target(704, 394), mask(704, 394);
  source.fill(0x80);
  for (int y = 0; y < 394; ++y) {
    for (int x = 0; x < 704; ++x)
      mask.setPixel(x, y, static_cast<uint32_t>((x ^ y) & 0xFF) * 0x010101u);
  }
  for (auto _ : state) {
    source.blendTo(&target, &mask, 0, 0, nullptr, maskBlend);
    benchmark::DoNotOptimize(target.pixels());
  }
  state.SetItemsProcessed(state.iterations() * 704 * 394);  // pixels
}
BENCHMARK(BM_BlendTo)->Arg(1)->Arg(0);

// Loading the archive the program carries and decoding every image.
void BM_LoadSkinAndDecodeAll(benchmark::State& state) {
  const auto resource = platform::findResource("PAL", 105);
  if (!resource) {
    state.SkipWithError("no skin resource");
    return;
  }
  for (auto _ : state) {
    loadArchive(resource->data(), resource->size());
    for (int i = 0; i < archiveEntryCount(); ++i)
      benchmark::DoNotOptimize(getNamedBitmap(archiveEntryName(i)));
    releaseNamedBitmaps();
  }
  state.SetItemsProcessed(state.iterations() * archiveEntryCount());  // images
  loadArchive(nullptr, 0);
}
BENCHMARK(BM_LoadSkinAndDecodeAll)->Unit(benchmark::kMillisecond);

// A full panel: the background canvas and 120 standard controls over it.
struct Panel {
  Panel() {
    loadSkin();
    for (int i = 0; i < 64; ++i) {
      ParameterDescriptor d{i, "", 0, 1, 0.5f, FORMAT_DB, LAW_LINEAR};
      descriptors.push_back(d);
    }
    plugin = std::make_unique<Plugin>(descriptors.data(), static_cast<int>(descriptors.size()));
    add({0, 704, 0, 394}, "Canvas", -1, "Background.bmp", -1);
    for (int c = 0; c < 16; ++c) {
      const int x = 10 + 42 * c;
      add({x, x + 19, 20, 39}, "Knob", 0, "KnobRotation.bmp", c);
      add({x, x + 21, 50, 180}, "Slider", 0, "", 16 + c);
      add({x, x + 15, 190, 205}, "PButton", 0, "", 32 + c);
      add({x, x + 30, 210, 217}, "Static", 0,
          "font.bmp\nFontMask.bmp\nBackground.bmp\nJUSTIFY_CENTRE\nIN", 48 + c);
      add({x, x + 19, 225, 244}, "BitmapControl", 0, "Mute.bmp", -1);
    }
    for (int r = 0; r < 10; ++r) {
      add({500, 612, 260 + 12 * r, 270 + 12 * r}, "HSlider", 0, "XFaderHandle.bmp", r);
      add({20, 117, 260 + 12 * r, 267 + 12 * r}, "TextBox", 0, "font.bmp", 10 + r);
      add({150, 247, 260 + 12 * r, 267 + 12 * r}, "Static", 0, "font.bmp\nJUSTIFY_LEFT\nLabel",
          20 + r);
      add({300, 397, 260 + 12 * r, 267 + 12 * r}, "Static", 0,
          "font.bmp\nFontMask.bmp\nBackground.bmp\nUnit", -1);
    }
    layout = std::make_unique<PluginGUI>(static_cast<int>(rows.size()), rows.data(), plugin.get());
    layout->setGUI(&gui);
    layout->refreshAll();
  }
  ~Panel() {
    layout->setGUI(nullptr);
    layout.reset();
    loadArchive(nullptr, 0);
  }
  void add(Rect r, const char* className, int parent, const char* arguments, int parameter) {
    LayoutEntry entry{static_cast<int32_t>(rows.size()),
                      r.left,
                      r.right,
                      r.top,
                      r.bottom,
                      className,
                      parent,
                      false,
                      arguments,
                      {}};
    entry.parameters[0] = parameter;
    entry.parameters[1] = -1;
    rows.push_back(entry);
  }

  std::vector<ParameterDescriptor> descriptors;
  std::unique_ptr<Plugin> plugin;
  std::vector<LayoutEntry> rows;
  HeadlessWindow window{704, 394};
  GUI gui{&window};
  std::unique_ptr<PluginGUI> layout;
};

void BM_FullRedraw(benchmark::State& state) {
  Panel panel;
  for (auto _ : state) {
    panel.layout->getRoot()->invalidateTree();
    panel.layout->redraw();
    benchmark::DoNotOptimize(panel.window.backBuffer()->pixels());
  }
  state.counters["views"] = static_cast<double>(panel.rows.size());
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
