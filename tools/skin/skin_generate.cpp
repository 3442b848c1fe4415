// Draws the 80 skin images and writes them as 24-bit BMP files into a folder, and the same
// images at twice the resolution (the ×2 skin) into a second one:
//
//   skin-generate control_panel/resources/skin control_panel/resources/skin2x
//
// The build packs the committed files; run this only to change the skin.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/skin/bmp_encoder.h"
#include "tools/skin/skin_images.h"
#include "tools/skin/skin_manifest.h"

namespace {

bool writeSkin(const std::string& folder, int scale) {
  for (const velmora::skin::SkinImage& entry : velmora::skin::kSkinImages) {
    const velmora::skin::Image image = velmora::skin::drawSkinImage(entry, scale);
    if (image.width() != entry.width || image.height() != entry.height) {
      std::fprintf(stderr, "skin-generate: %s drawn %dx%d, expected %dx%d\n", entry.name,
                   image.width(), image.height(), entry.width, entry.height);
      return false;
    }
    const std::vector<uint32_t> pixels = image.pixels();
    const std::vector<uint8_t> bmp = velmora::skin::encodeBmp24(
        pixels.data(), image.pixelWidth(), image.pixelHeight(), image.pixelWidth());
    std::ofstream out(folder + "/" + entry.name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    if (!out) {
      std::fprintf(stderr, "skin-generate: cannot write %s/%s\n", folder.c_str(), entry.name);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skin-generate FOLDER FOLDER_X2\n");
    return 2;
  }
  return writeSkin(argv[1], 1) && writeSkin(argv[2], 2) ? 0 : 1;
}
