#include "updater/firmware_updater.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/unit_info_block.h"
#include "platform/vhpd_protocol.h"
#include "updater/firmware_resources.h"
#include "updater/progress_text.h"
#include "updater/updater_texts.h"

namespace updater {

namespace {

constexpr char kLogName[] = "VelmoraProUpdate.log";
constexpr uint32_t kTimeoutResetWait = 0;
constexpr uint32_t kTimeoutDownloadStart = 1;
// Firmware older than 1.1 needs the cable unplugged and plugged in again during the download.
constexpr uint32_t kReplugBelowVersion = 0x01010000;

// The library reports a download's end a moment before its worker has quite finished, and
// until then refuses to close or restart anything; such a call is repeated for a while.
constexpr int kSettleAttempts = 50;
constexpr uint32_t kSettlePauseMs = 100;

template <typename Call>
KVOFWDL_STATUS onceSettled(Call call) {
  KVOFWDL_STATUS status = call();
  for (int attempt = 1; attempt < kSettleAttempts && status == KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
       ++attempt) {
    platform::clock().sleep(kSettlePauseMs);
    status = call();
  }
  return status;
}

// `pattern` with its one %s replaced by `value`.
std::string format(std::string_view pattern, const std::string& value) {
  std::string text(pattern);
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
  return text;
}

std::optional<std::string> fileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(content).str();
}

}  // namespace

FirmwareUpdater::FirmwareUpdater(const FirmwareLibrary& library, UpdaterView& view)
    : library_(library), view_(view), watcher_(library.GetDownloadStatus, view), sequence_(view) {}

void FirmwareUpdater::showStartWarning() {
  view_.showMessage(text::kPowerSupplyWarning, "");
}

void FirmwareUpdater::initialise() {
  if (!folder_.create()) view_.setStatusText(text::kTempFolderFailed);
}

void FirmwareUpdater::onUpdate() {
  if (state_ != State::Idle) return;
  // Nothing is written before the private folder exists.
  if (!folder_.create()) return stop(text::kTempFolderFailed);
  logPath_ = folder_.file(kLogName);
  state_ = State::Preparing;
  view_.enableUpdate(false);
  view_.enableExit(false);
  sequence_.run([this] { findUnit(); }, [this] { onUnitFound(); });
}

void FirmwareUpdater::stop(const char* message) {
  state_ = State::Idle;
  view_.setStatusText(message);
  // A unit left open would make every later "Update" fail at the enumeration.
  closeDevice();
  view_.enableUpdate(true);
  view_.enableExit(true);
}

// On the sequence's thread.
void FirmwareUpdater::findUnit() {
  prepared_ = Prepared{};
  if (library_.EnableLogging(logPath_.c_str()) != KVOFWDL_STATUS_SUCCESS) {
    prepared_.failure = text::kEnableLoggingFailed;
    return;
  }
  loggingToFolder_ = true;
  uint32_t units = 0;
  if (library_.EnumerateDevices(platform::vhpd::kInterfaceGuidText, &units) !=
      KVOFWDL_STATUS_SUCCESS) {
    prepared_.failure = text::kEnumerateFailed;
  } else if (units == 0) {
    prepared_.failure = text::kNoDevices;
  } else if (library_.GetDeviceInfo(0, &prepared_.unit) != KVOFWDL_STATUS_SUCCESS) {
    prepared_.failure = text::kGetDeviceInfoFailed;
  }
}

void FirmwareUpdater::onUnitFound() {
  if (prepared_.failure) return stop(prepared_.failure);
  // A unit left in its boot loader runs no firmware: nothing to compare with, no cable to
  // replug for an old one.
  prepared_.recovering = prepared_.unit.BootloaderMode != 0;
  prepared_.replug =
      !prepared_.recovering && (prepared_.unit.FirmwareVersion & 0xFFFF0000u) < kReplugBelowVersion;
  if (prepared_.replug) view_.showMessage(text::kPowerSupplyWarning, "");
  sequence_.run([this] { openUnitAndReadFile(); }, [this] { onFileRead(); });
}

// On the sequence's thread.
void FirmwareUpdater::openUnitAndReadFile() {
  if (library_.OpenDevice(0) != KVOFWDL_STATUS_SUCCESS) {
    prepared_.failure = text::kOpenDeviceFailed;
    return;
  }
  deviceOpen_ = true;
  const std::optional<std::string_view> name = firmwareResourceName(prepared_.unit.HardwareModelID);
  if (!name) {
    prepared_.failure = text::kUnrecognisedHardware;
    return;
  }
  const std::optional<std::span<const uint8_t>> firmware = firmwareResource(*name);
  // The program carries both files; without one the sequence ends without a word.
  if (!firmware) {
    prepared_.noFirmware = true;
    return;
  }
  prepared_.firmwarePath = folder_.file(std::string(*name) + ".KWF");
  const std::string_view bytes(reinterpret_cast<const char*>(firmware->data()), firmware->size());
  if (!platform::replaceFileContents(prepared_.firmwarePath, bytes)) {
    prepared_.failure = text::kKwfFileFailed;
  } else if (library_.GetKwfFileInfo(prepared_.firmwarePath.c_str(), &prepared_.file) !=
             KVOFWDL_STATUS_SUCCESS) {
    prepared_.failure = text::kGetKwfFileInfoFailed;
  }
}

