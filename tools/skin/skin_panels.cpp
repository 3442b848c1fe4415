#include "tools/skin/skin_panels.h"

#include <optional>
#include <string>
#include <vector>

#include "control_panel/panels/layout_tables.h"
#include "tools/skin/panel_geometry.h"
#include "tools/skin/pixel_font.h"
#include "tools/skin/skin_parts.h"

namespace velmora::skin {
namespace {

using palette::kPrint;

// A decorative section plate behind a group of controls (not a control itself).
struct Plate {
  int left, top, right, bottom;
  const char* title;
};

void labelledButton(Image& image, Rect at, const char* label) {
  button(image, at.left, at.top, false, palette::kAmber);
  drawText(image, at.left + 18, at.top + 4, label, kPrint);
}

void lampColumn(Image& image, const Rect* lamps, const char* const* labels, int count) {
  for (int i = 0; i < count; ++i) {
    lampLed(image, lamps[i].left, lamps[i].top, false, palette::kGreen);
    drawText(image, lamps[i].left + 15, lamps[i].top + 3, labels[i], kPrint);
  }
}

void rateTray(Image& image, const std::array<Rect, 6>& lamps) {
  static const char* const kRates[] = {"44.1", "48", "88.2", "96", "176.4", "192"};
  lampColumn(image, lamps.data(), kRates, 6);
}

void syncTray(Image& image, const std::array<Rect, 5>& lamps) {
  static const char* const kSources[] = {"S/PDIF", "ADAT1", "ADAT2", "WCLK", "INT"};
  lampColumn(image, lamps.data(), kSources, 5);
}

void outputSection(Image& image, const OutputGeometry& o, int pair) {
  const std::string heading =
      "OUT " + std::to_string(2 * pair + 1) + "-" + std::to_string(2 * pair + 2);
  drawTextCentred(image, o.canvas.left + 28, o.canvas.top - 10, heading, palette::kTitle,
                  Weight::kBold);
  knobTrack(image, o.level.left, o.level.top, -135, -135);
  button(image, o.hardware.left, o.hardware.top, false, palette::kGreen, "H");
  button(image, o.pad.left, o.pad.top, false, palette::kAmber, "P");
  button(image, o.dim.left, o.dim.top, false, palette::kBlue, "D");
  button(image, o.solo.left, o.solo.top, false, palette::kYellow, "S");
  button(image, o.mute.left, o.mute.top, false, palette::kRed, "M");
  knobCap(image, o.level.left + 4, o.level.top + 4, 135);
}

void logo(Image& image, Rect at) {
  const float cx = static_cast<float>(at.left) + 16, cy = static_cast<float>(at.top) + 18;
  image.fillCircle(cx, cy, 15.5f, rgb(0x0B0C0E));
  image.fillDome(cx, cy, 14.5f, rgb(0x3A4048), rgb(0x17191C));
  image.ring(cx, cy, 12.5f, 13.5f, palette::kAmber, 0.9f);
  image.line(cx - 7, cy - 6, cx, cy + 8, 2.6f, rgb(0xF4F6F8));
  image.line(cx + 7, cy - 6, cx, cy + 8, 2.6f, rgb(0xF4F6F8));
  image.line(cx - 9, cy - 6, cx - 5, cy - 6, 1.6f, rgb(0xF4F6F8));
  image.line(cx + 5, cy - 6, cx + 9, cy - 6, 1.6f, rgb(0xF4F6F8));
}

void commonSections(Image& image, const PanelGeometry& g, const std::vector<Plate>& plates) {
  for (const Plate& p : plates)
    plate(image, p.left, p.top, p.right, p.bottom, p.title ? p.title : "");
  labelledButton(image, g.phantom58, "48V 5-8");
  labelledButton(image, g.phantom14, "48V 1-4");
  labelledButton(image, g.insert1, "INSERT1");
  labelledButton(image, g.insert2, "INSERT2");
  labelledButton(image, g.load, "LOAD");
  labelledButton(image, g.save, "SAVE");
  labelledButton(image, g.soundCard, "SOUNDCARD");
  labelledButton(image, g.track, "TRACKING");
  labelledButton(image, g.linkOutputs, "LINK OUTS");
  labelledButton(image, g.psu, "PSU BOOST");
  labelledButton(image, g.floatWindow, "FLOAT");
  labelledButton(image, g.ac3, "AC3 PASS");
  labelledButton(image, g.midi, "MIDI THRU");
  if (g.shrink) labelledButton(image, *g.shrink, "SHRINK");
  if (g.expand) labelledButton(image, *g.expand, "EXPAND");

  rateTray(image, g.rateLamps);
  syncTray(image, g.syncLamps);
  for (const auto& [lamp, mark] :
       {std::pair{g.spdifLamp, "S"}, {g.adat1Lamp, "1"}, {g.adat2Lamp, "2"}}) {
    button(image, lamp.left, lamp.top, false, palette::kAmber);
    drawText(image, lamp.left + 17, lamp.top + 4, mark, kPrint);
  }
  for (const auto& [lamp, label] : {std::pair{g.inUse, "IN USE"}, {g.locked, "LOCK"}}) {
    statusLamp(image, lamp.left, lamp.top, lamp.right, lamp.bottom, false, palette::kGreen);
    drawTextCentred(image, (lamp.left + lamp.right) / 2, lamp.top - 9, label, kPrint);
  }

  // One display window holds the unit name and, below it, the two unit keys.
  displayWindow(image, g.unitName.left - 3, g.unitName.top - 3, g.unitSwitch.right + 3,
                g.unitSwitch.bottom + 2);
  flatKey(image, g.identify.left, g.identify.top, g.identify.right, g.identify.bottom, "IDENTIFY");
  flatKey(image, g.unitSwitch.left, g.unitSwitch.top, g.unitSwitch.right, g.unitSwitch.bottom,
          "UNIT");
  logo(image, g.logo);
  for (int k = 0; k < 4; ++k) outputSection(image, g.outputs[k], k);
  drawText(image, g.spdifLamp.left + 2, g.spdifLamp.top - 11, "INPUT", palette::kTitle,
           Weight::kBold);
}

// A balance row: tray, end labels, and for destinations after the first the playback
// selector with its two-lamp indicator.
void routingRow(Image& image, const RoutingGeometry& row, const char* ownPair) {
  const Rect& tray = row.balance;
  balanceTray(image, tray.left, tray.top);
  drawText(image, tray.left + 2, tray.top + 17, "MIX", palette::kDim);
  drawText(image, tray.left + 110 - textWidth("PLAY"), tray.top + 17, "PLAY", palette::kDim);
  if (!row.selector || !row.selectorLamp) return;
  const Rect& selector = *row.selector;
  const Rect& lamps = *row.selectorLamp;
  drawText(image, tray.left, selector.top + 4, "PLAYBACK", kPrint);
  drawText(image, lamps.left - 2 - textWidth(ownPair), lamps.top + 2, ownPair, kPrint);
  drawText(image, lamps.left - 2 - textWidth("1-2"), lamps.top + 12, "1-2", kPrint);
  lampLed(image, lamps.left, lamps.top - 1, false, palette::kAmber);
  lampLed(image, lamps.left, lamps.top + 8, false, palette::kGreen);
  button(image, selector.left, selector.top, false, palette::kAmber);
}

void routing(Image& image, const std::vector<RoutingGeometry>& rows) {
  // Destination 0 has no selector; 1-4 play their own pair (the last is S/PDIF out).
  static const char* const kOwn[] = {"", "3-4", "5-6", "7-8", "9-10"};
  for (size_t d = 0; d < rows.size() && d < 5; ++d) routingRow(image, rows[d], kOwn[d]);
  if (rows.size() == 5) {
    drawText(image, rows[4].balance.left, rows[4].balance.top - 10, "S/PDIF OUT", palette::kTitle,
             Weight::kBold);
  }
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

void inputMixer(Image& image, const InputMixerGeometry& mixer) {
  plate(image, 22, 2, 496, 219, "INPUT MIXER");
  for (int c = 0; c < 8; ++c) {
    const StripGeometry& strip = mixer.strips[c];
    const Rect& fader = strip.fader;
    drawTextCentred(image, fader.left + 11, 15, std::to_string(c + 1), kPrint, Weight::kBold);
    faderSlot(image, fader.left, fader.top);
    for (const auto& [tick, mark] : {std::pair{0, "10"}, {5, "5"}, {10, "0"}}) {
      const int y = fader.top + 13 + (19 * tick) / 2;
      drawText(image, fader.left - 3 - textWidth(mark), y, mark, palette::kDim);
    }
    knobTrack(image, strip.pan.left, strip.pan.top, 0, 0);
    knobCap(image, strip.pan.left + 4, strip.pan.top + 4, 0);
    drawText(image, strip.pan.left - 2, strip.pan.bottom + 8, "L", palette::kDim);
    drawText(image, strip.pan.right + 1, strip.pan.bottom + 8, "R", palette::kDim);
    button(image, strip.solo.left, strip.solo.top, false, palette::kYellow, "S");
    button(image, strip.mute.left, strip.mute.top, false, palette::kRed, "M");
  }
  for (const Rect& link : mixer.links) {
    button(image, link.left, link.top, false, palette::kAmber);
    drawTextCentred(image, link.left + 8, link.bottom + 3, "LINK", palette::kDim);
  }
  static const char* const kGroups[] = {"ANALOG", "S/PDIF", "ADAT1", "ADAT2"};
  for (int n = 0; n < 4; ++n) {
    const Rect& tab = mixer.tabs[n];
    groupTab(image, tab.left, tab.top, tab.right, tab.bottom, kGroups[n], TabState::kNormal);
  }
}

}  // namespace

Image normalBackground() {
  const std::optional<PanelGeometry> g = panelGeometry(normalLayoutTable());
  if (!g || !g->inputMixer) return {};
  Image image = panelBase(704, 394, 1);
  inputMixer(image, *g->inputMixer);
  plate(image, 500, 4, 701, 391);
  wordmark(image, 550, 14);
  routing(image, g->routing);
  commonSections(image, *g,
                 {{36, 234, 134, 280, "PHANTOM"},
                  {36, 280, 134, 326, "INPUTS"},
                  {36, 329, 238, 389, nullptr},
                  {142, 234, 238, 280, "SETTINGS"},
                  {142, 280, 238, 326, "PRESETS"},
                  {246, 234, 360, 280, "MODES"},
                  {246, 286, 360, 389, "RATE kHz"},
                  {368, 234, 494, 283, "UNIT"},
                  {368, 286, 494, 389, "CLOCK"}});
  return image;
}

Image shrinkBackground() {
  const std::optional<PanelGeometry> g = panelGeometry(shrinkLayoutTable());
  if (!g) return {};
  Image image = panelBase(456, 373, 2);
  plate(image, 252, 4, 452, 370);
  // Above the first balance, clear of the settings plates, so "SOUNDCARD" has room.
  wordmark(image, 262, 20);
  routing(image, g->routing);
  commonSections(image, *g,
                 {{19, 14, 117, 60, "PHANTOM"},
                  {19, 71, 117, 117, "INPUTS"},
                  {125, 14, 196, 60, "SETTINGS"},
                  {125, 71, 206, 117, "PRESETS"},
                  {19, 128, 244, 207, nullptr},
                  {19, 214, 117, 262, "MODES"},
                  {120, 222, 244, 262, "UNIT"},
                  {19, 270, 117, 370, "RATE kHz"},
                  {125, 270, 244, 370, "CLOCK"}});
  return image;
}

Image ac3Background() {
  const std::optional<PanelGeometry> g = panelGeometry(ac3LayoutTable());
  if (!g) return {};
  Image image = panelBase(405, 344, 3);
  plate(image, 300, 4, 401, 341);
  wordmark(image, 246, 50, true);
  commonSections(image, *g,
                 {{19, 10, 117, 56, "PHANTOM"},
                  {19, 62, 117, 108, "INPUTS"},
                  {125, 10, 196, 56, "SETTINGS"},
                  {125, 62, 206, 108, "PRESETS"},
                  {19, 114, 244, 188, nullptr},
                  {19, 190, 117, 240, "MODES"},
                  {120, 204, 244, 244, "UNIT"},
                  {19, 246, 117, 342, "RATE kHz"},
                  {125, 246, 244, 342, "CLOCK"}});
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
