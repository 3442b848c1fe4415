#include "control_panel/panels/layout_groups.h"

#include <string>

namespace velmora::layout {
namespace {

constexpr int kCanvas = LayoutBuilder::kCanvas;

std::string digit(int n) {
  return std::to_string(n);
}

}  // namespace

void statusLamps(LayoutBuilder& b, Rect inUse, Rect locked) {
  b.add(inUse, "flLockDisplay", kCanvas, {"InUse.bmp", b.B()}, {44});
  b.add(locked, "flLockDisplay", kCanvas, {"Lck.bmp", b.B()}, {45});
}

void rateTray(LayoutBuilder& b, Rect tray, const std::array<std::array<int, 2>, 6>& rows) {
  const int parent = b.add(tray, "flTray6", kCanvas, {}, {41});
  for (int n = 1; n <= 6; ++n) {
    const Rect lamp{tray.left, tray.right, rows[n - 1][0], rows[n - 1][1]};
    if (n <= 4) {
      b.add(lamp, "flRateLed", parent,
            {"SampleRateLed.bmp", "GrayLed.bmp", b.B(), "SampleRateLedMask.bmp", digit(n)},
            {41, 44});
    } else {
      b.add(lamp, "flExtLed", parent,
            {"SampleRateLed.bmp", "LEDCover.bmp", "LEDMask.bmp", b.B(), "SampleRateLedMask.bmp",
             digit(n)},
            {41, 44, 180});
    }
  }
}

void syncTray(LayoutBuilder& b, Rect tray, const std::array<std::array<int, 2>, 5>& rows,
              SyncCovers covers) {
  struct SyncLamp {
    int source;
    int enable;
    const char* normalCover;
    const char* smallCover;
  };
  static constexpr SyncLamp kLamps[5] = {
      {2, 46, "SPDIFSyncLabelCover.bmp", "SPDIFSyncLabelCover.bmp"},
      {3, 47, "ADAT1SyncLabelCover.bmp", "ADAT1SyncLabelCover.bmp"},
      {4, 48, "ADAT2SyncLabelCover.bmp", "ADAT2SyncLabelCover.bmp"},
      {5, 180, "WCLKSyncLabelCover.bmp", "ADAT2SyncLabelCover.bmp"},
      {0, 41, "WCLKSyncLabelCover.bmp", "ADAT2SyncLabelCover.bmp"},
  };
  const int parent = b.add(tray, "flTray6", kCanvas, {}, {42});
  for (int i = 0; i < 5; ++i) {
    const SyncLamp& lamp = kLamps[i];
    b.add({tray.left, tray.right, rows[i][0], rows[i][1]}, "flExtLed2", parent,
          {"TargetSyncLed.bmp", covers == SyncCovers::Normal ? lamp.normalCover : lamp.smallCover,
           "SyncLabelMask.bmp", b.B(), "SampleRateLedMask.bmp", "CurrentSyncLed.bmp",
           digit(lamp.source)},
          {42, 45, lamp.enable, 43});
  }
}

void outputSection(LayoutBuilder& b, int k, int left, int top) {
  // The four-id lists, own pair first.
  static constexpr int M[4][4] = {
      {12, 13, 14, 15}, {13, 12, 14, 15}, {14, 13, 12, 15}, {15, 14, 13, 12}};
  static constexpr int D[4][4] = {
      {16, 17, 18, 19}, {17, 16, 18, 19}, {18, 19, 17, 16}, {19, 18, 17, 16}};
  static constexpr int H[4][4] = {{0, 1, 2, 3}, {1, 0, 2, 3}, {2, 1, 0, 3}, {3, 2, 1, 0}};
  static constexpr int L[4][4] = {
      {20, 21, 22, 23}, {21, 20, 22, 23}, {22, 21, 20, 23}, {23, 22, 21, 20}};
  const int canvas = b.add({left, left + 55, top, top + 53}, "flAlphaCanvas", kCanvas, {b.B(), ""});
  auto at = [&](int l, int r, int t, int bottom) {
    return Rect{left + l, left + r, top + t, top + bottom};
  };
  auto four = [](const int(&ids)[4][4], int k, std::vector<int> more) {
    std::vector<int> list(ids[k], ids[k] + 4);
    list.insert(list.end(), more.begin(), more.end());
    return list;
  };
  b.add(at(20, 35, 38, 53), "flAlphaButton3", canvas, b.lit("Mute.bmp"), four(M, k, {24, k}));
  b.add(at(40, 55, 24, 39), "flAlphaButton", canvas, b.lit("Solo.bmp"), {8 + k});
  b.add(at(0, 15, 24, 39), "flAlphaButton3", canvas, b.lit("Dim.bmp"), four(D, k, {24, k}));
  b.add(at(32, 47, 0, 15), "flAlphaButton", canvas, b.lit("Active.bmp"), {4 + k});
  b.add(at(8, 23, 0, 15), "flAlphaButton3", canvas, b.lit("Hw.bmp"), four(H, k, {24}));
  b.add(at(14, 41, 11, 36), "flKnob5", canvas,
        {"KnobRotation.bmp", "KnobMask.bmp", "KnobTrackRotation.bmp", "KnobTrackMask.bmp", b.B()},
        four(L, k, {24, k}));
}

void balance(LayoutBuilder& b, int d, Rect rect) {
  static constexpr int kBalance[5] = {53, 54, 56, 58, 60};
  b.add(rect, "flHSlider", kCanvas,
        {"XFaderHandle.bmp", "XFaderHandleMask.bmp", "XFaderTrayMask.bmp", b.B()}, {kBalance[d]});
}

constexpr int kOwnPlayback[4] = {55, 57, 59, 61};

void selector(LayoutBuilder& b, int j, Rect rect) {
  b.add(rect, "flPushButton", kCanvas, b.lit("PushSwitch.bmp"), {kOwnPlayback[j]});
}

void selectorLamp(LayoutBuilder& b, int j, Rect rect) {
  b.add(rect, "flFXLed", kCanvas,
        {"selled1.bmp", "selled2.bmp", "selled1Mask.bmp", "selled2Mask.bmp", b.B()},
        {kOwnPlayback[j]});
}

void pushButton(LayoutBuilder& b, Rect rect, int parameter, const char* image) {
  b.add(rect, "flPushButton", kCanvas, b.lit(image), {parameter});
}

void enableButton(LayoutBuilder& b, Rect rect, int parameter) {
  b.add(rect, "flButton", kCanvas, b.lit("Enable.bmp"), {parameter});
}

void floatWindow(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flButton", kCanvas, b.lit("PushSingle.bmp"), {38});
}

void studioButtons(LayoutBuilder& b, int left, int right,
                   const std::array<std::array<int, 2>, 4>& rows, bool shrink) {
  struct StudioButton {
    int parameter;
    const char* normalCover;
    const char* shrinkCover;
  };
  static constexpr StudioButton kButtons[4] = {
      {29, "Phantom1Cover.bmp", "ShrinkPhantom1Cover.bmp"},
      {28, "Phantom2Cover.bmp", "ShrinkPhantom2Cover.bmp"},
      {30, "Insert1Cover.bmp", "ShrinkInsert1Cover.bmp"},
      {31, "Insert2Cover.bmp", "ShrinkInsert2Cover.bmp"},
  };
  for (int i = 0; i < 4; ++i) {
    const StudioButton& button = kButtons[i];
    b.add({left, right, rows[i][0], rows[i][1]}, "flIsStudioButton", kCanvas,
          {"Enable.bmp", "ButtonLitMask.bmp", b.B(),
           shrink ? button.shrinkCover : button.normalCover, "CompactButtonMask.bmp"},
          {button.parameter, 180});
  }
}

void spdifInputLamp(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flSyncButton", kCanvas, b.lit("Enable.bmp"), {46});
}

void adatInputLamp(LayoutBuilder& b, int adat, Rect rect, bool numbered) {
  Lines lines{"Enable.bmp", "ButtonLitMask.bmp", b.B(),
              adat == 1 ? "EnableADAT1Cover.bmp" : "EnableADAT2Cover.bmp",
              adat == 1 ? "EnableADAT1Mask.bmp" : "EnableADAT2Mask.bmp"};
  if (numbered) lines.push_back(digit(adat));
  b.add(rect, "flADATButton", kCanvas, lines, {adat == 1 ? 47 : 48, adat == 1 ? 49 : 50});
}

void logo(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flLogoButton", kCanvas, {}, {35});
}

void identify(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flPushButton", kCanvas, {"UnitID.bmp", "Rubbish.bmp", b.B()}, {25});
}

void unitSwitch(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flPushButton", kCanvas, {"UnitSwitch.bmp", "Rubbish.bmp", b.B()}, {27});
}

int unitName(LayoutBuilder& b, Rect rect) {
  return b.add(rect, "flTextButton", kCanvas,
               {"font.bmp", "FontMask.bmp", b.B(), "JUSTIFY_LEFT", "dummy text"}, {26});
}

// ---- The input mixer: the strip rule ----
//
// Strip c shows channel c of the selected group; x0 = 40 + 60c, partner p = c XOR 1, pair
// q = c / 2. In the S/PDIF group only strips 1-2 exist; strips 3-8 keep the analogue ids
// there, since the tray covers them.
namespace {

int x0Of(int c) {
  return 40 + 60 * c;
}
int spdifLevel(int c, int x) {  // S(x)
  return c < 2 ? 134 + x : 62 + x;
}
int spdifPan(int c) {  // P(c)
  return c < 2 ? 136 + c : 70 + c;
}
int spdifLink(int c) {  // K
  return c < 2 ? 138 : 130 + c / 2;
}

}  // namespace

void fader(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c), p = c ^ 1, q = c / 2;
  b.add({x0, x0 + 21, 64, 192}, "flVSlider2", parent,
        {"FaderHandle.bmp", "FaderHandleMask.bmp", "FaderTrayMask.bmp", b.B()},
        {179, 62 + c, 62 + p, 130 + q, spdifLevel(c, c), spdifLevel(c, p), spdifLink(c), 139 + c,
         139 + p, 155 + q, 159 + c, 159 + p, 175 + q});
}

