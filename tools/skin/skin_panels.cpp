#include "tools/skin/skin_panels.h"

#include <string>

#include "tools/skin/pixel_font.h"
#include "tools/skin/skin_parts.h"

namespace velmora::skin {
namespace {

using palette::kPrint;

struct Box {
  int left, top;
};

// Where the layouts put the controls every main panel has.
struct Geometry {
  Box phantom58, phantom14, insert1, insert2;  // 15 × 15 buttons, labels to the right
  Box load, save, soundCard, track, link, psu, floatWindow, ac3, midi;
  Box shrinkOrExpand;  // x < 0: none
  const char* shrinkLabel;
  Box rateTray;  // left, top of the first lamp row
  int rateRows[6];
  Box syncTray;
  int syncRows[5];
  Box spdifLamp, adat1Lamp, adat2Lamp;
  int inUse[4], lock[4];  // left, right, top, bottom
  Box unitName;           // 97 × 8
  Box identify;           // 49 × 9, the unit switch right beside it
  Box logo;
  Box outputs;  // first output canvas
  int outputStep;
  struct PlateSpec {
    int left, top, right, bottom;
    const char* title;
  } plates[12];
  int plateCount;
};

void labelledButton(Image& image, Box at, const char* label) {
  button(image, at.left, at.top, false, palette::kAmber);
  drawText(image, at.left + 18, at.top + 4, label, kPrint);
}

void rateTray(Image& image, Box tray, const int* rows) {
  static const char* const kRates[] = {"44.1", "48", "88.2", "96", "176.4", "192"};
  for (int i = 0; i < 6; ++i) {
    lampLed(image, tray.left, rows[i], false, palette::kGreen);
    drawText(image, tray.left + 15, rows[i] + 3, kRates[i], kPrint);
  }
}

void syncTray(Image& image, Box tray, const int* rows) {
  static const char* const kSources[] = {"S/PDIF", "ADAT1", "ADAT2", "WCLK", "INT"};
  for (int i = 0; i < 5; ++i) {
    lampLed(image, tray.left, rows[i], false, palette::kGreen);
    drawText(image, tray.left + 15, rows[i] + 3, kSources[i], kPrint);
  }
}

void outputSection(Image& image, int x, int y, int pair) {
  const std::string heading =
      "OUT " + std::to_string(2 * pair + 1) + "-" + std::to_string(2 * pair + 2);
  drawTextCentred(image, x + 28, y - 10, heading, palette::kTitle, Weight::kBold);
  knobTrack(image, x + 14, y + 11, -135, -135);
  button(image, x + 8, y, false, palette::kGreen, "H");
  button(image, x + 32, y, false, palette::kAmber, "P");
  button(image, x, y + 24, false, palette::kBlue, "D");
  button(image, x + 40, y + 24, false, palette::kYellow, "S");
  button(image, x + 20, y + 38, false, palette::kRed, "M");
  knobCap(image, x + 18, y + 15, 135);
}

void logo(Image& image, Box at) {
  const float cx = static_cast<float>(at.left) + 16, cy = static_cast<float>(at.top) + 18;
  image.fillCircle(cx, cy, 15.5f, rgb(0x0B0C0E));
  image.fillDome(cx, cy, 14.5f, rgb(0x3A4048), rgb(0x17191C));
  image.ring(cx, cy, 12.5f, 13.5f, palette::kAmber, 0.9f);
  image.line(cx - 7, cy - 6, cx, cy + 8, 2.6f, rgb(0xF4F6F8));
  image.line(cx + 7, cy - 6, cx, cy + 8, 2.6f, rgb(0xF4F6F8));
  image.line(cx - 9, cy - 6, cx - 5, cy - 6, 1.6f, rgb(0xF4F6F8));
  image.line(cx + 5, cy - 6, cx + 9, cy - 6, 1.6f, rgb(0xF4F6F8));
}

void commonSections(Image& image, const Geometry& g) {
  for (int i = 0; i < g.plateCount; ++i) {
    const auto& p = g.plates[i];
    plate(image, p.left, p.top, p.right, p.bottom, p.title ? p.title : "");
  }
  labelledButton(image, g.phantom58, "48V 5-8");
  labelledButton(image, g.phantom14, "48V 1-4");
  labelledButton(image, g.insert1, "INSERT1");
  labelledButton(image, g.insert2, "INSERT2");
  labelledButton(image, g.load, "LOAD");
  labelledButton(image, g.save, "SAVE");
  labelledButton(image, g.soundCard, "SOUNDCARD");
  labelledButton(image, g.track, "TRACKING");
  labelledButton(image, g.link, "LINK OUTS");
  labelledButton(image, g.psu, "PSU BOOST");
  labelledButton(image, g.floatWindow, "FLOAT");
  labelledButton(image, g.ac3, "AC3 PASS");
  labelledButton(image, g.midi, "MIDI THRU");
  if (g.shrinkOrExpand.left >= 0) labelledButton(image, g.shrinkOrExpand, g.shrinkLabel);

  rateTray(image, g.rateTray, g.rateRows);
  syncTray(image, g.syncTray, g.syncRows);
  for (const auto& [lamp, mark] :
       {std::pair{g.spdifLamp, "S"}, {g.adat1Lamp, "1"}, {g.adat2Lamp, "2"}}) {
    button(image, lamp.left, lamp.top, false, palette::kAmber);
    drawText(image, lamp.left + 17, lamp.top + 4, mark, kPrint);
  }
  statusLamp(image, g.inUse[0], g.inUse[2], g.inUse[1], g.inUse[3], false, palette::kGreen);
  drawTextCentred(image, (g.inUse[0] + g.inUse[1]) / 2, g.inUse[2] - 9, "IN USE", kPrint);
  statusLamp(image, g.lock[0], g.lock[2], g.lock[1], g.lock[3], false, palette::kGreen);
  drawTextCentred(image, (g.lock[0] + g.lock[1]) / 2, g.lock[2] - 9, "LOCK", kPrint);

  displayWindow(image, g.unitName.left - 3, g.unitName.top - 3, g.identify.left + 102,
                g.identify.top + 11);
  flatKey(image, g.identify.left, g.identify.top, g.identify.left + 49, g.identify.top + 9,
          "IDENTIFY");
  flatKey(image, g.identify.left + 50, g.identify.top, g.identify.left + 99, g.identify.top + 9,
          "UNIT");
  logo(image, g.logo);
  for (int k = 0; k < 4; ++k)
    outputSection(image, g.outputs.left, g.outputs.top + k * g.outputStep, k);
}

// A balance row: tray, end labels, and for destinations after the first the playback
// selector with its two-lamp indicator.
void routingRow(Image& image, int x, int y, int selectorTop, const char* ownPair, bool selector,
                int lampX) {
  balanceTray(image, x, y);
  drawText(image, x + 2, y + 17, "MIX", palette::kDim);
  drawText(image, x + 110 - textWidth("PLAY"), y + 17, "PLAY", palette::kDim);
  if (!selector) return;
  const int lampTop = selectorTop - 3;
  drawText(image, x, selectorTop + 4, "PLAYBACK", kPrint);
  drawText(image, lampX - 2 - textWidth(ownPair), lampTop + 2, ownPair, kPrint);
  drawText(image, lampX - 2 - textWidth("1-2"), lampTop + 12, "1-2", kPrint);
  lampLed(image, lampX, lampTop - 1, false, palette::kAmber);
  lampLed(image, lampX, lampTop + 8, false, palette::kGreen);
  button(image, lampX + 19, selectorTop, false, palette::kAmber);
}

void routing(Image& image, int x, int firstY, int step, int firstSelector, int spdifY, int lampX) {
  static const char* const kOwn[] = {"3-4", "5-6", "7-8", "9-10"};
  for (int d = 0; d < 4; ++d) {
    routingRow(image, x, firstY + d * step, firstSelector + (d - 1) * step,
               d > 0 ? kOwn[d - 1] : "", d > 0, lampX);
  }
  routingRow(image, x, spdifY, firstSelector + 3 * step, kOwn[3], true, lampX);
  drawText(image, x, spdifY - 10, "S/PDIF OUT", palette::kTitle, Weight::kBold);
}

// The brand name; `compact` puts "CONTROL" on a line of its own.
void wordmark(Image& image, int x, int y, bool compact = false) {
  drawText(image, x, y, "VELMORA", rgb(0xF4F6F8), Weight::kBold);
  drawText(image, x, y + 10, "PRO", palette::kAmber, Weight::kBold);
  if (compact) {
    drawText(image, x, y + 20, "CONTROL", palette::kDim);
  } else {
    drawText(image, x + textWidth("PRO", Weight::kBold) + 5, y + 10, "CONTROL", palette::kDim);
  }
}

void inputMixer(Image& image) {
  plate(image, 22, 2, 496, 219, "INPUT MIXER");
  for (int c = 0; c < 8; ++c) {
    const int x0 = 40 + 60 * c;
    drawTextCentred(image, x0 + 11, 15, std::to_string(c + 1), kPrint, Weight::kBold);
    faderSlot(image, x0, 64);
    for (const auto& [tick, mark] : {std::pair{0, "10"}, {5, "5"}, {10, "0"}}) {
      const int y = 64 + 13 + (19 * tick) / 2;
      drawText(image, x0 - 3 - textWidth(mark), y, mark, palette::kDim);
    }
    knobTrack(image, x0 - 4, 25, 0, 0);
    knobCap(image, x0, 29, 0);
    drawText(image, x0 - 6, 58, "L", palette::kDim);
    drawText(image, x0 + 24, 58, "R", palette::kDim);
    button(image, x0 - 9, 199, false, palette::kYellow, "S");
    button(image, x0 + 6, 199, false, palette::kRed, "M");
  }
  for (int q = 0; q < 4; ++q) {
    button(image, 72 + 120 * q, 26, false, palette::kAmber);
    drawTextCentred(image, 80 + 120 * q, 44, "LINK", palette::kDim);
  }
  groupTab(image, 4, 14, 17, 66, "ANALOG", TabState::kNormal);
  groupTab(image, 4, 67, 17, 119, "S/PDIF", TabState::kNormal);
  groupTab(image, 4, 119, 17, 165, "ADAT1", TabState::kNormal);
  groupTab(image, 4, 165, 17, 214, "ADAT2", TabState::kNormal);
}

}  // namespace

Image normalBackground() {
  Image image = panelBase(704, 394, 1);
  inputMixer(image);
  plate(image, 500, 4, 701, 391);
  wordmark(image, 550, 14);
  routing(image, 508, 70, 73, 115, 362, 581);

  Geometry g{};
  g.phantom58 = {42, 248}, g.phantom14 = {42, 262}, g.insert1 = {42, 292}, g.insert2 = {42, 306};
  g.load = {148, 248}, g.save = {148, 262}, g.soundCard = {148, 292}, g.track = {148, 306};
  g.link = {148, 336}, g.psu = {42, 336}, g.floatWindow = {42, 366}, g.ac3 = {252, 248};
  g.midi = {252, 262}, g.shrinkOrExpand = {148, 366}, g.shrinkLabel = "SHRINK";
  g.rateTray = {274, 307};
  const int rates[6] = {307, 319, 331, 343, 355, 367};
  std::copy(rates, rates + 6, g.rateRows);
  g.syncTray = {380, 309};
  const int syncs[5] = {309, 323, 337, 351, 365};
  std::copy(syncs, syncs + 5, g.syncRows);
  g.spdifLamp = {430, 308}, g.adat1Lamp = {430, 322}, g.adat2Lamp = {430, 336};
  const int inUse[4] = {317, 344, 332, 354}, lock[4] = {453, 486, 332, 354};
  std::copy(inUse, inUse + 4, g.inUse);
  std::copy(lock, lock + 4, g.lock);
  g.unitName = {376, 260}, g.identify = {374, 269}, g.logo = {510, 8};
  g.outputs = {626, 36}, g.outputStep = 73;
  g.plateCount = 9;
  g.plates[0] = {36, 234, 134, 280, "PHANTOM"};
  g.plates[1] = {36, 280, 134, 326, "INPUTS"};
  g.plates[2] = {36, 329, 238, 389, nullptr};
  g.plates[3] = {142, 234, 238, 280, "SETTINGS"};
  g.plates[4] = {142, 280, 238, 326, "PRESETS"};
  g.plates[5] = {246, 234, 360, 280, "MODES"};
  g.plates[6] = {246, 286, 360, 389, "RATE kHz"};
  g.plates[7] = {368, 234, 494, 283, "UNIT"};
  g.plates[8] = {368, 286, 494, 389, "CLOCK"};
  commonSections(image, g);
  drawText(image, 432, 297, "INPUT", palette::kTitle, Weight::kBold);
  return image;
}

Image shrinkBackground() {
  Image image = panelBase(456, 373, 2);
  plate(image, 252, 4, 452, 370);
  wordmark(image, 200, 50, true);
  routing(image, 260, 63, 70, 105, 343, 333);

  Geometry g{};
  g.phantom58 = {25, 28}, g.phantom14 = {25, 42}, g.insert1 = {25, 85}, g.insert2 = {25, 99};
  g.load = {131, 28}, g.save = {131, 42}, g.soundCard = {131, 85}, g.track = {131, 99};
  g.link = {131, 142}, g.psu = {25, 142}, g.floatWindow = {25, 185}, g.ac3 = {25, 228};
  g.midi = {25, 242}, g.shrinkOrExpand = {131, 185}, g.shrinkLabel = "EXPAND";
  g.rateTray = {26, 286};
  const int rates[6] = {286, 298, 310, 322, 334, 345};
  std::copy(rates, rates + 6, g.rateRows);
  g.syncTray = {132, 286};
  const int syncs[5] = {286, 301, 315, 329, 343};
  std::copy(syncs, syncs + 5, g.syncRows);
  g.spdifLamp = {182, 287}, g.adat1Lamp = {182, 301}, g.adat2Lamp = {182, 315};
  const int inUse[4] = {70, 97, 309, 331}, lock[4] = {204, 237, 311, 333};
  std::copy(inUse, inUse + 4, g.inUse);
  std::copy(lock, lock + 4, g.lock);
  g.unitName = {128, 239}, g.identify = {126, 248}, g.logo = {202, 8};
  g.outputs = {378, 29}, g.outputStep = 70;
  g.plateCount = 9;
  g.plates[0] = {19, 14, 117, 60, "PHANTOM"};
  g.plates[1] = {19, 71, 117, 117, "INPUTS"};
  g.plates[2] = {125, 14, 196, 60, "SETTINGS"};
  g.plates[3] = {125, 71, 196, 117, "PRESETS"};
  g.plates[4] = {19, 128, 244, 207, nullptr};
  g.plates[5] = {19, 214, 117, 262, "MODES"};
  g.plates[6] = {120, 222, 244, 262, "UNIT"};
  g.plates[7] = {19, 270, 117, 370, "RATE kHz"};
  g.plates[8] = {125, 270, 244, 370, "CLOCK"};
  commonSections(image, g);
  drawText(image, 184, 276, "INPUT", palette::kTitle, Weight::kBold);
  return image;
}

Image ac3Background() {
  Image image = panelBase(405, 344, 3);
  plate(image, 300, 4, 401, 341);
  wordmark(image, 246, 50, true);

  Geometry g{};
  g.phantom58 = {25, 24}, g.phantom14 = {25, 38}, g.insert1 = {25, 76}, g.insert2 = {25, 90};
  g.load = {131, 24}, g.save = {131, 38}, g.soundCard = {131, 76}, g.track = {131, 90};
  g.link = {131, 128}, g.psu = {25, 128}, g.floatWindow = {25, 166}, g.ac3 = {25, 204};
  g.midi = {25, 218}, g.shrinkOrExpand = {-1, -1}, g.shrinkLabel = "";
  g.rateTray = {26, 260};
  const int rates[6] = {260, 272, 284, 296, 308, 320};
  std::copy(rates, rates + 6, g.rateRows);
  g.syncTray = {132, 261};
  const int syncs[5] = {261, 276, 290, 304, 318};
  std::copy(syncs, syncs + 5, g.syncRows);
  g.spdifLamp = {182, 261}, g.adat1Lamp = {182, 275}, g.adat2Lamp = {182, 289};
  const int inUse[4] = {70, 97, 285, 307}, lock[4] = {204, 237, 285, 307};
  std::copy(inUse, inUse + 4, g.inUse);
  std::copy(lock, lock + 4, g.lock);
  g.unitName = {128, 221}, g.identify = {126, 230}, g.logo = {202, 8};
  g.outputs = {322, 34}, g.outputStep = 80;
  g.plateCount = 9;
  g.plates[0] = {19, 10, 117, 56, "PHANTOM"};
  g.plates[1] = {19, 62, 117, 108, "INPUTS"};
  g.plates[2] = {125, 10, 196, 56, "SETTINGS"};
  g.plates[3] = {125, 62, 196, 108, "PRESETS"};
  g.plates[4] = {19, 114, 244, 188, nullptr};
  g.plates[5] = {19, 190, 117, 240, "MODES"};
  g.plates[6] = {120, 204, 244, 244, "UNIT"};
  g.plates[7] = {19, 246, 117, 342, "RATE kHz"};
  g.plates[8] = {125, 246, 244, 342, "CLOCK"};
  commonSections(image, g);
  drawText(image, 184, 250, "INPUT", palette::kTitle, Weight::kBold);
  drawText(image, 250, 80, "HIGH RATE", palette::kDim);
  drawText(image, 250, 90, "MONITOR", palette::kDim);
  return image;
}

Image connectionLost() {
  Image image = panelBase(300, 56, 4);
  plate(image, 4, 4, 296, 52);
  const float cx = 28, cy = 28;
  image.fillCircle(cx, cy, 14, rgb(0x0B0C0E));
  image.fillDome(cx, cy, 13, rgb(0xFF6A5E), rgb(0x9A1C14));
  image.line(cx, cy - 7, cx, cy + 2, 3.0f, rgb(0xFFFFFF));
  image.fillCircle(cx, cy + 6.5f, 1.8f, rgb(0xFFFFFF));
  drawText(image, 52, 15, "CONNECTION LOST", rgb(0xF4F6F8), Weight::kBold);
  drawText(image, 52, 28, "Waiting for the Velmora PRO unit.", kPrint);
  drawText(image, 52, 38, "Check the FireWire cable and power.", palette::kDim);
  return image;
}

}  // namespace velmora::skin
