// A contact sheet of the skin: every image of a folder, decoded by the toolkit's BMP loader,
// laid out with its name and size (small images enlarged), written as a PNG file:
//
//   skin-sheet control_panel/resources/skin skin-sheet.png
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control_panel/panels/layout_tables.h"
#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/font.h"
#include "control_panel/toolkit/png_writer.h"
#include "tools/skin/image.h"
#include "tools/skin/panel_geometry.h"
#include "tools/skin/pixel_font.h"
#include "tools/skin/skin_manifest.h"

namespace {

using velmora::skin::Image;

constexpr int kSheetWidth = 1500;
constexpr int kPanelWidth = 704, kPanelHeight = 394;  // the normal layout
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
std::unique_ptr<velmora::Bitmap> preview(const Skin& skin, const velmora::skin::PanelGeometry& g) {
  const velmora::skin::InputMixerGeometry& mixer = *g.inputMixer;
  auto panel = std::make_unique<velmora::Bitmap>(kPanelWidth, kPanelHeight);
  skin["Background.bmp"]->copyTo(panel.get(), 0, 0);
  auto lit = [&](const char* image, const char* mask, int x, int y) {
    skin[image]->blendTo(panel.get(), skin[mask], x, y, nullptr, true);
  };
  auto litAt = [&](const char* image, const char* mask, const velmora::Rect& at) {
    lit(image, mask, at.left, at.top);
  };
  auto knob = [&](const char* track, const char* trackMask, const velmora::Rect& at, float value) {
    const int frame = knobFrame(value);
    const velmora::Rect trackFrame{frame * 27, frame * 27 + 27, 0, 23};
    skin[track]->blendTo(panel.get(), skin[trackMask], at.left, at.top, &trackFrame, true);
    const velmora::Rect knobFrameRect{frame * 20, frame * 20 + 19, 0, 19};
    skin["KnobRotation.bmp"]->blendTo(panel.get(), skin["KnobMask.bmp"], at.left + 4, at.top + 4,
                                      &knobFrameRect, true);
  };
  skin["TabAnalogOn.bmp"]->copyTo(panel.get(), mixer.tabs[0].left, mixer.tabs[0].top);
  const float levels[] = {0.8f, 0.8f, 0.55f, 0.3f, 0.95f, 0.6f, 0.5f, 0.5f};
  const float pans[] = {0.0f, 1.0f, 0.35f, 0.5f, 0.7f, 0.5f, 0.2f, 0.8f};
  for (int c = 0; c < 8; ++c) {
    const velmora::skin::StripGeometry& strip = mixer.strips[c];
    knob("KnobTrackRotation2.bmp", "KnobTrackMask2.bmp", strip.pan, pans[c]);
    lit("FaderHandle.bmp", "FaderHandleMask.bmp", strip.fader.left,
        strip.fader.top + static_cast<int>((1 - levels[c]) * 95) + 2);
  }
  litAt("Enable.bmp", "ButtonLitMask.bmp", mixer.links[0]);
  litAt("Solo.bmp", "ButtonLitMask.bmp", mixer.strips[4].solo);
  litAt("Mute.bmp", "ButtonLitMask.bmp", mixer.strips[6].mute);
  for (int k = 0; k < 4; ++k) {
    knob("KnobTrackRotation.bmp", "KnobTrackMask.bmp", g.outputs[k].level, 1.0f - 0.2f * k);
    const velmora::Rect& balance = g.routing[k].balance;
    lit("XFaderHandle.bmp", "XFaderHandleMask.bmp", balance.left + 50, balance.top);
    if (k > 0)
      litAt(k == 2 ? "selled1.bmp" : "selled2.bmp", k == 2 ? "selled1Mask.bmp" : "selled2Mask.bmp",
            *g.routing[k].selectorLamp);
  }
  const velmora::Rect& spdifOut = g.routing[4].balance;
  lit("XFaderHandle.bmp", "XFaderHandleMask.bmp", spdifOut.left + 50, spdifOut.top);
  litAt("selled2.bmp", "selled2Mask.bmp", *g.routing[4].selectorLamp);
  litAt("Hw.bmp", "ButtonLitMask.bmp", g.outputs[0].hardware);
  litAt("Mute.bmp", "ButtonLitMask.bmp", g.outputs[1].mute);
  litAt("Dim.bmp", "ButtonLitMask.bmp", g.outputs[2].dim);
  litAt("SampleRateLed.bmp", "SampleRateLedMask.bmp", g.rateLamps[1]);
  litAt("CurrentSyncLed.bmp", "SampleRateLedMask.bmp", g.syncLamps[4]);
  litAt("LEDCover.bmp", "LEDMask.bmp", g.rateLamps[5]);
  litAt("ADAT2SyncLabelCover.bmp", "SyncLabelMask.bmp", g.syncLamps[2]);
  skin["InUse.bmp"]->copyTo(panel.get(), g.inUse.left, g.inUse.top);
  skin["Lck.bmp"]->copyTo(panel.get(), g.locked.left, g.locked.top);
  litAt("Enable.bmp", "ButtonLitMask.bmp", g.spdifLamp);
  litAt("Enable.bmp", "ButtonLitMask.bmp", g.adat1Lamp);
  litAt("EnableADAT2Cover.bmp", "EnableADAT2Mask.bmp", g.adat2Lamp);
  litAt("Enable.bmp", "ButtonLitMask.bmp", g.phantom14);
  litAt("Enable.bmp", "ButtonLitMask.bmp", g.linkOutputs);
  litAt("Enable.bmp", "ButtonLitMask.bmp", g.midi);
  velmora::AlphaFont font(skin["font.bmp"], skin["FontMask.bmp"]);
  font.drawString(panel.get(), g.unitName.left + 1, g.unitName.top, "Studio 9029");
  return panel;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skin-sheet FOLDER SHEET.png\n");
    return 2;
  }
  const std::optional<velmora::skin::PanelGeometry> geometry =
      velmora::skin::panelGeometry(velmora::normalLayoutTable());
  if (!geometry || !geometry->inputMixer || geometry->routing.size() != 5) {
    std::fprintf(stderr, "skin-sheet: the normal layout lacks a control the preview shows\n");
    return 1;
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
  const int height = previewTop + kPanelHeight * 2 + kGap;

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
  const std::unique_ptr<velmora::Bitmap> panel = preview(Skin{placed}, *geometry);
  for (int row = 0; row < kPanelHeight * 2; ++row) {
    for (int col = 0; col < kPanelWidth * 2; ++col) {
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
