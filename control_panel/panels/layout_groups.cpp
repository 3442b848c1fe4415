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
  b.add(inUse, "flLockDisplay", kCanvas, {"InUse.bmp", b.B()}, {param::kInUse});
  b.add(locked, "flLockDisplay", kCanvas, {"Lck.bmp", b.B()}, {param::kSyncLocked});
}

void rateTray(LayoutBuilder& b, Rect tray, const std::array<std::array<int, 2>, 6>& rows) {
  const int parent = b.add(tray, "flTray6", kCanvas, {}, {param::kSampleRate});
  for (int n = 1; n <= 6; ++n) {
    const Rect lamp{tray.left, tray.right, rows[n - 1][0], rows[n - 1][1]};
    if (n <= 4) {
      b.add(lamp, "flRateLed", parent,
            {"SampleRateLed.bmp", "GrayLed.bmp", b.B(), "SampleRateLedMask.bmp", digit(n)},
            {param::kSampleRate, param::kInUse});
    } else {
      b.add(lamp, "flExtLed", parent,
            {"SampleRateLed.bmp", "LEDCover.bmp", "LEDMask.bmp", b.B(), "SampleRateLedMask.bmp",
             digit(n)},
            {param::kSampleRate, param::kInUse, param::kLargeModel});
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
      {2, param::kEnableSpdif, "SPDIFSyncLabelCover.bmp", "SPDIFSyncLabelCover.bmp"},
      {3, param::kEnableAdat1, "ADAT1SyncLabelCover.bmp", "ADAT1SyncLabelCover.bmp"},
      {4, param::kEnableAdat2, "ADAT2SyncLabelCover.bmp", "ADAT2SyncLabelCover.bmp"},
      {5, param::kLargeModel, "WCLKSyncLabelCover.bmp", "ADAT2SyncLabelCover.bmp"},
      {0, param::kSampleRate, "WCLKSyncLabelCover.bmp", "ADAT2SyncLabelCover.bmp"},
  };
  const int parent = b.add(tray, "flTray6", kCanvas, {}, {param::kSyncSource});
  for (int i = 0; i < 5; ++i) {
    const SyncLamp& lamp = kLamps[i];
    b.add({tray.left, tray.right, rows[i][0], rows[i][1]}, "flExtLed2", parent,
          {"TargetSyncLed.bmp", covers == SyncCovers::Normal ? lamp.normalCover : lamp.smallCover,
           "SyncLabelMask.bmp", b.B(), "SampleRateLedMask.bmp", "CurrentSyncLed.bmp",
           digit(lamp.source)},
          {param::kSyncSource, param::kSyncLocked, lamp.enable, param::kSyncInUse});
  }
}

void outputSection(LayoutBuilder& b, int k, int left, int top) {
  // The four output pairs of a per-pair parameter, own pair first; the dim buttons list them
  // in an order of their own.
  static constexpr int kOwnFirst[4][4] = {{0, 1, 2, 3}, {1, 0, 2, 3}, {2, 1, 0, 3}, {3, 2, 1, 0}};
  static constexpr int kDimOrder[4][4] = {{0, 1, 2, 3}, {1, 0, 2, 3}, {2, 3, 1, 0}, {3, 2, 1, 0}};
  const int canvas = b.add({left, left + 55, top, top + 53}, "flAlphaCanvas", kCanvas, {b.B(), ""});
  auto at = [&](int l, int r, int t, int bottom) {
    return Rect{left + l, left + r, top + t, top + bottom};
  };
  auto four = [k](int first, const int(&order)[4][4], std::vector<int> more) {
    std::vector<int> list;
    for (const int pair : order[k]) list.push_back(first + pair);
    list.insert(list.end(), more.begin(), more.end());
    return list;
  };
  const std::vector<int> linked = {param::kLinkOutputLevels, param::kHardwareControl + k};
  b.add(at(20, 35, 38, 53), "flAlphaButton3", canvas, b.lit("Mute.bmp"),
        four(param::kOutputMute, kOwnFirst, linked));
  b.add(at(40, 55, 24, 39), "flAlphaButton", canvas, b.lit("Solo.bmp"), {param::kOutputSolo + k});
  b.add(at(0, 15, 24, 39), "flAlphaButton3", canvas, b.lit("Dim.bmp"),
        four(param::kOutputDim, kDimOrder, linked));
  b.add(at(32, 47, 0, 15), "flAlphaButton", canvas, b.lit("Active.bmp"), {param::kPad + k});
  b.add(at(8, 23, 0, 15), "flAlphaButton3", canvas, b.lit("Hw.bmp"),
        four(param::kHardwareControl, kOwnFirst, {param::kLinkOutputLevels}));
  b.add(at(14, 41, 11, 36), "flKnob5", canvas,
        {"KnobRotation.bmp", "KnobMask.bmp", "KnobTrackRotation.bmp", "KnobTrackMask.bmp", b.B()},
        four(param::kOutputLevel, kOwnFirst, linked));
}

void balance(LayoutBuilder& b, int d, Rect rect) {
  b.add(rect, "flHSlider", kCanvas,
        {"XFaderHandle.bmp", "XFaderHandleMask.bmp", "XFaderTrayMask.bmp", b.B()},
        {param::kBalances[d]});
}

void selector(LayoutBuilder& b, int j, Rect rect) {
  b.add(rect, "flPushButton", kCanvas, b.lit("PushSwitch.bmp"), {param::kOwnPlayback[j]});
}

void selectorLamp(LayoutBuilder& b, int j, Rect rect) {
  b.add(rect, "flFXLed", kCanvas,
        {"selled1.bmp", "selled2.bmp", "selled1Mask.bmp", "selled2Mask.bmp", b.B()},
        {param::kOwnPlayback[j]});
}

void pushButton(LayoutBuilder& b, Rect rect, int parameter, const char* image) {
  b.add(rect, "flPushButton", kCanvas, b.lit(image), {parameter});
}

void enableButton(LayoutBuilder& b, Rect rect, int parameter) {
  b.add(rect, "flButton", kCanvas, b.lit("Enable.bmp"), {parameter});
}

void floatWindow(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flButton", kCanvas, b.lit("PushSingle.bmp"), {param::kFloatWindow});
}

void studioButtons(LayoutBuilder& b, int left, int right,
                   const std::array<std::array<int, 2>, 4>& rows, bool shrink) {
  struct StudioButton {
    int parameter;
    const char* normalCover;
    const char* shrinkCover;
  };
  static constexpr StudioButton kButtons[4] = {
      {param::kPhantom5to8, "Phantom1Cover.bmp", "ShrinkPhantom1Cover.bmp"},
      {param::kPhantom1to4, "Phantom2Cover.bmp", "ShrinkPhantom2Cover.bmp"},
      {param::kInsertInput1, "Insert1Cover.bmp", "ShrinkInsert1Cover.bmp"},
      {param::kInsertInput2, "Insert2Cover.bmp", "ShrinkInsert2Cover.bmp"},
  };
  for (int i = 0; i < 4; ++i) {
    const StudioButton& button = kButtons[i];
    b.add({left, right, rows[i][0], rows[i][1]}, "flIsStudioButton", kCanvas,
          {"Enable.bmp", "ButtonLitMask.bmp", b.B(),
           shrink ? button.shrinkCover : button.normalCover, "CompactButtonMask.bmp"},
          {button.parameter, param::kLargeModel});
  }
}

void spdifInputLamp(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flSyncButton", kCanvas, b.lit("Enable.bmp"), {param::kEnableSpdif});
}

void adatInputLamp(LayoutBuilder& b, int adat, Rect rect, bool numbered) {
  Lines lines{"Enable.bmp", "ButtonLitMask.bmp", b.B(),
              adat == 1 ? "EnableADAT1Cover.bmp" : "EnableADAT2Cover.bmp",
              adat == 1 ? "EnableADAT1Mask.bmp" : "EnableADAT2Mask.bmp"};
  if (numbered) lines.push_back(digit(adat));
  b.add(rect, "flADATButton", kCanvas, lines,
        {adat == 1 ? param::kEnableAdat1 : param::kEnableAdat2,
         adat == 1 ? param::kAdat1Available : param::kAdat2Available});
}

void logo(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flLogoButton", kCanvas, {}, {param::kLogo});
}

void identify(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flPushButton", kCanvas, {"UnitID.bmp", "Rubbish.bmp", b.B()}, {param::kIdentify});
}

void unitSwitch(LayoutBuilder& b, Rect rect) {
  b.add(rect, "flPushButton", kCanvas, {"UnitSwitch.bmp", "Rubbish.bmp", b.B()},
        {param::kSelectUnit});
}

int unitName(LayoutBuilder& b, Rect rect) {
  return b.add(rect, "flTextButton", kCanvas,
               {"font.bmp", "FontMask.bmp", b.B(), "JUSTIFY_LEFT", "dummy text"},
               {param::kEditUnitName});
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
// Where each group's channels start among the 26 inputs.
constexpr int kSpdifInputs = 8;
constexpr int kAdat1Inputs = 10;
constexpr int kAdat2Inputs = 18;

int spdifLevel(int c, int x) {  // S(x)
  return c < 2 ? param::kSpdifLevel + x : param::kAnalogueLevel + x;
}
int spdifPan(int c) {  // P(c)
  return c < 2 ? param::kSpdifPan + c : param::kAnaloguePan + c;
}
int spdifLink(int c) {  // K
  return c < 2 ? param::kSpdifLink : param::kAnalogueLink + c / 2;
}
// The solo or mute of strip c in each group: analogue, S/PDIF (strips 1-2 only), ADAT 1, 2.
std::vector<int> perGroup(int first, int c) {
  return {param::kInputMixGroup, first + c, c < 2 ? first + kSpdifInputs + c : first + c,
          first + kAdat1Inputs + c, first + kAdat2Inputs + c};
}

}  // namespace

void fader(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c), p = c ^ 1, q = c / 2;
  b.add({x0, x0 + 21, 64, 192}, "flVSlider2", parent,
        {"FaderHandle.bmp", "FaderHandleMask.bmp", "FaderTrayMask.bmp", b.B()},
        {param::kInputMixGroup, param::kAnalogueLevel + c, param::kAnalogueLevel + p,
         param::kAnalogueLink + q, spdifLevel(c, c), spdifLevel(c, p), spdifLink(c),
         param::kAdat1Level + c, param::kAdat1Level + p, param::kAdat1Link + q,
         param::kAdat2Level + c, param::kAdat2Level + p, param::kAdat2Link + q});
}

