// The updater's logic: the power-supply warning, the update sequence behind "Update", the
// version questions, the progress messages of the worker, the end of a download and "Exit".
// It is called on the dialog's thread and shows everything through an UpdaterView; its calls
// that ask the driver or the disk run on a sequence thread of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/termination_signals.h"
#include "updater/download_watcher.h"
#include "updater/firmware_library.h"
#include "updater/sequence_thread.h"
#include "updater/temp_folder.h"
#include "updater/updater_view.h"

namespace updater {

class FirmwareUpdater {
 public:
  // Preparing: from "Update" until the download has started or the sequence has stopped.
  enum class State { Idle, Preparing, Downloading, Succeeded, Failed, Quit };

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
  // Whether the window may be closed: never while the sequence or a download runs, so that no
  // thread is left without its dialog.
  bool mayClose() const {
    return state_ != State::Preparing && state_ != State::Downloading && !sequence_.busy();
  }
  // Whether a step of the sequence still runs or its result waits for the dialog's thread.
  bool busy() const { return sequence_.busy(); }
  // Whether SIGTERM and SIGINT (Ctrl+C at a console) are being held off: from the download's
  // start until its end, so that no unit is left half written.
  bool holdsTerminationSignals() const { return holdSignals_.has_value(); }

  State state() const { return state_; }
  const std::string& tempFolder() const { return folder_.path(); }

  // Time-outs given to the library: the reset wait and the download-start wait.
  static constexpr uint32_t kResetWaitMs = 10 * 1000;
  static constexpr uint32_t kStartWaitMs = 20 * 1000;

 private:
  // What the steps before the download found, handed from the sequence's thread to the
  // dialog's.
  struct Prepared {
    const char* failure = nullptr;
    KVOFWDL_DEVICE_INFO unit{};
    bool recovering = false;
    bool replug = false;
    bool noFirmware = false;
    std::string firmwarePath;
    KVOFWDL_KWF_FILE_INFO file{};
    bool started = false;
  };

  // Ends the update sequence with `message` in the status text, ready for another try.
  void stop(const char* message);
  // The steps of "Update": each odd one on the sequence's thread, the next on the dialog's.
  void findUnit();
  void onUnitFound();
  void openUnitAndReadFile();
  void onFileRead();
  void onDownloadStarted();
  void showFailure(std::optional<uint32_t> runningFirmware);
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
  Prepared prepared_;
  std::string logPath_;
  std::optional<platform::DeferTerminationSignals> holdSignals_;
  State state_ = State::Idle;
  bool deviceOpen_ = false;
  bool loggingToFolder_ = false;
  // Last, so that a step still running ends before anything it uses.
  SequenceThread sequence_;
};

}  // namespace updater
