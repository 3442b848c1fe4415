// The pieces the skin is drawn from, shared by the panel backgrounds and the control images
// so that a lit image lines up with the unlit look printed on the panel.
#pragma once

#include <string_view>

#include "tools/skin/image.h"

namespace velmora::skin {

namespace palette {
inline const Colour kPanel = rgb(0x23272C);  // brushed graphite
inline const Colour kPlate = rgb(0x2D3238);  // section plates
inline const Colour kPlateEdgeLight = rgb(0x444A52);
inline const Colour kPlateEdgeDark = rgb(0x15181B);
inline const Colour kPrint = rgb(0xC8CDD4);  // silkscreen
inline const Colour kTitle = rgb(0xF2A33A);  // section titles
inline const Colour kDim = rgb(0x6B717A);    // dimmed print
inline const Colour kAmber = rgb(0xFF9A2E);
inline const Colour kGreen = rgb(0x3BE26A);
inline const Colour kRed = rgb(0xFF3B30);
inline const Colour kYellow = rgb(0xFFD23A);
inline const Colour kBlue = rgb(0x42A8FF);
inline const Colour kDisplay = rgb(0x0E1418);  // display windows
inline const Colour kDisplayText = rgb(0x9FE8FF);
}  // namespace palette

// Brushed base of a panel of the given size.
Image panelBase(int width, int height, uint32_t seed);
// A raised section plate with an engraved edge and an optional title at its top left.
void plate(Image& image, int left, int top, int right, int bottom, std::string_view title = {});
// A 15 × 15 square push button with its top left at (x, y). `lit`: glowing in `colour`.
void button(Image& image, int x, int y, bool lit, Colour colour, std::string_view cap = {});
// The shape of button(): a rounded square.
void buttonMask(Image& image, int x, int y);
// A round LED of the 13 × 13 lamp cell at (x, y).
void lampLed(Image& image, int x, int y, bool lit, Colour colour);
void lampLedMask(Image& image, int x, int y);
// Knob cap of 19 × 19 at (x, y), pointer at `angle` degrees (0 up, clockwise).
void knobCap(Image& image, int x, int y, float angle);
void knobMask(Image& image, int x, int y);
// Value ring of a 27 × 23 track frame at (x, y): lit from `from` to `to` degrees.
void knobTrack(Image& image, int x, int y, float from, float to);
void knobTrackMask(Image& image, int x, int y);
// The angle a knob frame stands for (29 frames, frame 14 straight up).
float frameAngle(int frame);
// Vertical fader slot of a 21 × 128 fader at (x, y), with scale marks.
void faderSlot(Image& image, int x, int y);
void faderHandle(Image& image, int x, int y);
// Horizontal balance tray 112 × 15 at (x, y) and its 11 × 15 handle.
void balanceTray(Image& image, int x, int y);
void balanceHandle(Image& image, int x, int y);
// A status window filling (left, top, right, bottom) with an LED.
void statusLamp(Image& image, int left, int top, int right, int bottom, bool lit, Colour colour);
// A vertical group tab filling the rectangle, label reading upwards.
enum class TabState { kNormal, kOn, kDisabled };
void groupTab(Image& image, int left, int top, int right, int bottom, std::string_view label,
              TabState state);
// A recessed display window.
void displayWindow(Image& image, int left, int top, int right, int bottom);
// A small flat key with a label (unit identify and unit switch).
void flatKey(Image& image, int left, int top, int right, int bottom, std::string_view label);

}  // namespace velmora::skin
