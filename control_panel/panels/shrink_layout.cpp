// The shrink layout, 456 × 373: the normal layout without the input mixer. Rows in table
// order; coordinates as placed.
#include "control_panel/panels/layout_groups.h"
#include "control_panel/panels/layout_tables.h"

namespace velmora {
namespace {

using namespace layout;

LayoutTable build() {
  LayoutBuilder b(456, 373, "BackgroundShrink.bmp");         // 0, 1
  statusLamps(b, {70, 97, 309, 331}, {204, 237, 311, 333});  // 2, 3
  rateTray(b, {26, 65, 286, 364},                            // 4-10
           {{{286, 299}, {298, 312}, {310, 323}, {322, 335}, {334, 347}, {345, 358}}});
  syncTray(b, {132, 177, 286, 361},  // 11-16
           {{{286, 299}, {301, 315}, {315, 328}, {329, 342}, {343, 356}}}, SyncCovers::Small);
  for (int d = 0; d < 4; ++d) balance(b, d, {260, 372, 63 + 70 * d, 78 + 70 * d});  // 17-20
  for (int k = 0; k < 4; ++k) outputSection(b, k, 378, 29 + 70 * k);                // 21-48
  pushButton(b, {131, 183, 185, 200}, param::kExpandMode, "PushSingle.bmp");        // 49 Expand
  enableButton(b, {25, 89, 228, 242}, param::kAc3Passthrough);                      // 50 AC3
  enableButton(b, {25, 87, 242, 257}, param::kMidiThrough);                         // 51 MIDI
  enableButton(b, {131, 196, 142, 157}, param::kLinkOutputLevels);                  // 52 link outs
  pushButton(b, {131, 174, 28, 43}, param::kLoadSettings, "PushDouble1.bmp");       // 53 Load
  pushButton(b, {131, 174, 42, 57}, param::kSaveSettings, "PushDouble2.bmp");       // 54 Save
  pushButton(b, {131, 184, 85, 100}, param::kSoundCardMode, "PushDouble1.bmp");     // 55 SoundCard
  pushButton(b, {131, 181, 99, 114}, param::kTrackMode, "PushDouble2.bmp");         // 56 Track
  floatWindow(b, {25, 74, 185, 200});                                               // 57
  spdifInputLamp(b, {182, 197, 287, 302});                                          // 58
  logo(b, {202, 234, 8, 44});                                                       // 59
  studioButtons(b, 25, 82, {{{28, 43}, {42, 57}, {85, 100}, {99, 114}}}, true);     // 60-63
  adatInputLamp(b, 1, {182, 197, 301, 316}, true);                                  // 64
  adatInputLamp(b, 2, {182, 197, 315, 330}, true);                                  // 65
  for (int j = 0; j < 4; ++j) selector(b, j, {352, 367, 105 + 70 * j, 120 + 70 * j});      // 66-69
  enableButton(b, {25, 79, 142, 157}, param::kPsuHeadroom);                                // 70 PSU
  for (int j = 0; j < 4; ++j) selectorLamp(b, j, {333, 346, 102 + 70 * j, 123 + 70 * j});  // 71-74
  unitSwitch(b, {176, 225, 248, 257});                                                     // 75
  identify(b, {126, 175, 248, 257});                                                       // 76
  unitName(b, {128, 225, 239, 247});                                                       // 77
  balance(b, 4, {260, 372, 343, 358});                                                     // 78
  return b.finish();
}

}  // namespace

const LayoutTable& shrinkLayoutTable() {
  static const LayoutTable table = build();
  return table;
}

}  // namespace velmora
