// Arbitrary text as a zoom setting (the command line's --zoom, the configuration's "Zoom"):
// whatever parses is a zoom the panel can show, and a screen position maps into the panel.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "control_panel/toolkit/panel_zoom.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto zoom = velmora::parseZoom(text);
  if (!zoom) return 0;
  if (*zoom < velmora::kMinZoom || *zoom > velmora::kMaxZoom) std::abort();
  const uint32_t pixels[4] = {1, 2, 3, 4};
  if (velmora::zoomPixels(pixels, 2, 2, *zoom).size() != 4u * *zoom * *zoom) std::abort();
  const int screen = size > 0 ? static_cast<int8_t>(data[0]) : 0;
  if (velmora::panelCoordinate(screen, *zoom) * *zoom > screen) std::abort();
  return 0;
}
