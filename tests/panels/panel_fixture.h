// Fixtures for the panel tests: the skin the program carries, the real 181-parameter set
// with a host that records every call, and a layout on a headless window driven like a
// user drives it (presses, drags and releases at window coordinates, the idle ticks between
// them).
#pragma once

#include <memory>
#include <vector>

#include "control_panel/mixer/velmora_plugin.h"
#include "control_panel/panels/panel_render.h"
#include "control_panel/panels/panel_views.h"
#include "control_panel/toolkit/gui.h"
#include "control_panel/toolkit/headless_window.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/p_plugin_interface.h"
#include "control_panel/toolkit/skin_archive.h"
#include "control_panel/toolkit/view.h"
#include "platform/resources.h"

namespace velmora::test {

// The program's skin, loaded for the fixture's life.
class ProgramSkin {
 public:
  ProgramSkin() {
    registerPanelViews();
    const auto resource = platform::findResource("PAL", 105);
    if (resource) loadArchive(resource->data(), resource->size());
  }
  ~ProgramSkin() {
    releaseNamedBitmaps();
    loadArchive(nullptr, 0);
  }
  ProgramSkin(const ProgramSkin&) = delete;
  ProgramSkin& operator=(const ProgramSkin&) = delete;
};

struct RecordingHost : PPluginInterface {
  float getSampleRate() override { return 48000; }
  void parameterChanged(int id) override { calls.push_back(id); }
  std::vector<int> calls;
};

// A layout over the real parameter set, on a headless window.
class PanelDriver {
 public:
  PanelDriver(Plugin& plugin, PanelLayout which) : layout_(makeLayout(which, &plugin)) {
    View* root = layout_->getRoot();
    window_ = std::make_unique<HeadlessWindow>(root->getWidth(), root->getHeight());
    gui_ = std::make_unique<GUI>(window_.get());
    layout_->setGUI(gui_.get());
    layout_->refreshAll();
    layout_->redraw();
  }
  ~PanelDriver() { layout_->setGUI(nullptr); }

  PluginGUI& layout() { return *layout_; }
  HeadlessWindow& window() { return *window_; }
  template <class T>
  T* view(int row) {
    return dynamic_cast<T*>(layout_->getView(row));
  }

  void moveTo(int x, int y) {
    window_->cursor = {x, y};
    tick();
  }
  void press(int x, int y) {
    window_->cursor = {x, y};
    window_->leftButton = true;
    layout_->mouseButton(x, y, 0, true);
    tick();
  }
  void release(int x, int y) {
    window_->cursor = {x, y};
    window_->leftButton = false;
    layout_->mouseButton(x, y, 0, false);
    tick();
  }
  void click(int x, int y) {
    press(x, y);
    release(x, y);
  }
  // Press at `from`, move to `to` in one step, release there.
  void drag(Point from, Point to) {
    press(from.x, from.y);
    moveTo(to.x, to.y);
    release(to.x, to.y);
  }
  void setShift(bool down) { window_->shift = down; }
  void setAlt(bool down) { window_->alt = down; }
  // One idle pass of the window: drag polling, then a redraw when something is dirty.
  void tick() {
    layout_->idleTick();
    if (layout_->needsRedraw()) layout_->redraw();
  }
  uint32_t pixel(int x, int y) { return window_->backBuffer()->pixel(x, y); }

 private:
  std::unique_ptr<PluginGUI> layout_;
  std::unique_ptr<HeadlessWindow> window_;
  std::unique_ptr<GUI> gui_;
};

// The skin, the real parameter set with its recording host.
struct PanelTest : ::testing::Test {
  PanelTest() { plugin.setHost(&host); }
  ~PanelTest() override { plugin.setHost(nullptr); }

  float value(int id) { return plugin.getNormalised(id); }
  float real(int id) { return plugin.getReal(id); }
  void set(int id, float normalised) { plugin.setNormalised(id, normalised); }

  ProgramSkin skin;
  VelmoraPlugin plugin;
  RecordingHost host;
};

}  // namespace velmora::test
