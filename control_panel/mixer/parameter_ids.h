// The ids of the mixer's parameters, by name: what the mixer logic, the mix file and the
// panels' layout tables refer to. Only numbers, so that any layer may include it.
#pragma once

namespace velmora {

// The 26 mixer inputs, in this order everywhere: analogue 1-8, S/PDIF 1-2, ADAT 1 channels
// 1-8, ADAT 2 channels 1-8.
inline constexpr int kInputCount = 26;
inline constexpr int kOutputPairCount = 4;

namespace param {
inline constexpr int kHardwareControl = 0;  // 0-3, per output pair
inline constexpr int kPad = 4;              // 4-7
inline constexpr int kOutputSolo = 8;       // 8-11
inline constexpr int kOutputMute = 12;      // 12-15
inline constexpr int kOutputDim = 16;       // 16-19
inline constexpr int kOutputLevel = 20;     // 20-23
inline constexpr int kLinkOutputLevels = 24;
inline constexpr int kIdentify = 25;
inline constexpr int kEditUnitName = 26;
inline constexpr int kSelectUnit = 27;
inline constexpr int kPhantom1to4 = 28;
inline constexpr int kPhantom5to8 = 29;
inline constexpr int kInsertInput1 = 30;
inline constexpr int kInsertInput2 = 31;
inline constexpr int kPsuHeadroom = 32;
inline constexpr int kMidiThrough = 33;
inline constexpr int kAc3Passthrough = 34;
inline constexpr int kLogo = 35;
inline constexpr int kLoadSettings = 36;
inline constexpr int kSaveSettings = 37;
inline constexpr int kFloatWindow = 38;
inline constexpr int kShrinkMode = 39;
inline constexpr int kExpandMode = 40;
inline constexpr int kSampleRate = 41;  // index 1-6
inline constexpr int kSyncSource = 42;
inline constexpr int kSyncInUse = 43;
inline constexpr int kInUse = 44;
inline constexpr int kSyncLocked = 45;
inline constexpr int kEnableSpdif = 46;
inline constexpr int kEnableAdat1 = 47;
inline constexpr int kEnableAdat2 = 48;
inline constexpr int kAdat1Available = 49;
inline constexpr int kAdat2Available = 50;
inline constexpr int kSoundCardMode = 51;
inline constexpr int kTrackMode = 52;
inline constexpr int kBalances[] = {53, 54, 56, 58, 60};  // per destination
inline constexpr int kOwnPlayback[] = {55, 57, 59, 61};   // destinations 1-4
inline constexpr int kAnalogueLevel = 62;                 // 62-69
inline constexpr int kAnaloguePan = 70;                   // 70-77
inline constexpr int kInputSolo = 78;                     // 78-103, per input
inline constexpr int kInputMute = 104;                    // 104-129, per input
inline constexpr int kAnalogueLink = 130;                 // 130-133, per pair
inline constexpr int kSpdifLevel = 134;
inline constexpr int kSpdifPan = 136;  // 136-137
inline constexpr int kSpdifLink = 138;
inline constexpr int kAdat1Level = 139;
inline constexpr int kAdat1Pan = 147;   // 147-154
inline constexpr int kAdat1Link = 155;  // 155-158, per pair
inline constexpr int kAdat2Level = 159;
inline constexpr int kAdat2Pan = 167;   // 167-174
inline constexpr int kAdat2Link = 175;  // 175-178, per pair
inline constexpr int kInputMixGroup = 179;
inline constexpr int kLargeModel = 180;
}  // namespace param

}  // namespace velmora
