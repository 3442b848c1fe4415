// The host of the mixer's parameter set: what every user change of a parameter does beyond
// its mixer gain (phantom power, identify, sample rate, sync, AC3, files, the unit name, the
// exclusive solo logic, the monitoring presets), the mixer engines of the units, and the mix
// files. The application object delegates to it; velmoractl uses it the same way.
// User-interface thread only; the plugin, the hardware abstraction and the user interface
// outlive it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control_panel/hal/mix_engine.h"
#include "control_panel/hal/velmora_hal.h"
#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/mixer_user_interface.h"
#include "control_panel/mixer/velmora_plugin.h"
#include "control_panel/toolkit/p_plugin_interface.h"

namespace velmora {

class MixerHost final : public PPluginInterface, public MixerLink {
 public:
  MixerHost(VelmoraPlugin& plugin, VelmoraHAL& hal, MixerUserInterface& ui);

  // ---- PPluginInterface ----
  float getSampleRate() override;
  void parameterChanged(int id) override;

  // ---- MixerLink ----
  std::unique_ptr<MixEngine> CreateMixEngine(cvAVC& unit) override;

  // ---- Mix files ----
  // Writes the whole parameter set; false when the file cannot be written. Every save also
  // stores the unit's settings in its flash, and only once the file is there. `why`, when
  // given, gets the reason of a failure.
  bool saveMixFile(const std::string& path, std::string* why = nullptr);
  // The file alone, atomically, without storing anything in the unit's flash (whose write
  // cycles are limited): what the autosave writes.
  bool writeMixFile(const std::string& path, std::string* why = nullptr);
  // False when no unit is connected or the file cannot be read; otherwise true, accepted or
  // not. `quiet`: no message for a rejected file.
  bool loadMixFile(const std::string& path, bool quiet);
  // The compatibility questions and the copy of loaded values into the parameter set; false
  // when the question was answered No (nothing copied).
  bool applyLoadedParameters(const std::vector<float>& values);

  // What loading a mix file came to.
  enum class MixLoad {
    Applied,     // accepted and its values taken
    Declined,    // the compatibility question was answered No
    Rejected,    // wrong format, length or checksum; `check` says which
    Missing,     // there is no such file
    Unreadable,  // no unit connected, or the file cannot be opened or read
  };
  struct MixLoadResult {
    MixLoad outcome;
    MixFileCheck check = MixFileCheck::Ok;
  };
  // loadMixFile with its outcome told apart. `settleWhenDeclined`: a declined file still
  // sends the current AC3, MIDI-through, input and sync settings, as the panel does; false
  // for a caller that must change nothing when the user says No.
  MixLoadResult loadMix(const std::string& path, bool quiet, bool settleWhenDeclined = true);
  // A mix file's values taken as loading with Yes would take them, without a question and
  // without a word to the unit: the saved mix as it stands, for a caller that only reads.
  MixLoadResult showMixFile(const std::string& path);
  // Switches to unit `index` of the list, keeping each unit's default mix file.
  void changeUnit(size_t index);

  VelmoraPlugin& plugin() { return plugin_; }

 private:
  void setNormalised(int id, float value) { plugin_.setNormalised(id, value); }
  float value(int id) { return plugin_.getNormalised(id); }
  void writeCoefficient(uint32_t index, uint32_t value);
  void selectSampleRate();
  void switchWithSilencedInputs(int id, int firstLevel, int levels, uint32_t coefficient);
  void runDialogAfterEvent(std::function<void()> dialog);
  void editUnitName();
  void runFileDialog(bool save);
  void allowAc3(bool on);
  void disableInputSolos(int firstSolo, int count);
  // The exclusive solo of `count` channels: solo ids from firstSolo, mutes from firstMute.
  void soloChanged(int channel, int firstSolo, int firstMute, int count, bool* savedMutes,
                   bool hardwareMute);
  void muteChanged(int channel, int firstSolo, int firstMute, int count, bool hardwareMute);
  int currentRateIndex();
  // Loading's copy of a file's values into the parameter set, and its last steps: the
  // unit's own rate kept (else `rememberedRate`), all inputs enabled.
  void copyLoadedValues(const std::vector<float>& values);
  void keepRateAndEnableInputs(float rememberedRate);

  VelmoraPlugin& plugin_;
  VelmoraHAL& hal_;
  MixerUserInterface& ui_;
  // Deferred dialogs check it: the host may be gone by the time they run.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::array<bool, kOutputPairCount> savedOutputMutes_{};
  std::array<bool, kInputCount> savedInputMutes_{};
};

}  // namespace velmora
