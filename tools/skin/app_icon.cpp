// Draws the control panel's application icon "APPICON" in the skin's style and writes it as
// a PNG file:
//
//   skin-icon control_panel/resources/velmoracontrol.png
//
// A graphite plate with the panel's amber value ring around a knob. The build embeds the
// committed file; run this only to change the icon.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/png_writer.h"
#include "tools/skin/image.h"
#include "tools/skin/skin_parts.h"

namespace velmora::skin {
namespace {

using namespace palette;

constexpr int kSize = 64;

Image drawAppIcon() {
  Image icon(kSize, kSize, rgb(0x000000));
  icon.fillRoundRect(1.0f, 1.0f, kSize - 1.0f, kSize - 1.0f, 11.0f, kPlateEdgeDark);
  icon.fillRoundRect(2.0f, 2.0f, kSize - 2.0f, kSize - 2.0f, 10.0f,
                     [](float, float y) { return mix(kPlateEdgeLight, kPanel, y / kSize); });
  const float c = kSize / 2.0f;
  // The value ring, lit from the left stop to two o'clock, as the output knobs show it.
  constexpr float kDegree = 3.14159265f / 180.0f;
  for (float a = -135.0f; a <= 60.0f; a += 1.0f) {
    const float s = std::sin(a * kDegree), k = std::cos(a * kDegree);
    icon.line(c + s * 21.0f, c - k * 21.0f, c + s * 26.0f, c - k * 26.0f, 1.6f, kAmber);
  }
  icon.glow(c, c, 26.0f, kAmber, 0.15f);
  icon.fillCircle(c, c, 17.5f, rgb(0x0A0B0D));
  icon.fillDome(c, c, 16.0f, rgb(0x6E757F), rgb(0x2A2E34));
  const float s = std::sin(60.0f * kDegree), k = std::cos(60.0f * kDegree);
  icon.line(c + s * 5.0f, c - k * 5.0f, c + s * 13.5f, c - k * 13.5f, 3.0f, rgb(0xF4F6F8));
  return icon;
}

}  // namespace
}  // namespace velmora::skin

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin-icon FILE.png\n");
    return 2;
  }
  const velmora::skin::Image icon = velmora::skin::drawAppIcon();
  velmora::Bitmap bitmap(icon.width(), icon.height());
  const std::vector<uint32_t> pixels = icon.pixels();
  std::memcpy(bitmap.pixels(), pixels.data(), pixels.size() * sizeof(uint32_t));
  if (!velmora::writePng(bitmap, argv[1])) {
    std::fprintf(stderr, "skin-icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
