// The window side of the drawing context in the program: the back buffer the toolkit
// composites into, shown by a wx window. GTK cannot draw outside a paint event, so a finished
// draw pass asks for a repaint, and only when the pass changed pixels: the idle pass runs
// continuously and most draw passes repaint what is already on screen.
#pragma once

#include <wx/window.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "control_panel/app/wx_clipboard.h"
#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/gui_window.h"

namespace velmora {

// A back buffer that remembers whether anything was drawn into it since it was last shown.
class TrackedBitmap : public Bitmap {
 public:
  TrackedBitmap(int width, int height) : Bitmap(width, height) {}
  void pixelsChanged() override { written = true; }
  bool written = true;
};

class WxSurface : public GUIWindow {
 public:
  // `window` outlives the surface.
  explicit WxSurface(wxWindow* window);

  Bitmap* backBuffer() override;
  void present() override;
  bool isAltDown() override;
  bool isShiftDown() override;
  bool isControlDown() override;
  bool isLeftButtonDown() override;
  void getCursorPos(int* x, int* y) override;
  Clipboard* clipboard() override { return &clipboard_; }

  // Paints the back buffer as last presented (from a paint event).
  void paint(wxDC& dc);
  // How often a draw pass asked for a repaint.
  int repaintRequests() const { return repaintRequests_; }

 private:
  void fitToClient();

  wxWindow* window_;
  std::unique_ptr<TrackedBitmap> backBuffer_;
  std::vector<uint32_t> shown_;
  int shownWidth_ = 0;
  int shownHeight_ = 0;
  int repaintRequests_ = 0;
  WxClipboard clipboard_;
};

}  // namespace velmora
