// The normal layout, 704 × 394: the input mixer with its four groups, the routing, the four
// output sections and the unit settings. Rows in table order; coordinates as placed.
#include "control_panel/panels/layout_groups.h"
#include "control_panel/panels/layout_tables.h"

namespace velmora {
namespace {

using namespace layout;
constexpr int kCanvas = LayoutBuilder::kCanvas;

LayoutTable build() {
  LayoutBuilder b(704, 394, "Background.bmp");                 // 0, 1
  statusLamps(b, {317, 344, 332, 354}, {453, 486, 332, 354});  // 2, 3
  rateTray(b, {274, 313, 307, 382},                            // 4-10
           {{{307, 320}, {319, 333}, {331, 344}, {343, 356}, {355, 368}, {367, 380}}});
  syncTray(b, {380, 425, 309, 378},  // 11-16
           {{{309, 322}, {323, 337}, {337, 350}, {351, 364}, {365, 378}}}, SyncCovers::Normal);
  fader(b, 0, kCanvas);                                                             // 17
  fader(b, 1, kCanvas);                                                             // 18
  for (int d = 0; d < 4; ++d) balance(b, d, {508, 620, 70 + 73 * d, 85 + 73 * d});  // 19-22
  for (int k = 0; k < 4; ++k) outputSection(b, k, 626, 36 + 73 * k);                // 23-50
  pushButton(b, {148, 200, 366, 381}, param::kShrinkMode, "PushSingle.bmp");        // 51 Shrink
  enableButton(b, {252, 316, 248, 262}, param::kAc3Passthrough);                    // 52 AC3
  enableButton(b, {252, 314, 262, 277}, param::kMidiThrough);                       // 53 MIDI
  pairLink(b, 0, kCanvas);                                                          // 54
  enableButton(b, {148, 213, 336, 351}, param::kLinkOutputLevels);                  // 55 link outs
  pan(b, 0, kCanvas);                                                               // 56
  pan(b, 1, kCanvas);                                                               // 57
  pushButton(b, {148, 191, 248, 263}, param::kLoadSettings, "PushDouble1.bmp");     // 58 Load
  pushButton(b, {148, 191, 262, 277}, param::kSaveSettings, "PushDouble2.bmp");     // 59 Save
  pushButton(b, {148, 201, 292, 307}, param::kSoundCardMode, "PushDouble1.bmp");    // 60 SoundCard
  pushButton(b, {148, 198, 306, 321}, param::kTrackMode, "PushDouble2.bmp");        // 61 Track
  floatWindow(b, {42, 91, 366, 381});                                               // 62
  spdifInputLamp(b, {430, 445, 308, 323});                                          // 63
  logo(b, {510, 542, 8, 44});                                                       // 64
  studioButtons(b, 42, 99, {{{248, 263}, {262, 277}, {292, 307}, {306, 321}}}, false);     // 65-68
  adatInputLamp(b, 1, {430, 445, 322, 337}, false);                                        // 69
  adatInputLamp(b, 2, {430, 445, 336, 351}, false);                                        // 70
  for (int j = 0; j < 4; ++j) selector(b, j, {600, 615, 115 + 73 * j, 130 + 73 * j});      // 71-74
  enableButton(b, {42, 96, 336, 351}, param::kPsuHeadroom);                                // 75 PSU
  for (int j = 0; j < 4; ++j) selectorLamp(b, j, {581, 594, 112 + 73 * j, 133 + 73 * j});  // 76-79
  unitSwitch(b, {424, 473, 269, 278});                                                     // 80
  identify(b, {374, 423, 269, 278});                                                       // 81
  unitName(b, {376, 473, 260, 268});                                                       // 82
  solo(b, 0, kCanvas);                                                                     // 83
  solo(b, 1, kCanvas);                                                                     // 84
  mute(b, 0, kCanvas);                                                                     // 85
  mute(b, 1, kCanvas);                                                                     // 86
  balance(b, 4, {508, 620, 362, 377});                                                     // 87
  for (int n = 0; n < 4; ++n) groupTab(b, n);                                              // 88-91
  const int tray = inputTray(b);                                                           // 92
  for (int c = 2; c < 8; ++c) fader(b, c, tray);                                           // 93-98
  for (int q = 1; q < 4; ++q) pairLink(b, q, tray);                                        // 99-101
  for (int c = 2; c < 8; ++c) pan(b, c, tray);   // 102-107
  for (int c = 2; c < 8; ++c) solo(b, c, tray);  // 108-113
  for (int c = 2; c < 8; ++c) mute(b, c, tray);  // 114-119
  return b.finish();
}

}  // namespace

const LayoutTable& normalLayoutTable() {
  static const LayoutTable table = build();
  return table;
}

}  // namespace velmora
