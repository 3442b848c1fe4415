// A contact sheet of the skin: every image of a folder, decoded by the toolkit's BMP loader,
// laid out with its name and size (small images enlarged), written as a PNG file:
//
//   skin-sheet control_panel/resources/skin skin-sheet.png
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/png_writer.h"
#include "tools/skin/image.h"
#include "tools/skin/pixel_font.h"
#include "tools/skin/skin_manifest.h"

namespace {

using velmora::skin::Image;

constexpr int kSheetWidth = 1500;
constexpr int kGap = 14;

struct Placed {
  const velmora::skin::SkinImage* entry;
  velmora::Bitmap* bitmap;
  int zoom, x, y;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skin-sheet FOLDER SHEET.png\n");
    return 2;
  }
  std::vector<std::unique_ptr<velmora::Bitmap>> bitmaps;
  std::vector<Placed> placed;
  int x = kGap, y = kGap + 16, rowHeight = 0;
  for (const velmora::skin::SkinImage& entry : velmora::skin::kSkinImages) {
    std::ifstream in(std::string(argv[1]) + "/" + entry.name, std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    bitmaps.push_back(std::make_unique<velmora::Bitmap>(data.data(), data.size()));
    velmora::Bitmap* bitmap = bitmaps.back().get();
    if (!bitmap->isValid()) {
      std::fprintf(stderr, "skin-sheet: %s does not decode\n", entry.name);
      return 1;
    }
    const int side = std::max(entry.width, entry.height);
    const int zoom = side <= 30 ? 4 : side <= 60 ? 3 : side <= 140 ? 2 : 1;
    const int labelWidth = velmora::skin::textWidth(entry.name) + 4;
    const int cellWidth = std::max(entry.width * zoom, labelWidth);
    const int cellHeight = entry.height * zoom + 22;
    if (x + cellWidth > kSheetWidth - kGap) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    placed.push_back({&entry, bitmap, zoom, x, y});
    x += cellWidth + kGap;
    rowHeight = std::max(rowHeight, cellHeight);
  }
  const int height = y + rowHeight + kGap;

  Image sheet(kSheetWidth, height, velmora::skin::rgb(0x101214));
  velmora::skin::drawText(sheet, kGap, 8, "Velmora PRO skin: 80 images",
                          velmora::skin::rgb(0xF2A33A), velmora::skin::Weight::kBold);
  for (const Placed& p : placed) {
    for (int row = 0; row < p.entry->height * p.zoom; ++row) {
      for (int col = 0; col < p.entry->width * p.zoom; ++col) {
        const uint32_t pixel = p.bitmap->pixel(col / p.zoom, row / p.zoom);
        sheet.at(p.x + col, p.y + row) = velmora::skin::rgb(pixel);
      }
    }
    const std::string size =
        std::to_string(p.entry->width) + " x " + std::to_string(p.entry->height);
    const int below = p.y + p.entry->height * p.zoom + 3;
    velmora::skin::drawText(sheet, p.x, below, p.entry->name, velmora::skin::rgb(0xD0D4DA));
    velmora::skin::drawText(sheet, p.x, below + 9, size, velmora::skin::rgb(0x6B717A));
  }

  const std::vector<uint32_t> pixels = sheet.pixels();
  velmora::Bitmap out(kSheetWidth, height);
  std::copy(pixels.begin(), pixels.end(), out.pixels());
  if (!velmora::writePng(out, argv[2])) {
    std::fprintf(stderr, "skin-sheet: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
