// Draws the 80 skin images and writes them as 24-bit BMP files into a folder:
//
//   skin-generate control_panel/resources/skin
//
// The build packs the committed files; run this only to change the skin.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/skin/bmp_encoder.h"
#include "tools/skin/skin_images.h"
#include "tools/skin/skin_manifest.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin-generate FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  for (const velmora::skin::SkinImage& entry : velmora::skin::kSkinImages) {
    const velmora::skin::Image image = velmora::skin::drawSkinImage(entry);
    if (image.width() != entry.width || image.height() != entry.height) {
      std::fprintf(stderr, "skin-generate: %s drawn %dx%d, expected %dx%d\n", entry.name,
                   image.width(), image.height(), entry.width, entry.height);
      return 1;
    }
    const std::vector<uint32_t> pixels = image.pixels();
    const std::vector<uint8_t> bmp =
        velmora::skin::encodeBmp24(pixels.data(), image.width(), image.height(), image.width());
    std::ofstream out(folder + "/" + entry.name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    if (!out) {
      std::fprintf(stderr, "skin-generate: cannot write %s/%s\n", folder.c_str(), entry.name);
      return 1;
    }
  }
  return 0;
}