void pan(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c), q = c / 2;
  b.add({x0 - 4, x0 + 23, 25, 50}, "flKnob4", parent,
        {"KnobRotation.bmp", "KnobMask.bmp", "KnobTrackRotation2.bmp", "KnobTrackMask2.bmp", b.B(),
         c % 2 == 0 ? "0" : "1"},
        {179, 70 + c, 130 + q, spdifPan(c), spdifLink(c), 147 + c, 155 + q, 167 + c, 175 + q});
}

void solo(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c);
  b.add({x0 - 9, x0 + 6, 199, 214}, "flInputButton", parent, b.lit("Solo.bmp"),
        {179, 78 + c, c < 2 ? 86 + c : 78 + c, 88 + c, 96 + c});
}

void mute(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c);
  b.add({x0 + 6, x0 + 21, 199, 214}, "flInputButton", parent, b.lit("Mute.bmp"),
        {179, 104 + c, c < 2 ? 112 + c : 104 + c, 114 + c, 122 + c});
}

void pairLink(LayoutBuilder& b, int q, int parent) {
  b.add({72 + 120 * q, 87 + 120 * q, 26, 41}, "flLinkButton", parent, b.lit("Enable.bmp"),
        {179, 130 + q, spdifLink(2 * q), 155 + q, 175 + q});
}

void groupTab(LayoutBuilder& b, int n) {
  switch (n) {
    case 0:
      b.add({4, 17, 14, 66}, "flInputMixTabButton", kCanvas,
            {"TabAnalogOn.bmp", b.B(), b.B(), "0", ""}, {179});
      break;
    case 1:
      b.add({4, 17, 67, 119}, "flInputMixTabButton", kCanvas,
            {"TabSPDIFOn.bmp", "TabSPDIFDisable.bmp", b.B(), "1", ""}, {179, 46});
      break;
    case 2:
      b.add({4, 17, 119, 165}, "flInputMixTabButton", kCanvas,
            {"TabADAT1On.bmp", "TabADAT1Disable.bmp", b.B(), "2"}, {179, 47});
      break;
    default:
      b.add({4, 17, 165, 214}, "flInputMixTabButton", kCanvas,
            {"TabADAT2On.bmp", "TabADAT2Disable.bmp", b.B(), "3"}, {179, 48});
      break;
  }
}

int inputTray(LayoutBuilder& b) {
  return b.add({132, 491, 22, 216}, "flADATTray", kCanvas,
               {"FaderCover.bmp", "FaderMask.bmp", b.B()}, {179});
}

}  // namespace velmora::layout