void FirmwareUpdater::onFileRead() {
  if (prepared_.failure) return stop(prepared_.failure);
  if (prepared_.noFirmware) {
    closeDevice();
    state_ = State::Idle;
    view_.enableUpdate(true);
    view_.enableExit(true);
    return;
  }
  const uint32_t fileVersion = prepared_.file.FirmwareVersion;
  const uint32_t unitVersion = prepared_.unit.FirmwareVersion;
  std::optional<Question> question;
  if (prepared_.recovering) {
    view_.setStatusText(
        format(text::kRecovering, platform::unit_info::formatFirmwareVersion(fileVersion)));
  } else if (fileVersion < unitVersion) {
    question = Question{text::kDowngradeQuestion, text::kQuestionCaption, true};
  } else if (fileVersion == unitVersion) {
    question = Question{text::kUpToDateQuestion, text::kQuestionCaption, false};
  }
  if (question && view_.ask(*question)) return quit();

  library_.SetTimeout(kTimeoutResetWait, kResetWaitMs);
  library_.SetTimeout(kTimeoutDownloadStart, kStartWaitMs);
  // From the moment the library may reset the unit, a request to end the program waits for
  // the download's end.
  holdSignals_.emplace(text::kSignalDeferred);
  sequence_.run(
      [this] {
        prepared_.started =
            library_.StartDownload(prepared_.firmwarePath.c_str(), KVOFWDL_START_ALWAYS_CNE) ==
            KVOFWDL_STATUS_SUCCESS;
      },
      [this] { onDownloadStarted(); });
}

void FirmwareUpdater::onDownloadStarted() {
  if (!prepared_.started) {
    holdSignals_.reset();
    return stop(text::kStartDownloadFailed);
  }
  state_ = State::Downloading;
  view_.showDownloadWarning(text::kDoNotUnplug);
  // With old firmware the worker first gives the user time to unplug the cable; the dialog
  // stays responsive meanwhile.
  watcher_.start(prepared_.replug);
  view_.showProgressBar(100);
}

void FirmwareUpdater::onProgress(uint32_t status, uint32_t percent) {
  if (state_ != State::Downloading) return;
  if (status == KVOFWDL_STATUS_DOWNLOAD_RUNNING) {
    view_.setProgress(percent);
    view_.setStatusText(progressText(percent));
    return;
  }
  // The worker ends right after posting the final status.
  watcher_.join();
  view_.showDownloadWarning("");
  // A request to end the program that came during the download is acted on now.
  holdSignals_.reset();
  if (status == KVOFWDL_STATUS_SUCCESS || status == KVOFWDL_STATUS_REBOOT_REQUIRED) {
    finishSucceeded();
  } else {
    finishFailed(status);
  }
}

void FirmwareUpdater::finishSucceeded() {
  state_ = State::Succeeded;
  view_.setStatusText(text::kSucceeded);
  if (view_.ask({text::kRestartQuestion, text::kQuestionCaption, false})) {
    quit();
    reboot();
    return;
  }
  closeDevice();
  view_.enableExit(true);
}

void FirmwareUpdater::finishFailed(uint32_t status) {
  state_ = State::Failed;
  if (status != KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED) return showFailure(std::nullopt);
  // What the unit runs now is asked of the driver, off the dialog's thread.
  auto running = std::make_shared<std::optional<uint32_t>>();
  sequence_.run(
      [this, running] {
        KVOFWDL_DEVICE_INFO now{};
        if (library_.GetDeviceInfo(0, &now) == KVOFWDL_STATUS_SUCCESS) {
          *running = now.FirmwareVersion;
        }
      },
      [this, running] { showFailure(*running); });
}

void FirmwareUpdater::showFailure(std::optional<uint32_t> runningFirmware) {
  if (runningFirmware) {
    view_.setStatusText(
        format(text::kFailedRunning, platform::unit_info::formatFirmwareVersion(*runningFirmware)));
  } else {
    view_.setStatusText(text::kFailed);
  }
  offerLogCopy();
  closeDevice();
  view_.enableExit(true);
}

void FirmwareUpdater::offerLogCopy() {
  const std::optional<std::string> target = view_.askSaveFile(
      {text::kSaveLogTitle, text::kSaveLogName, text::kSaveLogExtension, true, true});
  if (!target) return;
  const std::optional<std::string> log = fileContents(logPath_);
  if (!log || !platform::replaceFileContents(*target, *log)) {
    view_.showMessage(text::kSaveLogFailed, text::kQuestionCaption);
  }
}

void FirmwareUpdater::onExit() {
  if (!mayClose()) return;
  quit();
}

void FirmwareUpdater::quit() {
  closeDevice();
  stopLogging();
  folder_.remove();
  state_ = State::Quit;
  view_.quit(0);
}

void FirmwareUpdater::closeDevice() {
  if (!deviceOpen_) return;
  onceSettled(library_.CloseDevice);
  deviceOpen_ = false;
}

// The library keeps its log file open, and Windows deletes no open file: the log has to be
// closed before its folder can go.
void FirmwareUpdater::stopLogging() {
  if (!loggingToFolder_) return;
  onceSettled([this] { return library_.EnableLogging(nullptr); });
  loggingToFolder_ = false;
}

void FirmwareUpdater::reboot() {
  onceSettled(library_.Reboot);
}

}  // namespace updater
