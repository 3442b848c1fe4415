// Saving and loading mix files, and switching units with their default mix files.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

#include "control_panel/hal/unit_coefficients.h"
#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/mixer_host.h"
#include "platform/atomic_file.h"

namespace velmora {

namespace {

constexpr char kCaption[] = "VelmoraControl PRO";
constexpr char kErrorCaption[] = "Error";
// A mix file is under a kilobyte; anything far larger is not one.
constexpr std::streamsize kMaxMixFileSize = 1 << 20;

// Parameters a loaded mix never changes: the unit's own state, window modes, status lamps.
const std::set<int> kNotLoaded = {
    param::kEditUnitName, param::kSelectUnit,   param::kPhantom1to4,  param::kPhantom5to8,
    param::kLogo,         param::kLoadSettings, param::kSaveSettings, param::kFloatWindow,
    param::kShrinkMode,   param::kExpandMode,   param::kInUse,        param::kSyncLocked,
    param::kEnableAdat1,  param::kEnableAdat2,  param::kLargeModel,
};

constexpr const char* kRateNames[] = {"44.1", "48", "88.2", "96", "176.4", "192"};

// A stored rate index comes from a file and may be anything (NaN, huge): it is compared as a
// float before it is ever turned into an integer.
const char* rateName(float index) {
  return index >= 1 && index < 7 ? kRateNames[static_cast<int>(index) - 1] : kRateNames[0];
}

using MixLoad = MixerHost::MixLoad;

// A mix file's bytes; the failure when there are none. Only a regular file is read: a folder
// has no bytes to give, and a pipe or a device could keep the reader waiting for ever.
std::optional<MixLoad> readMixBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  std::error_code error;
  const std::filesystem::file_type type = std::filesystem::status(path, error).type();
  if (type == std::filesystem::file_type::not_found) return MixLoad::Missing;
  if (type != std::filesystem::file_type::regular) return MixLoad::Unreadable;
  std::ifstream file(path, std::ios::binary);
  if (!file) return MixLoad::Unreadable;
  char buffer[4096];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + file.gcount());
    if (static_cast<std::streamsize>(bytes.size()) > kMaxMixFileSize) break;
  }
  if (file.bad()) return MixLoad::Unreadable;
  return std::nullopt;
}

// Why a load from the file dialog failed, naming the file; nothing when it did not.
std::optional<std::string> loadFailure(const std::string& path,
                                       const MixerHost::MixLoadResult& result) {
  std::string why;
  switch (result.outcome) {
    case MixLoad::Missing:
      why = "The file does not exist.";
      break;
    case MixLoad::Unreadable:
      why = VelmoraHAL::UnitCount() == 0 ? "No Velmora PRO is connected."
                                         : "The file cannot be read.";
      break;
    case MixLoad::Rejected:
      why = MixFileMessage(result.check);
      break;
    default:
      return std::nullopt;
  }
  return "The mix could not be loaded from \"" + path + "\".\n\n" + why;
}

}  // namespace

void MixerHost::runFileDialog(bool save) {
  if (!save && VelmoraHAL::UnitCount() == 0) return;  // nothing to load a mix into
  ui_.DetachPanel();
  if (const auto path = save ? ui_.ChooseSaveFile() : ui_.ChooseLoadFile()) {
    if (save) {
      std::string why;
      if (!saveMixFile(*path, &why)) {
        ui_.ShowErrorBox("The mix could not be saved as \"" + *path + "\": " + why +
                             ".\n\nNothing was stored in the unit.",
                         kErrorCaption);
      }
    } else if (const auto failure = loadFailure(*path, loadMix(*path, true))) {
      ui_.ShowErrorBox(*failure, kErrorCaption);
    }
  }
  ui_.ReattachPanel();
}

bool MixerHost::saveMixFile(const std::string& path, std::string* why) {
  if (!writeMixFile(path, why)) return false;
  // The unit's flash only once the file is there: a save that fails stores nothing.
  hal_.SaveToCnE();
  return true;
}

bool MixerHost::writeMixFile(const std::string& path, std::string* why) {
  std::vector<float> values;
  for (int id = 0; id < plugin_.getParameterCount(); ++id) values.push_back(value(id));
  const std::vector<uint8_t> bytes = EncodeMixFile(values);
  // Written beside and renamed over: a crash or a full disk never leaves half a mix file.
  return platform::replaceFileContents(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), why);
}

bool MixerHost::loadMixFile(const std::string& path, bool quiet) {
  const MixLoad outcome = loadMix(path, quiet).outcome;
  return outcome != MixLoad::Missing && outcome != MixLoad::Unreadable;
}

