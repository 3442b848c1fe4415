// The AC3 layout, 405 × 344, shown above 96 kHz: no input mixer, no routing. Rows in table
// order; coordinates as placed.
#include "control_panel/panels/layout_groups.h"
#include "control_panel/panels/layout_tables.h"

namespace velmora {
namespace {

using namespace layout;

LayoutTable build() {
  LayoutBuilder b(405, 344, "BackgroundAC3.bmp");            // 0, 1
  statusLamps(b, {70, 97, 285, 307}, {204, 237, 285, 307});  // 2, 3
  rateTray(b, {26, 65, 260, 338},                            // 4-10
           {{{260, 273}, {272, 286}, {284, 297}, {296, 309}, {308, 321}, {320, 333}}});
  syncTray(b, {132, 177, 261, 336},  // 11-16
           {{{261, 274}, {276, 290}, {290, 303}, {304, 317}, {318, 331}}}, SyncCovers::Small);
  for (int k = 0; k < 4; ++k) outputSection(b, k, 322, 34 + 80 * k);            // 17-44
  enableButton(b, {25, 89, 204, 218}, param::kAc3Passthrough);                  // 45 AC3
  enableButton(b, {25, 87, 218, 233}, param::kMidiThrough);                     // 46 MIDI
  enableButton(b, {131, 196, 128, 143}, param::kLinkOutputLevels);              // 47 link outs
  pushButton(b, {131, 174, 24, 39}, param::kLoadSettings, "PushDouble1.bmp");   // 48 Load
  pushButton(b, {131, 174, 38, 53}, param::kSaveSettings, "PushDouble2.bmp");   // 49 Save
  pushButton(b, {131, 184, 76, 91}, param::kSoundCardMode, "PushDouble1.bmp");  // 50 SoundCard
  pushButton(b, {131, 181, 90, 105}, param::kTrackMode, "PushDouble2.bmp");     // 51 Track
  floatWindow(b, {25, 74, 166, 181});                                           // 52
  spdifInputLamp(b, {182, 197, 261, 276});                                      // 53
  logo(b, {202, 234, 8, 44});                                                   // 54
  studioButtons(b, 25, 82, {{{24, 39}, {38, 53}, {76, 91}, {90, 105}}}, true);  // 55-58
  adatInputLamp(b, 1, {182, 197, 275, 290}, true);                              // 59
  adatInputLamp(b, 2, {182, 197, 289, 304}, true);                              // 60
  enableButton(b, {25, 79, 128, 143}, param::kPsuHeadroom);                     // 61 PSU
  unitSwitch(b, {176, 225, 230, 239});                                          // 62
  identify(b, {126, 175, 230, 239});                                            // 63
  unitName(b, {128, 225, 221, 229});                                            // 64
  return b.finish();
}

}  // namespace

const LayoutTable& ac3LayoutTable() {
  static const LayoutTable table = build();
  return table;
}

}  // namespace velmora
