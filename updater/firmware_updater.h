// The updater's logic: the power-supply warning, the update sequence behind "Update", the
// version questions, the progress messages of the worker, the end of a download and "Exit".
// It runs on the dialog's thread and shows everything through an UpdaterView.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/termination_signals.h"
#include "updater/download_watcher.h"
#include "updater/firmware_library.h"
#include "updater/temp_folder.h"
#include "updater/updater_view.h"

namespace updater {

class FirmwareUpdater {
 public:
  enum class State { Idle, Downloading, Succeeded, Failed, Quit };

  FirmwareUpdater(const FirmwareLibrary& library, UpdaterView& view);
  FirmwareUpdater(const FirmwareUpdater&) = delete;
  FirmwareUpdater& operator=(const FirmwareUpdater&) = delete;

  // At program start, before any window.
  void showStartWarning();
  // At dialog initialisation: makes the private temporary folder.
  void initialise();
  // The "Update" button.
  void onUpdate();
  // A progress message of the worker (status, percentage).
  void onProgress(uint32_t status, uint32_t percent);
  // The "Exit" button, Escape, and closing the window while that is allowed.
  void onExit();
  // Whether the window may be closed: never while a download runs, so the worker is never
  // left without its dialog.
  bool mayClose() const { return state_ != State::Downloading; }
  // Whether SIGTERM and SIGINT (Ctrl+C at a console) are being held off: from the download's
  // start until its end, so that no unit is left half written.
  bool holdsTerminationSignals() const { return holdSignals_.has_value(); }

  State state() const { return state_; }
  const std::string& tempFolder() const { return folder_.path(); }

  // Time-outs given to the library: the reset wait and the download-start wait.
  static constexpr uint32_t kResetWaitMs = 10 * 1000;
  static constexpr uint32_t kStartWaitMs = 20 * 1000;

 private:
  // Ends the update sequence with `message` in the status text.
  void stop(const char* message);
  void closeDevice();
  void stopLogging();
  void reboot();
  void finishSucceeded();
  void finishFailed(uint32_t status);
  void offerLogCopy();
  void quit();

  const FirmwareLibrary& library_;
  UpdaterView& view_;
  TempFolder folder_;
  DownloadWatcher watcher_;
  std::string logPath_;
  std::optional<platform::DeferTerminationSignals> holdSignals_;
  State state_ = State::Idle;
  bool deviceOpen_ = false;
  bool loggingToFolder_ = false;
};

}  // namespace updater