MixerHost::MixLoadResult MixerHost::loadMix(const std::string& path, bool quiet,
                                            bool settleWhenDeclined) {
  if (VelmoraHAL::UnitCount() == 0) return {MixLoad::Unreadable};
  std::vector<uint8_t> bytes;
  if (const auto failed = readMixBytes(path, bytes)) return {*failed};
  const float rememberedRate = plugin_.getReal(param::kSampleRate);
  const DecodedMixFile decoded =
      DecodeMixFile(bytes, static_cast<size_t>(plugin_.getParameterCount()));
  if (decoded.check != MixFileCheck::Ok) {
    if (!quiet) ui_.ShowErrorBox(MixFileMessage(decoded.check), kErrorCaption);
    return {MixLoad::Rejected, decoded.check};
  }
  const bool accepted = applyLoadedParameters(decoded.values);
  if (!accepted && !settleWhenDeclined) return {MixLoad::Declined};

  // Whatever was applied, the unit gets the AC3 and MIDI-through settings again, keeps its
  // rate, has all inputs enabled and the sync source applied.
  parameterChanged(param::kAc3Passthrough);
  parameterChanged(param::kMidiThrough);
  keepRateAndEnableInputs(rememberedRate);
  for (int id :
       {param::kEnableSpdif, param::kEnableAdat1, param::kEnableAdat2, param::kSyncSource}) {
    parameterChanged(id);
  }
  return {accepted ? MixLoad::Applied : MixLoad::Declined};
}

MixerHost::MixLoadResult MixerHost::showMixFile(const std::string& path) {
  if (VelmoraHAL::UnitCount() == 0) return {MixLoad::Unreadable};
  std::vector<uint8_t> bytes;
  if (const auto failed = readMixBytes(path, bytes)) return {*failed};
  const float rememberedRate = plugin_.getReal(param::kSampleRate);
  const DecodedMixFile decoded =
      DecodeMixFile(bytes, static_cast<size_t>(plugin_.getParameterCount()));
  if (decoded.check != MixFileCheck::Ok) return {MixLoad::Rejected, decoded.check};
  copyLoadedValues(decoded.values);
  keepRateAndEnableInputs(rememberedRate);
  return {MixLoad::Applied};
}

void MixerHost::keepRateAndEnableInputs(float rememberedRate) {
  const int current = currentRateIndex();
  plugin_.setReal(param::kSampleRate,
                  current >= 1 && current <= 5 ? static_cast<float>(current) : rememberedRate);
  for (int id : {param::kEnableSpdif, param::kEnableAdat1, param::kEnableAdat2}) {
    setNormalised(id, 1);
  }
}

bool MixerHost::applyLoadedParameters(const std::vector<float>& values) {
  const int c = currentRateIndex();
  std::string message;
  if (c <= 5 && values.size() >= 42) {
    const float stored = values[param::kSampleRate] * 8 + 1;
    if (stored != static_cast<float>(c)) {
      message = std::string("The session you are trying to load was originally saved at ") +
                rateName(stored) + " kHz, but your Velmora PRO is currently set to " +
                rateName(static_cast<float>(c)) + " kHz.\n\n";
    }
  }
  if (values.size() >= 49 && (values[param::kEnableAdat1] > 0 || values[param::kEnableAdat2] > 0) &&
      hal_.ReducedModel()) {
    message += message.empty()
                   ? "The session you are trying to load was saved with ADAT 1 and/or 2 enabled, "
                     "but your Velmora PRO has the \"Disable ADATs for better CPU usage\" option "
                     "set.\n\n"
                   : "Also, the session was saved with ADAT 1 and/or 2 enabled, but your Velmora "
                     "PRO has the \"Disable ADATs for better CPU usage\" option set.\n\n";
  }
  if (!message.empty()) {
    message +=
        "Choose \"Yes\" to continue loading the session and keep your current settings.  "
        "Otherwise, choose \"No\" and change the sample rate and/or ADAT settings to match "
        "session before loading.";
    if (!ui_.AskYesNo(message, kCaption)) return false;
  }
  copyLoadedValues(values);
  return true;
}

void MixerHost::copyLoadedValues(const std::vector<float>& values) {
  if (values.empty() || values.size() > static_cast<size_t>(plugin_.getParameterCount())) return;
  for (size_t i = 0; i < values.size(); ++i) {
    const int id = static_cast<int>(i);
    if (kNotLoaded.count(id)) continue;
    // Checksums prove a file whole, not sane: values outside 0...1 are brought back into it.
    if (std::isnan(values[i])) continue;
    setNormalised(id, std::fmin(std::fmax(values[i], 0.0f), 1.0f));
  }
}

void MixerHost::changeUnit(size_t index) {
  const UnitSerial next = VelmoraHAL::SerialAt(index);
  const UnitSerial current = hal_.CurrentSerial();
  if (next == current) return;
  const bool floatShown = ui_.IsFloatFrameShown();
  ui_.DetachLayouts();
  ui_.ShowStatus("Changing unit, please wait...");
  if ((current.low & current.high) != 0xFFFFFFFF) {
    saveMixFile(defaultMixFilePath(current.low, current.high));
  }
  hal_.Close();
  hal_.SetMayOpen(true);
  if (hal_.Open(next) == 0) loadMixFile(defaultMixFilePath(next.low, next.high), true);
  ui_.ShowSelectedFrame(floatShown);
}

}  // namespace velmora
