// Fixtures for the view tests: a 181-parameter plug-in with a recording host, and a drawing
// context that records what views draw and plays the mouse and the keyboard.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/layout_entry.h"
#include "control_panel/toolkit/layout_row.h"
#include "control_panel/toolkit/plugin.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora::test {

inline constexpr int kParameterCount = 181;
inline constexpr int kDbParameter = 10;  // -10…10 dB, default 2

inline const ParameterDescriptor* descriptors() {
  static const std::vector<ParameterDescriptor> table = [] {
    std::vector<ParameterDescriptor> rows;
    for (int i = 0; i < kParameterCount; ++i) {
      ParameterDescriptor row{i, "", 0, 1, 0.25f, FORMAT_NONE, LAW_LINEAR};
      if (i != 3) std::snprintf(row.name, sizeof row.name, "Parameter %d", i);
      rows.push_back(row);
    }
    rows[kDbParameter] = {kDbParameter, "Level", -10, 10, 2, FORMAT_DB, LAW_LINEAR};
    return rows;
  }();
  return table.data();
}

struct HostLog : PPluginInterface {
  float getSampleRate() override { return 44100; }
  void parameterChanged(int id) override { calls.push_back(id); }
  std::vector<int> calls;
};

struct DrawnBitmap {
  Bitmap* bitmap;
  Rect dst;
  std::optional<Point> src;
};

class RecordingGUI : public iGUI {
 public:
  using iGUI::fillRect;
  using iGUI::frameRect;

  bool isAltDown() override { return alt; }
  bool isShiftDown() override { return shift; }
  bool isControlDown() override { return control; }
  bool isLeftButtonDown() override { return leftButton; }
  void getCursorPos(int* x, int* y) override { *x = cursor.x, *y = cursor.y; }
  void beginDraw() override { ++begins; }
  void endDraw() override { ++ends; }
  void beginOffscreen(Bitmap* bitmap, int, int) override { offscreens.push_back(bitmap); }
  void endOffscreen(Bitmap*, int, int) override {}
  void drawBitmap(Bitmap* bitmap, const Rect* dst, const Point* src) override {
    bitmaps.push_back({bitmap, *dst, src ? std::optional<Point>(*src) : std::nullopt});
  }
  void frameRect(const Rect* rect) override { frames.push_back(*rect); }
  void fillRect(const Rect* rect) override { fills.push_back(*rect); }
  void drawLine(int x1, int y1, int x2, int y2) override { lines.push_back({x1, x2, y1, y2}); }
  int clipboardPut(const void*, int, int) override { return 0; }
  int clipboardSize(int) override { return 0; }
  int clipboardGet(void*, int) override { return 0; }

  bool alt = false, shift = false, control = false, leftButton = false;
  Point cursor;
  int begins = 0, ends = 0;
  std::vector<Bitmap*> offscreens;
  std::vector<DrawnBitmap> bitmaps;
  std::vector<Rect> frames, fills;
  std::vector<Rect> lines;  // x1, x2, y1, y2
};

// A plug-in over the test descriptors with a recording host.
struct PluginFixture {
  PluginFixture() { plugin.setHost(&host); }
  Plugin plugin{descriptors(), kParameterCount};
  HostLog host;
};

// A layout over `rows`, with a RecordingGUI attached (detached again before destruction).
class TestLayout {
 public:
  TestLayout(Plugin& plugin, const std::vector<LayoutEntry>& rows)
      : rows_(rows), layout_(static_cast<int>(rows_.size()), rows_.data(), &plugin) {
    layout_.setGUI(&gui);
    layout_.refreshAll();
  }
  ~TestLayout() { layout_.setGUI(nullptr); }

  PluginGUI& operator*() { return layout_; }
  PluginGUI* operator->() { return &layout_; }
  template <class T>
  T* view(int row) {
    return dynamic_cast<T*>(layout_.getView(row));
  }

  RecordingGUI gui;

 private:
  std::vector<LayoutEntry> rows_;
  PluginGUI layout_;
};

// A row with parameters `params` (the -1 terminator is added).
inline LayoutEntry row(int id, Rect r, const char* className, int parent, const char* arguments,
                       std::vector<int32_t> params = {}, bool hidden = false) {
  return layoutRow(id, r, className, parent, arguments, params, hidden);
}

inline LayoutEntry rootRow(int width = 200, int height = 100) {
  return row(0, {0, width, 0, height}, "Canvas", -1, "");
}

}  // namespace velmora::test