void pan(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c), q = c / 2;
  b.add({x0 - 4, x0 + 23, 25, 50}, "flKnob4", parent,
        {"KnobRotation.bmp", "KnobMask.bmp", "KnobTrackRotation2.bmp", "KnobTrackMask2.bmp", b.B(),
         c % 2 == 0 ? "0" : "1"},
        {param::kInputMixGroup, param::kAnaloguePan + c, param::kAnalogueLink + q, spdifPan(c),
         spdifLink(c), param::kAdat1Pan + c, param::kAdat1Link + q, param::kAdat2Pan + c,
         param::kAdat2Link + q});
}

void solo(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c);
  b.add({x0 - 9, x0 + 6, 199, 214}, "flInputButton", parent, b.lit("Solo.bmp"),
        perGroup(param::kInputSolo, c));
}

void mute(LayoutBuilder& b, int c, int parent) {
  const int x0 = x0Of(c);
  b.add({x0 + 6, x0 + 21, 199, 214}, "flInputButton", parent, b.lit("Mute.bmp"),
        perGroup(param::kInputMute, c));
}

void pairLink(LayoutBuilder& b, int q, int parent) {
  b.add({72 + 120 * q, 87 + 120 * q, 26, 41}, "flLinkButton", parent, b.lit("Enable.bmp"),
        {param::kInputMixGroup, param::kAnalogueLink + q, spdifLink(2 * q), param::kAdat1Link + q,
         param::kAdat2Link + q});
}

