// The drawing context of one window, drawing in software into the window's back buffer.
//
// A draw pass is beginDraw … endDraw; endDraw of the outermost pass presents the back
// buffer. Inside a pass, beginOffscreen … endOffscreen redirects drawing into a Bitmap. The
// stack of targets is not re-entrant: a beginDraw inside a pass does nothing, and the next
// endDraw ends the outer pass. Drawing calls without a current target do nothing.
//
// GUI: the drawing context of one window, the iGUI that windows give their layouts.
#pragma once

#include <vector>

#include "control_panel/toolkit/gui_window.h"
#include "control_panel/toolkit/i_gui.h"

namespace velmora {

class GUI : public iGUI {
 public:
  // `window` must outlive the context.
  explicit GUI(GUIWindow* window);
  ~GUI() override;

  using iGUI::fillRect;
  using iGUI::frameRect;

  bool isAltDown() override;
  bool isShiftDown() override;
  bool isControlDown() override;
  bool isLeftButtonDown() override;
  void getCursorPos(int* x, int* y) override;
  void beginDraw() override;
  void endDraw() override;
  void beginOffscreen(Bitmap* bitmap, int dx, int dy) override;
  void endOffscreen(Bitmap* bitmap, int dx, int dy) override;
  void drawBitmap(Bitmap* bitmap, const Rect* dst, const Point* src) override;
  void frameRect(const Rect* rect) override;
  void fillRect(const Rect* rect) override;
  void drawLine(int x1, int y1, int x2, int y2) override;
  int clipboardPut(const void* data, int bytes, int formatCode) override;
  int clipboardSize(int formatCode) override;
  int clipboardGet(void* data, int formatCode) override;

  // The bitmap drawing lands in now, or none outside a draw pass.
  Bitmap* currentTarget() const { return current_; }
  Point origin() const { return origin_; }
  GUIWindow* window() const { return window_; }

 private:
  struct Context {
    Bitmap* target;
    bool isWindow;
  };

  Point origin_;
  std::vector<Context> stack_;
  GUIWindow* window_;
  Bitmap* current_ = nullptr;
};

}  // namespace velmora
