// The window side of the drawing context in the program: the back buffer the toolkit
// composites into, shown by a wx window. GTK cannot draw outside a paint event, so a finished
// draw pass asks for a repaint, and only when the pass changed pixels: the idle pass runs
// continuously and most draw passes repaint what is already on screen. The back buffer is in
// panel pixels, at the scale of the skin in use (two pixels a side with the ×2 skin); a
// zoomed panel is scaled only when shown.
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
  TrackedBitmap(int width, int height, int scale) : Bitmap(width, height, scale) {}
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
  // Panel pixels are shown as zoom × zoom screen pixels; the back buffer and the cursor stay in
  // panel pixels.
  void setZoom(int zoom);
  int zoom() const { return zoom_; }
  // Device pixels per logical pixel of the window (GTK's scale on HiDPI screens), whole.
  int deviceScale() const;
  // The panel as last presented (shownWidth × shownHeight panel pixels, at shownScale pixels
  // per panel pixel), and as it is painted on the screen.
  const std::vector<uint32_t>& shownPixels() const { return shown_; }
  int shownWidth() const { return shownWidth_; }
  int shownHeight() const { return shownHeight_; }
  int shownScale() const { return shownScale_; }
  std::vector<uint32_t> screenPixels() const;
  // How often a draw pass asked for a repaint.
  int repaintRequests() const { return repaintRequests_; }

 private:
  void fitToClient();

  wxWindow* window_;
  std::unique_ptr<TrackedBitmap> backBuffer_;
  std::vector<uint32_t> shown_;
  int shownWidth_ = 0;
  int shownHeight_ = 0;
  int shownScale_ = 1;
  int repaintRequests_ = 0;
  int zoom_ = 1;
  WxClipboard clipboard_;
};

}  // namespace velmora