void groupTab(LayoutBuilder& b, int n) {
  switch (n) {
    case 0:
      b.add({4, 17, 14, 66}, "flInputMixTabButton", kCanvas,
            {"TabAnalogOn.bmp", b.B(), b.B(), "0", ""}, {param::kInputMixGroup});
      break;
    case 1:
      b.add({4, 17, 67, 119}, "flInputMixTabButton", kCanvas,
            {"TabSPDIFOn.bmp", "TabSPDIFDisable.bmp", b.B(), "1", ""},
            {param::kInputMixGroup, param::kEnableSpdif});
      break;
    case 2:
      b.add({4, 17, 119, 165}, "flInputMixTabButton", kCanvas,
            {"TabADAT1On.bmp", "TabADAT1Disable.bmp", b.B(), "2"},
            {param::kInputMixGroup, param::kEnableAdat1});
      break;
    default:
      b.add({4, 17, 165, 214}, "flInputMixTabButton", kCanvas,
            {"TabADAT2On.bmp", "TabADAT2Disable.bmp", b.B(), "3"},
            {param::kInputMixGroup, param::kEnableAdat2});
      break;
  }
}

int inputTray(LayoutBuilder& b) {
  return b.add({132, 491, 22, 216}, "flADATTray", kCanvas,
               {"FaderCover.bmp", "FaderMask.bmp", b.B()}, {param::kInputMixGroup});
}

}  // namespace velmora::layout
