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
#include "control_panel/toolkit/font.h"
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

// The images of the sheet by name.
struct Skin {
  velmora::Bitmap* operator[](const std::string& name) const {
    for (const Placed& p : placed) {
      if (name == p.entry->name) return p.bitmap;
    }
    return nullptr;
  }
  const std::vector<Placed>& placed;
};

// The knob frame of a value, as the panel's knobs pick it (29 frames, 270 degrees).
int knobFrame(float value) {
  const float a = 270.0f * value - 135.0f;
  int frame = 0;
  if (a > -2.5f && a < 2.5f) {
    frame = 14;
  } else if (a > -10.0f && a < 10.0f) {
    frame = a < 0 ? 13 : 15;
  } else {
    frame = a > 0 ? 16 + static_cast<int>((a - 10) / 10) : 12 - static_cast<int>((-a - 10) / 10);
  }
  return std::clamp(frame, 0, 28);
}

// The normal panel with the lit looks composited in the places the layout gives them, the way
// the panel widgets combine them, to check that they line up.
std::unique_ptr<velmora::Bitmap> preview(const Skin& skin) {
  auto panel = std::make_unique<velmora::Bitmap>(704, 394);
  skin["Background.bmp"]->copyTo(panel.get(), 0, 0);
  auto lit = [&](const char* image, const char* mask, int x, int y) {
    skin[image]->blendTo(panel.get(), skin[mask], x, y, nullptr, true);
  };
  auto knob = [&](const char* track, const char* trackMask, int x, int y, float value) {
    const int frame = knobFrame(value);
    const velmora::Rect trackFrame{frame * 27, frame * 27 + 27, 0, 23};
    skin[track]->blendTo(panel.get(), skin[trackMask], x, y, &trackFrame, true);
    const velmora::Rect knobFrameRect{frame * 20, frame * 20 + 19, 0, 19};
    skin["KnobRotation.bmp"]->blendTo(panel.get(), skin["KnobMask.bmp"], x + 4, y + 4,
                                      &knobFrameRect, true);
  };
  skin["TabAnalogOn.bmp"]->copyTo(panel.get(), 4, 14);
  const float levels[] = {0.8f, 0.8f, 0.55f, 0.3f, 0.95f, 0.6f, 0.5f, 0.5f};
  const float pans[] = {0.0f, 1.0f, 0.35f, 0.5f, 0.7f, 0.5f, 0.2f, 0.8f};
  for (int c = 0; c < 8; ++c) {
    const int x0 = 40 + 60 * c;
    knob("KnobTrackRotation2.bmp", "KnobTrackMask2.bmp", x0 - 4, 25, pans[c]);
    lit("FaderHandle.bmp", "FaderHandleMask.bmp", x0,
        64 + static_cast<int>((1 - levels[c]) * 95) + 2);
  }
  lit("Enable.bmp", "ButtonLitMask.bmp", 72, 26);
  lit("Solo.bmp", "ButtonLitMask.bmp", 40 + 60 * 4 - 9, 199);
  lit("Mute.bmp", "ButtonLitMask.bmp", 40 + 60 * 6 + 6, 199);
  for (int k = 0; k < 4; ++k) {
    const int x = 626, y = 36 + 73 * k;
    knob("KnobTrackRotation.bmp", "KnobTrackMask.bmp", x + 14, y + 11, 1.0f - 0.2f * k);
    lit("XFaderHandle.bmp", "XFaderHandleMask.bmp", 508 + 50, 70 + 73 * k);
    if (k > 0)
      lit(k == 2 ? "selled1.bmp" : "selled2.bmp", k == 2 ? "selled1Mask.bmp" : "selled2Mask.bmp",
          581, 112 + 73 * (k - 1));
  }
  lit("XFaderHandle.bmp", "XFaderHandleMask.bmp", 508 + 50, 362);
  lit("selled2.bmp", "selled2Mask.bmp", 581, 331);
  lit("Hw.bmp", "ButtonLitMask.bmp", 626 + 8, 36);
  lit("Mute.bmp", "ButtonLitMask.bmp", 626 + 20, 36 + 73 + 38);
  lit("Dim.bmp", "ButtonLitMask.bmp", 626, 36 + 146 + 24);
  lit("SampleRateLed.bmp", "SampleRateLedMask.bmp", 274, 319);
  lit("CurrentSyncLed.bmp", "SampleRateLedMask.bmp", 380, 365);
  skin["LEDCover.bmp"]->blendTo(panel.get(), skin["LEDMask.bmp"], 274, 367, nullptr, true);
  skin["ADAT2SyncLabelCover.bmp"]->blendTo(panel.get(), skin["SyncLabelMask.bmp"], 380, 337,
                                           nullptr, true);
  skin["InUse.bmp"]->copyTo(panel.get(), 317, 332);
  skin["Lck.bmp"]->copyTo(panel.get(), 453, 332);
  lit("Enable.bmp", "ButtonLitMask.bmp", 430, 308);
  lit("Enable.bmp", "ButtonLitMask.bmp", 430, 322);
  skin["EnableADAT2Cover.bmp"]->blendTo(panel.get(), skin["EnableADAT2Mask.bmp"], 430, 336, nullptr,
                                        true);
  lit("Enable.bmp", "ButtonLitMask.bmp", 42, 262);
  lit("Enable.bmp", "ButtonLitMask.bmp", 148, 336);
  lit("Enable.bmp", "ButtonLitMask.bmp", 252, 262);
  velmora::AlphaFont font(skin["font.bmp"], skin["FontMask.bmp"]);
  font.drawString(panel.get(), 377, 260, "Studio 9029");
  return panel;
}

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
  const int previewTop = y + rowHeight + kGap + 16;
  const int height = previewTop + 394 * 2 + kGap;

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

  velmora::skin::drawText(sheet, kGap, previewTop - 12,
                          "The normal panel with some lit looks composited in place (2x)",
                          velmora::skin::rgb(0xF2A33A), velmora::skin::Weight::kBold);
  const std::unique_ptr<velmora::Bitmap> panel = preview(Skin{placed});
  for (int row = 0; row < 394 * 2; ++row) {
    for (int col = 0; col < 704 * 2; ++col) {
      sheet.at(kGap + col, previewTop + row) = velmora::skin::rgb(panel->pixel(col / 2, row / 2));
    }
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
