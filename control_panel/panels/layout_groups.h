// The widget groups the three main layouts share, placed by coordinates the layouts give.
// Parameter ids are the mixer's, by name (control_panel/mixer/parameter_ids.h).
#pragma once

#include <array>

#include "control_panel/mixer/parameter_ids.h"
#include "control_panel/panels/layout_builder.h"

namespace velmora::layout {

// The sync-lamp covers differ per layout (the word-clock and internal lamps).
enum class SyncCovers { Normal, Small };

// Status lamps: In Use (44) and Sync Locked (45).
void statusLamps(LayoutBuilder& b, Rect inUse, Rect locked);
// The rate tray (41) and its six lamps, n = 1..6 from the top; lamps as wide as the tray.
void rateTray(LayoutBuilder& b, Rect tray, const std::array<std::array<int, 2>, 6>& rows);
// The sync tray (42) and its five lamps: S/PDIF, ADAT 1, ADAT 2, word clock, internal.
void syncTray(LayoutBuilder& b, Rect tray, const std::array<std::array<int, 2>, 5>& rows,
              SyncCovers covers);
// Output section k (0-3): the 55 × 53 canvas at (left, top) and its six children.
void outputSection(LayoutBuilder& b, int k, int left, int top);
// The balance of destination d (0-4).
void balance(LayoutBuilder& b, int d, Rect rect);
// The playback selector of destination j + 1 (j = 0..3), and its lamp.
void selector(LayoutBuilder& b, int j, Rect rect);
void selectorLamp(LayoutBuilder& b, int j, Rect rect);

// Unit settings.
void pushButton(LayoutBuilder& b, Rect rect, int parameter, const char* image);
void enableButton(LayoutBuilder& b, Rect rect, int parameter);  // flButton "Enable.bmp" lit
void floatWindow(LayoutBuilder& b, Rect rect);
// Phantom 5-8, Phantom 1-4, Insert 1, Insert 2 at `left`..`right` in the four rows; `shrink`
// chooses the shrink and AC3 covers.
void studioButtons(LayoutBuilder& b, int left, int right,
                   const std::array<std::array<int, 2>, 4>& rows, bool shrink);
void spdifInputLamp(LayoutBuilder& b, Rect rect);
// The ADAT input lamps; `numbered` adds the line "1" or "2" (shrink and AC3).
void adatInputLamp(LayoutBuilder& b, int adat, Rect rect, bool numbered);
void logo(LayoutBuilder& b, Rect rect);
void identify(LayoutBuilder& b, Rect rect);
void unitSwitch(LayoutBuilder& b, Rect rect);
// Returns the row of the unit-name label.
int unitName(LayoutBuilder& b, Rect rect);

// The input mixer of the normal layout (channel strip c = 0..7, pair q = 0..3).
void fader(LayoutBuilder& b, int c, int parent);
void pan(LayoutBuilder& b, int c, int parent);
void solo(LayoutBuilder& b, int c, int parent);
void mute(LayoutBuilder& b, int c, int parent);
void pairLink(LayoutBuilder& b, int q, int parent);
void groupTab(LayoutBuilder& b, int n);
// The tray over strips 3-8; returns its row.
int inputTray(LayoutBuilder& b);

}  // namespace velmora::layout
