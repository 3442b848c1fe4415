#include "control_panel/mixer/mixer_host.h"

#include "control_panel/hal/unit_coefficients.h"
#include "control_panel/mixer/mix_matrix.h"

namespace velmora {

namespace {

constexpr char kCaption[] = "VelmoraControl PRO";
constexpr char kRateRefusal[] =
    "Setting the sample rate when more than one unit is connected is not supported.  Please "
    "connect each unit individually and set it to the desired sample rate, before connecting all "
    "the units in turn.\n\nSorry for the inconvenience.";
constexpr char kAc3Refusal[] =
    "Changing the AC3 mode when more than one unit is connected is not supported.  Please "
    "connect each unit individually to enable/disable AC3.\n\nSorry for the inconvenience.";

constexpr uint32_t kIdentifyCommand = 2049;

constexpr int kSpdifSolo = param::kInputSolo + 8;
constexpr int kAdat1Solo = param::kInputSolo + 10;
constexpr int kAdat2Solo = param::kInputSolo + 18;

}  // namespace

MixerHost::MixerHost(VelmoraPlugin& plugin, VelmoraHAL& hal, MixerUserInterface& ui)
    : plugin_(plugin), hal_(hal), ui_(ui) {}

float MixerHost::getSampleRate() {
  return hal_.DriverRate();
}

std::unique_ptr<MixEngine> MixerHost::CreateMixEngine(cvAVC& unit) {
  return std::make_unique<MixMatrix>(unit, plugin_);
}

void MixerHost::writeCoefficient(uint32_t index, uint32_t value) {
  hal_.SetValue(index, value);
}

int MixerHost::currentRateIndex() {
  return static_cast<int>(SampleRateCode(static_cast<uint32_t>(hal_.GetSampleRate())));
}

void MixerHost::parameterChanged(int id) {
  const float v = value(id);
  switch (id) {
    case param::kSaveSettings:
    case param::kLoadSettings:
      runDialogAfterEvent([this, save = id == param::kSaveSettings] { runFileDialog(save); });
      return;
    case param::kEditUnitName:
      runDialogAfterEvent([this] { editUnitName(); });
      return;
    case param::kSampleRate:
      selectSampleRate();
      return;
    case param::kPhantom1to4:
      switchWithSilencedInputs(id, param::kAnalogueLevel, 4, coeff::COEFF_PHANTOM_1_4);
      return;
    case param::kPhantom5to8:
      switchWithSilencedInputs(id, param::kAnalogueLevel + 4, 4, coeff::COEFF_PHANTOM_5_8);
      return;
    case param::kInsertInput1:
      switchWithSilencedInputs(id, param::kAnalogueLevel + 4, 1, coeff::COEFF_INSERT_INPUT_1);
      return;
    case param::kInsertInput2:
      switchWithSilencedInputs(id, param::kAnalogueLevel + 5, 1, coeff::COEFF_INSERT_INPUT_2);
      return;
    case param::kIdentify:
      writeCoefficient(coeff::COEFF_IDENTIFY, kIdentifyCommand);
      return;
    case param::kPsuHeadroom:
      writeCoefficient(coeff::COEFF_PSU, v != 0 ? 1 : 0);
      return;
    case param::kMidiThrough:
      writeCoefficient(coeff::COEFF_MIDI_THROUGH, v != 0 ? 1 : 0);
      return;
    case param::kOutputDim:
      writeCoefficient(coeff::COEFF_HW_DIM, v > 0 ? 1 : 0);
      return;
    case param::kSyncSource:
      hal_.SetSyncSource(static_cast<int>(plugin_.getReal(id)));
      setNormalised(param::kSyncLocked, 0);
      return;
    case param::kEnableSpdif:
      if (v <= 0) disableInputSolos(kSpdifSolo, 2);
      return;
    case param::kEnableAdat1:
      if (v <= 0) disableInputSolos(kAdat1Solo, 8);
      return;
    case param::kEnableAdat2:
      if (v <= 0) disableInputSolos(kAdat2Solo, 8);
      return;
    case param::kAc3Passthrough:
      allowAc3(v != 0);
      return;
    case param::kSoundCardMode:
      for (int own : param::kOwnPlayback) setNormalised(own, 1);
      for (int balance : param::kBalances) setNormalised(balance, 1);
      return;
    case param::kTrackMode:
      for (int balance : param::kBalances) setNormalised(balance, 0.5f);
      for (int own : param::kOwnPlayback) setNormalised(own, 0);
      for (int i = 0; i < 8; ++i) setNormalised(param::kAnalogueLevel + i, 0.5f);
      for (int k = 0; k < 4; ++k) {
        if (value(param::kAnalogueLink + k) < 0.1f) {  // exactly 0.1 counts as linked
          setNormalised(param::kAnaloguePan + 2 * k, 0.5f);
          setNormalised(param::kAnaloguePan + 2 * k + 1, 0.5f);
        }
      }
      return;
    default:
      break;
  }
  if (id >= param::kOutputSolo && id < param::kOutputSolo + kOutputPairCount) {
    soloChanged(id - param::kOutputSolo, param::kOutputSolo, param::kOutputMute, kOutputPairCount,
                savedOutputMutes_.data(), true);
  } else if (id >= param::kOutputMute && id < param::kOutputMute + kOutputPairCount) {
    muteChanged(id - param::kOutputMute, param::kOutputSolo, param::kOutputMute, kOutputPairCount,
                true);
  } else if (id >= param::kInputSolo && id < param::kInputSolo + kInputCount) {
    soloChanged(id - param::kInputSolo, param::kInputSolo, param::kInputMute, kInputCount,
                savedInputMutes_.data(), false);
  } else if (id >= param::kInputMute && id < param::kInputMute + kInputCount) {
    muteChanged(id - param::kInputMute, param::kInputSolo, param::kInputMute, kInputCount, false);
  }
}

void MixerHost::soloChanged(int channel, int firstSolo, int firstMute, int count, bool* savedMutes,
                            bool hardwareMute) {
  // Pair 1+2's mute is also the unit's hardware mute.
  auto setMute = [&](int j, bool muted) {
    setNormalised(firstMute + j, muted ? 1.0f : 0.0f);
    if (hardwareMute && j == 0) hal_.SetModeFlag(muted);
  };
  bool other = false;
  for (int j = 0; j < count; ++j) {
    if (j != channel && value(firstSolo + j) != 0) other = true;
  }
  if (value(firstSolo + channel) != 0) {
    if (!other) {
      for (int j = 0; j < count; ++j) savedMutes[j] = value(firstMute + j) > 0;
    }
    for (int j = 0; j < count; ++j) {
      if (j == channel) {
        setMute(j, false);
      } else if (value(firstSolo + j) == 0) {
        setMute(j, true);
      }
    }
  } else if (other) {
    setMute(channel, true);
  } else {
    for (int j = 0; j < count; ++j) setMute(j, savedMutes[j]);
  }
}

void MixerHost::muteChanged(int channel, int firstSolo, int firstMute, int count,
                            bool hardwareMute) {
  const int muteId = firstMute + channel;
  const int soloId = firstSolo + channel;
  if (hardwareMute && channel == 0) hal_.SetModeFlag(value(muteId) > 0);
  bool any = false;
  for (int j = 0; j < count; ++j) {
    if (value(firstSolo + j) != 0) any = true;
  }
  if (value(muteId) != 0) {
    setNormalised(soloId, 0);
    if (any) {
      parameterChanged(soloId);
      setNormalised(muteId, 1);
      // Releasing the solo may have restored pair 1+2 unmuted on the unit too; the user's
      // mute must reach it, or the next read-back of the unit's mute undoes it.
      if (hardwareMute && channel == 0) hal_.SetModeFlag(true);
    }
  } else if (any) {
    setNormalised(soloId, 1);  // the unmuted channel joins the soloed set
  }
}

void MixerHost::disableInputSolos(int firstSolo, int count) {
  for (int id = firstSolo; id < firstSolo + count; ++id) {
    setNormalised(id, 0);
    parameterChanged(id);
  }
}

void MixerHost::switchWithSilencedInputs(int id, int firstLevel, int levels, uint32_t coefficient) {
  if (!VelmoraHAL::IsLargeModel()) return;
  // The unit switches with the affected inputs silenced, so the switch makes no thump.
  std::vector<float> remembered;
  for (int i = 0; i < levels; ++i) {
    remembered.push_back(value(firstLevel + i));
    setNormalised(firstLevel + i, 0);
  }
  hal_.updateAllMixers();
  writeCoefficient(coefficient, value(id) != 0 ? 1 : 0);
  for (int i = 0; i < levels; ++i) setNormalised(firstLevel + i, remembered[i]);
}

void MixerHost::selectSampleRate() {
  if (VelmoraHAL::UnitCount() > 1) {
    ui_.ShowMessageBox(kRateRefusal, kCaption);
    plugin_.setReal(param::kSampleRate, static_cast<float>(currentRateIndex()));
    return;
  }
  const int index = static_cast<int>(plugin_.getReal(param::kSampleRate)) - 1;
  if (index >= 0 && index < static_cast<int>(std::size(kSampleRates))) {
    const uint32_t wanted = kSampleRates[index];
    const int current = hal_.GetSampleRate();
    if (static_cast<int>(wanted) != current && !hal_.SetSampleRate(wanted)) {
      plugin_.setReal(param::kSampleRate,
                      static_cast<float>(SampleRateCode(static_cast<uint32_t>(current))));
    }
  }
  ui_.RefreshRateDependentState();
}

void MixerHost::allowAc3(bool on) {
  if (on == hal_.AC3Passthrough()) return;
  if (VelmoraHAL::UnitCount() > 1) {
    ui_.ShowMessageBox(kAc3Refusal, kCaption);
    plugin_.setReal(param::kAc3Passthrough, hal_.AC3Passthrough() ? 1.0f : 0.0f);
    return;
  }
  hal_.SetAC3Passthrough(on);
}

void MixerHost::runDialogAfterEvent(std::function<void()> dialog) {
  ui_.RunAfterEvent([alive = std::weak_ptr<bool>(alive_), dialog = std::move(dialog)] {
    if (!alive.expired()) dialog();
  });
}

void MixerHost::editUnitName() {
  char name[17];
  if (!hal_.GetUnitName(hal_.CurrentSerial(), name)) return;
  ui_.DetachPanel();
  if (const auto edited = ui_.EditUnitName(name)) {
    if (hal_.SetUnitName(*edited)) ui_.ShowUnitName(edited->substr(0, 16));
  }
  ui_.ReattachPanel();
}

}  // namespace velmora
