// Integer zoom of the panel: the back buffer stays at panel size and is shown at ×1, ×2 or ×3,
// so every rule in panel pixels holds at any zoom. Where the panel is shown at an even factor
// (zoom 2, or a display scale of 2) it is drawn with the ×2 skin, two pixels per panel pixel
// along each side; otherwise the ×1 skin's pixels are repeated. Screen positions map back to
// the panel pixel under them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 3;

// "1", "2" or "3" (surrounding blanks allowed); anything else is no zoom.
std::optional<int> parseZoom(const std::string& text);
// The zoom nearest a display's scale factor, within the supported range.
int zoomForDisplayScale(double scale);
// The command line wins over the configuration, which wins over the display.
int chooseZoom(std::optional<int> commandLine, std::optional<int> configuration,
               double displayScale);

// A screen coordinate (relative to the panel's origin) as the panel pixel under it.
inline int panelCoordinate(int screen, int zoom) {
  // Rounds toward minus infinity so that pixels left of or above the panel stay outside it.
  return screen >= 0 ? screen / zoom : -((-screen + zoom - 1) / zoom);
}

// `pixels` (width × height, rows top-down) with every pixel repeated zoom × zoom times.
std::vector<uint32_t> zoomPixels(const uint32_t* pixels, int width, int height, int zoom);

// The skin a panel shown at `zoom` on a display of `deviceScale` device pixels per window
// pixel is drawn with: 2 (the ×2 skin) when the panel's pixels would show as an even number
// of device pixels, else 1.
int skinScaleFor(int zoom, int deviceScale);

// The largest whole-pixel factor a window shows the panel at: the zoom times the display's own
// scale (GTK's device pixels per logical pixel).
constexpr int kMaxPixelRepeat = 4 * kMaxZoom;
// As zoomPixels, for any factor from 1 to kMaxPixelRepeat.
std::vector<uint32_t> repeatPixels(const uint32_t* pixels, int width, int height, int factor);

// A panel of `width` × `height` panel pixels drawn at `scale` pixels per panel pixel (`pixels`
// holds width·scale × height·scale) as shown at `factor` pixels per panel pixel: repeated
// when factor is a multiple of scale, else each shown pixel taking the drawn pixel at its
// place.
std::vector<uint32_t> showPixels(const uint32_t* pixels, int width, int height, int scale,
                                 int factor);

}  // namespace velmora
