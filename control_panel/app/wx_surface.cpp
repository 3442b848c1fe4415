#include "control_panel/app/wx_surface.h"

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/image.h>
#include <wx/utils.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "control_panel/toolkit/panel_zoom.h"
#include "control_panel/toolkit/skin_archive.h"

namespace velmora {

WxSurface::WxSurface(wxWindow* window) : window_(window) {}

void WxSurface::setZoom(int zoom) {
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
}

void WxSurface::fitToClient() {
  const wxSize size = window_->GetClientSize();
  const int width = std::max(size.GetWidth() / zoom_, 1);
  const int height = std::max(size.GetHeight() / zoom_, 1);
  // The skin the layouts were built with: their images and buffers are at its scale.
  const int scale = skinScale();
  if (backBuffer_ && backBuffer_->width() == width && backBuffer_->height() == height &&
      backBuffer_->scale() == scale) {
    return;
  }
  // A Bitmap gets its pixels once; a new size needs a new one.
  backBuffer_ = std::make_unique<TrackedBitmap>(width, height, scale);
}

Bitmap* WxSurface::backBuffer() {
  fitToClient();
  return backBuffer_.get();
}

void WxSurface::present() {
  // Most passes (the drag polling of every idle tick) draw nothing at all.
  if (!backBuffer_ || !backBuffer_->written) return;
  backBuffer_->written = false;
  const Bitmap& buffer = *backBuffer_;
  const size_t count = static_cast<size_t>(buffer.pixelWidth()) * buffer.pixelHeight();
  const bool sameSize = shownWidth_ == buffer.width() && shownHeight_ == buffer.height() &&
                        shownScale_ == buffer.scale();
  if (sameSize && shown_.size() == count &&
      std::memcmp(shown_.data(), backBuffer_->pixels(), count * sizeof(uint32_t)) == 0) {
    return;  // nothing on screen would change
  }
  shown_.assign(backBuffer_->pixels(), backBuffer_->pixels() + count);
  shownWidth_ = buffer.width();
  shownHeight_ = buffer.height();
  shownScale_ = buffer.scale();
  ++repaintRequests_;
  window_->Refresh(false);
}

std::vector<uint32_t> WxSurface::screenPixels() const {
  // Scaled here, by repetition, rather than by the DC: its scaling may smooth.
  return showPixels(shown_.data(), shownWidth_, shownHeight_, shownScale_, zoom_);
}

int WxSurface::deviceScale() const {
  // GTK measures the window in logical pixels and shows each as scale × scale device pixels.
  // The picture is made at device size and handed over with that scale, so GTK does not
  // scale it again and every panel pixel stays a sharp block of whole pixels.
  return std::clamp(static_cast<int>(std::lround(window_->GetContentScaleFactor())), 1,
                    kMaxPixelRepeat / kMaxZoom);
}

void WxSurface::paint(wxDC& dc) {
  if (shown_.empty()) return;
  const int scale = deviceScale();
  const int factor = zoom_ * scale;
  const std::vector<uint32_t> zoomed =
      showPixels(shown_.data(), shownWidth_, shownHeight_, shownScale_, factor);
  if (zoomed.empty()) return;
  wxImage image(shownWidth_ * factor, shownHeight_ * factor, false);
  unsigned char* rgb = image.GetData();
  for (const uint32_t pixel : zoomed) {
    *rgb++ = static_cast<unsigned char>(pixel >> 16);
    *rgb++ = static_cast<unsigned char>(pixel >> 8);
    *rgb++ = static_cast<unsigned char>(pixel);
  }
  dc.DrawBitmap(wxBitmap(image, wxBITMAP_SCREEN_DEPTH, scale), 0, 0, false);
}

bool WxSurface::isAltDown() {
  return wxGetMouseState().AltDown();
}

bool WxSurface::isShiftDown() {
  return wxGetMouseState().ShiftDown();
}

bool WxSurface::isControlDown() {
  return wxGetMouseState().ControlDown();
}

bool WxSurface::isLeftButtonDown() {
  return wxGetMouseState().LeftIsDown();
}

void WxSurface::getCursorPos(int* x, int* y) {
  const wxPoint point = window_->ScreenToClient(wxGetMousePosition());
  *x = panelCoordinate(point.x, zoom_);
  *y = panelCoordinate(point.y, zoom_);
}

}  // namespace velmora
