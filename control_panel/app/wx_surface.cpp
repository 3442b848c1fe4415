#include "control_panel/app/wx_surface.h"

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/image.h>
#include <wx/utils.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __WXGTK3__
#include <cairo.h>
#endif

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

namespace {

#ifdef __WXGTK3__
// The pixels (0x00RRGGBB, cairo's own RGB24) painted as they are: `scale` device pixels to
// each of the window's, and no smoothing, so every pixel lands on whole screen pixels.
void paintWithCairo(cairo_t* cairo, const uint32_t* pixels, int width, int height, int scale) {
  // cairo only reads the pixels of an image it did not allocate.
  cairo_surface_t* image = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(pixels)), CAIRO_FORMAT_RGB24, width,
      height, width * static_cast<int>(sizeof(uint32_t)));
  cairo_surface_set_device_scale(image, scale, scale);
  cairo_save(cairo);
  cairo_set_source_surface(cairo, image, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
  cairo_paint(cairo);
  cairo_restore(cairo);
  cairo_surface_destroy(image);
}
#endif

}  // namespace

void WxSurface::paint(wxDC& dc) {
  if (shown_.empty()) return;
  const int scale = deviceScale();
  const int factor = zoom_ * scale;
  // Drawn at the screen's resolution already, the pixels are shown as they are.
  std::vector<uint32_t> zoomed;
  const uint32_t* pixels = shown_.data();
  if (factor != shownScale_) {
    zoomed = showPixels(shown_.data(), shownWidth_, shownHeight_, shownScale_, factor);
    if (zoomed.empty()) return;
    pixels = zoomed.data();
  }
  const int width = shownWidth_ * factor;
  const int height = shownHeight_ * factor;
#ifdef __WXGTK3__
  if (auto* cairo = static_cast<cairo_t*>(dc.GetHandle())) {
    paintWithCairo(cairo, pixels, width, height, scale);
    return;
  }
#endif
  wxImage image(width, height, false);
  unsigned char* rgb = image.GetData();
  const size_t count = static_cast<size_t>(width) * height;
  for (size_t i = 0; i < count; ++i) {
    *rgb++ = static_cast<unsigned char>(pixels[i] >> 16);
    *rgb++ = static_cast<unsigned char>(pixels[i] >> 8);
    *rgb++ = static_cast<unsigned char>(pixels[i]);
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
