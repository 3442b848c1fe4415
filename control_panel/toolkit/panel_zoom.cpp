#include "control_panel/toolkit/panel_zoom.h"

#include <algorithm>
#include <cmath>

namespace velmora {

std::optional<int> parseZoom(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(" \t");
  if (last != first) return std::nullopt;  // one digit, nothing more
  const int value = text[first] - '0';
  if (value < kMinZoom || value > kMaxZoom) return std::nullopt;
  return value;
}

int zoomForDisplayScale(double scale) {
  if (!std::isfinite(scale)) return kMinZoom;
  return static_cast<int>(std::clamp(std::lround(scale), long{kMinZoom}, long{kMaxZoom}));
}

int chooseZoom(std::optional<int> commandLine, std::optional<int> configuration,
               double displayScale) {
  if (commandLine) return *commandLine;
  if (configuration) return *configuration;
  return zoomForDisplayScale(displayScale);
}

int skinScaleFor(int zoom, int deviceScale) {
  return zoom * deviceScale % 2 == 0 ? 2 : 1;
}

std::vector<uint32_t> zoomPixels(const uint32_t* pixels, int width, int height, int zoom) {
  if (zoom < kMinZoom || zoom > kMaxZoom) return {};
  return repeatPixels(pixels, width, height, zoom);
}

std::vector<uint32_t> repeatPixels(const uint32_t* pixels, int width, int height, int zoom) {
  if (pixels == nullptr || width <= 0 || height <= 0 || zoom < 1 || zoom > kMaxPixelRepeat) {
    return {};
  }
  const size_t zoomedWidth = static_cast<size_t>(width) * zoom;
  std::vector<uint32_t> zoomed(zoomedWidth * height * zoom);
  uint32_t* out = zoomed.data();
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * width;
    uint32_t* first = out;
    for (int x = 0; x < width; ++x) out = std::fill_n(out, zoom, row[x]);
    for (int copy = 1; copy < zoom; ++copy) out = std::copy(first, first + zoomedWidth, out);
  }
  return zoomed;
}

std::vector<uint32_t> showPixels(const uint32_t* pixels, int width, int height, int scale,
                                 int factor) {
  if (scale < 1 || factor < 1 || factor > kMaxPixelRepeat) return {};
  if (factor % scale == 0)
    return repeatPixels(pixels, width * scale, height * scale, factor / scale);
  if (pixels == nullptr || width <= 0 || height <= 0) return {};
  const size_t shownWidth = static_cast<size_t>(width) * factor;
  const size_t drawnWidth = static_cast<size_t>(width) * scale;
  std::vector<uint32_t> shown(shownWidth * height * factor);
  uint32_t* out = shown.data();
  for (int y = 0; y < height * factor; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * scale / factor * drawnWidth;
    for (size_t x = 0; x < shownWidth; ++x) *out++ = row[x * scale / factor];
  }
  return shown;
}

}  // namespace velmora
