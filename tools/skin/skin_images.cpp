#include "tools/skin/skin_images.h"

#include <functional>
#include <map>
#include <string>

#include "tools/skin/pixel_font.h"
#include "tools/skin/skin_panels.h"
#include "tools/skin/skin_parts.h"

namespace velmora::skin {
namespace {

const Colour kWhite = rgb(0xFFFFFF);
const Colour kBlack = rgb(0x000000);

Image onPlate(int width, int height) {
  return Image(width, height, palette::kPlate);
}

Image litButton(Colour colour, const char* cap) {
  Image image = onPlate(15, 15);
  button(image, 0, 0, true, colour, cap);
  return image;
}

// A pressed, momentary key: the cap sunk and darker, its rim lit.
Image pressedButton(Colour rim) {
  Image image = onPlate(15, 15);
  image.fillRoundRect(0, 0, 15, 15, 3.0f, rgb(0x0B0C0E));
  image.fillRoundRect(1, 1, 14, 14, 2.5f, scale(rim, 0.8f));
  image.fillRoundRect(2, 2, 13, 13, 2.0f, [](float, float py) {
    return mix(rgb(0x2A2E33), rgb(0x3C4148), py / 15.0f);
  });
  return image;
}

Image buttonMaskImage() {
  Image image(15, 15, kBlack);
  buttonMask(image, 0, 0);
  return image;
}

Image lamp(Colour colour) {
  Image image = onPlate(13, 13);
  lampLed(image, 0, 0, true, colour);
  return image;
}

Image lampMask() {
  Image image(13, 13, kBlack);
  lampLedMask(image, 0, 0);
  return image;
}

// The two-lamp playback indicator: `upper` lit or the lower one.
Image selectorLamp(bool upper) {
  Image image = onPlate(13, 21);
  lampLed(image, 0, -1, upper, palette::kAmber);
  lampLed(image, 0, 8, !upper, palette::kGreen);
  return image;
}

Image selectorMask(bool upper) {
  Image image(13, 21, kBlack);
  lampLedMask(image, 0, upper ? -1 : 8);
  return image;
}

Image knobStrip(bool mask) {
  Image image(579, 19, mask ? kBlack : palette::kPlate);
  for (int frame = 0; frame < 29; ++frame) {
    if (mask) {
      knobMask(image, frame * 20, 0);
    } else {
      knobCap(image, frame * 20, 0, frameAngle(frame));
    }
  }
  return image;
}

Image trackStrip(bool bipolar) {
  Image image(783, 23, palette::kPlate);
  for (int frame = 0; frame < 29; ++frame) {
    const float angle = frameAngle(frame);
    knobTrack(image, frame * 27, 0, bipolar ? 0.0f : -135.0f, angle);
  }
  return image;
}

Image trackMask() {
  Image image(783, 23, kBlack);
  for (int frame = 0; frame < 29; ++frame) knobTrackMask(image, frame * 27, 0);
  return image;
}

// Glyph grid of 7 × 7 cells for codes 32…131: `ink` on black, glyphs at the left of
// their cells so that widths measure tight.
Image glyphGrid(Colour ink) {
  Image image(140, 35, kBlack);
  for (int code = 32; code < 128; ++code) {
    const int g = code - 32;
    const std::string text(1, static_cast<char>(code));
    drawText(image, 7 * (g % 20), 7 * (g / 20), text, ink);
  }
  return image;
}

Image statusImage(int width, int height) {
  Image image = onPlate(width, height);
  statusLamp(image, 0, 0, width, height, true, palette::kGreen);
  return image;
}

Image tab(int height, const char* label, TabState state) {
  Image image(13, height, palette::kPanel);
  groupTab(image, 0, 0, 13, height, label, state);
  return image;
}

// A cover for the fader bank of strips 3–8 and its mask.
Image bankCover(const char* line1, const char* line2) {
  Image image(359, 194, rgb(0x15181C));
  image.grain(7, 0.06f, true);
  image.fillRoundRect(110, 74, 249, 120, 4, rgb(0x23272C));
  drawTextCentred(image, 180, 84, line1, palette::kTitle, Weight::kBold);
  drawTextCentred(image, 180, 100, line2, palette::kPrint);
  return image;
}

Image bankMask() {
  Image image(359, 194, kBlack);
  image.fillRoundRect(1, 1, 358, 193, 6, rgb(0xE0E0E0));
  return image;
}

// The covered look of a phantom or insert button on the smaller model.
Image compactCover(const char* label) {
  Image image = onPlate(57, 15);
  image.fillRoundRect(0, 0, 15, 15, 3.0f, rgb(0x1A1D21));
  image.line(3, 12, 12, 3, 1.2f, rgb(0x3A3F46));
  drawText(image, 18, 4, label, palette::kDim);
  return image;
}

Image compactMask() {
  Image image(57, 15, kBlack);
  image.fillRect(0, 0, 57, 15, kWhite);
  return image;
}

// Dims a lamp label: the plate colour laid over it.
Image labelCover(int width) {
  return onPlate(width, 13);
}

Image labelMask(int width, int from) {
  Image image(width, 13, kBlack);
  image.fillRect(from, 1, width, 12, rgb(0xC8C8C8));
  return image;
}

Image adatCover() {
  Image image = onPlate(15, 15);
  image.fillRoundRect(0, 0, 15, 15, 3.0f, rgb(0x16181B));
  image.line(3, 12, 12, 3, 1.2f, rgb(0x3A3F46));
  image.line(3, 3, 12, 12, 1.2f, rgb(0x3A3F46));
  return image;
}

Image flatKeyPressed(const char* label) {
  Image image = onPlate(49, 9);
  flatKey(image, 0, 0, 49, 9, label);
  image.fillRect(1, 1, 48, 8, palette::kAmber, 0.35f);
  return image;
}

Image faderTray() {
  Image image = onPlate(21, 128);
  faderSlot(image, 0, 0);
  return image;
}

Image handle(bool mask) {
  Image image(21, 29, mask ? kBlack : palette::kPlate);
  if (mask) {
    image.fillRoundRect(0.5f, 0.5f, 20.5f, 28.5f, 2.5f, kWhite);
  } else {
    faderHandle(image, 0, 0);
  }
  return image;
}

Image balanceHandleImage(bool mask) {
  Image image(11, 15, mask ? kBlack : palette::kPlate);
  if (mask) {
    image.fillRoundRect(0.5f, 0.5f, 10.5f, 14.5f, 2.0f, kWhite);
  } else {
    balanceHandle(image, 0, 0);
  }
  return image;
}

Image balanceTrayImage() {
  Image image = onPlate(112, 15);
  balanceTray(image, 0, 0);
  return image;
}

Image grayLed() {
  Image image = onPlate(5, 5);
  image.fillDome(2.5f, 2.5f, 2.4f, rgb(0x8A9099), rgb(0x3A3E44));
  return image;
}

using Painter = std::function<Image()>;

const std::map<std::string, Painter>& painters() {
  static const std::map<std::string, Painter> table = {
      {"FaderHandleMask.bmp", [] { return handle(true); }},
      {"FaderTrayMask.bmp", faderTray},
      {"KnobMask.bmp", [] { return knobStrip(true); }},
      {"KnobTrackMask.bmp", trackMask},
      {"KnobTrackMask2.bmp", trackMask},
      {"XFaderHandleMask.bmp", [] { return balanceHandleImage(true); }},
      {"XFaderTrayMask.bmp", balanceTrayImage},
      {"FontMask.bmp", [] { return glyphGrid(kWhite); }},
      {"PushDouble1.bmp", [] { return pressedButton(palette::kAmber); }},
      {"PushDouble2.bmp", [] { return pressedButton(palette::kGreen); }},
      {"SampleRateLed.bmp", [] { return lamp(palette::kGreen); }},
      {"selled2.bmp", [] { return selectorLamp(false); }},
      {"selled1.bmp", [] { return selectorLamp(true); }},
      {"selled1Mask.bmp", [] { return selectorMask(true); }},
      {"selled2Mask.bmp", [] { return selectorMask(false); }},
      {"UnitID.bmp", [] { return flatKeyPressed("IDENTIFY"); }},
      {"UnitSwitch.bmp", [] { return flatKeyPressed("UNIT"); }},
      {"XFaderHandle.bmp", [] { return balanceHandleImage(false); }},
      {"ADAT1Mask.bmp", bankMask},
      {"ADAT2Mask.bmp", bankMask},
      {"ButtonLitMask.bmp", buttonMaskImage},
      {"Enable.bmp", [] { return litButton(palette::kAmber, ""); }},
      {"FaderHandle.bmp", [] { return handle(false); }},
      {"KnobRotation.bmp", [] { return knobStrip(false); }},
      {"PushSingle.bmp", [] { return pressedButton(rgb(0x8A9099)); }},
      {"PushSwitch.bmp", [] { return pressedButton(palette::kBlue); }},
      {"SampleRateLed1.bmp", [] { return lamp(palette::kYellow); }},
      {"SampleRateLedMask.bmp", lampMask},
      {"SpdifMask.bmp", bankMask},
      {"EnableADAT1Mask.bmp", buttonMaskImage},
      {"EnableADAT1Cover.bmp", adatCover},
      {"EnableADAT2Mask.bmp", buttonMaskImage},
      {"EnableADAT2Cover.bmp", adatCover},
      {"Lck.bmp", [] { return statusImage(33, 22); }},
      {"InUse.bmp", [] { return statusImage(27, 22); }},
      {"Hw.bmp", [] { return litButton(palette::kGreen, "H"); }},
      {"Dim.bmp", [] { return litButton(palette::kBlue, "D"); }},
      {"SpdifCover.bmp",
       [] { return bankCover("S/PDIF INPUT OFF", "Enable it in the unit settings"); }},
      {"ADAT1Cover.bmp", [] { return bankCover("ADAT 1 NOT AVAILABLE", "at this sample rate"); }},
      {"Active.bmp", [] { return litButton(palette::kAmber, "P"); }},
      {"Solo.bmp", [] { return litButton(palette::kYellow, "S"); }},
      {"ADAT2Cover.bmp", [] { return bankCover("ADAT 2 NOT AVAILABLE", "at this sample rate"); }},
      {"SPDIFSyncLabelCover.bmp", [] { return labelCover(45); }},
      {"ADAT2SyncLabelCover.bmp", [] { return labelCover(45); }},
      {"ADAT1SyncLabelCover.bmp", [] { return labelCover(45); }},
      {"SyncLabelMask.bmp", [] { return labelMask(45, 14); }},
      {"KnobTrackRotation2.bmp", [] { return trackStrip(true); }},
      {"Mute.bmp", [] { return litButton(palette::kRed, "M"); }},
      {"KnobTrackRotation.bmp", [] { return trackStrip(false); }},
      {"ConnectionLost.bmp", connectionLost},
      {"font.bmp", [] { return glyphGrid(rgb(0xE6F7FF)); }},
      {"FaderMask.bmp", bankMask},
      {"FaderCover.bmp", [] { return bankCover("S/PDIF", "two channels: inputs 1 and 2"); }},
      {"TabSPDIFOff.bmp", [] { return tab(52, "S/PDIF", TabState::kNormal); }},
      {"TabAnalogOn.bmp", [] { return tab(52, "ANALOG", TabState::kOn); }},
      {"TabSPDIFDisable.bmp", [] { return tab(52, "S/PDIF", TabState::kDisabled); }},
      {"TabSPDIFOn.bmp", [] { return tab(52, "S/PDIF", TabState::kOn); }},
      {"Background.bmp", normalBackground},
      {"TabADAT1Disable.bmp", [] { return tab(46, "ADAT1", TabState::kDisabled); }},
      {"TabADAT1On.bmp", [] { return tab(46, "ADAT1", TabState::kOn); }},
      {"TabADAT2Disable.bmp", [] { return tab(49, "ADAT2", TabState::kDisabled); }},
      {"TabADAT2On.bmp", [] { return tab(49, "ADAT2", TabState::kOn); }},
      {"TabAnalogDisable.bmp", [] { return tab(52, "ANALOG", TabState::kDisabled); }},
      {"WCLKSyncLabelCover.bmp", [] { return labelCover(45); }},
      {"CompactButtonMask.bmp", compactMask},
      {"BackgroundAC3.bmp", ac3Background},
      {"BackgroundShrink.bmp", shrinkBackground},
      {"Insert2Cover.bmp", [] { return compactCover("INSERT2"); }},
      {"Phantom2Cover.bmp", [] { return compactCover("48V 1-4"); }},
      {"Phantom1Cover.bmp", [] { return compactCover("48V 5-8"); }},
      {"Insert1Cover.bmp", [] { return compactCover("INSERT1"); }},
      {"ShrinkPhantom1Cover.bmp", [] { return compactCover("48V 5-8"); }},
      {"ShrinkPhantom2Cover.bmp", [] { return compactCover("48V 1-4"); }},
      {"ShrinkInsert1Cover.bmp", [] { return compactCover("INSERT1"); }},
      {"ShrinkInsert2Cover.bmp", [] { return compactCover("INSERT2"); }},
      {"GrayLed.bmp", grayLed},
      {"LEDCover.bmp", [] { return labelCover(39); }},
      {"LEDMask.bmp", [] { return labelMask(39, 0); }},
      {"CurrentSyncLed.bmp", [] { return lamp(palette::kGreen); }},
      {"TargetSyncLed.bmp", [] { return lamp(palette::kAmber); }},
  };
  return table;
}

}  // namespace

Image drawSkinImage(const SkinImage& image, int scale) {
  const ScaleScope scope(scale);
  const auto found = painters().find(image.name);
  if (found == painters().end()) return Image(image.width, image.height);
  return found->second();
}

}  // namespace velmora::skin
