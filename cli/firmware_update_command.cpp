// velmoractl firmware check FILE and velmoractl firmware update FILE: a firmware file tested
// against a unit, and downloaded to it, through the download library's interface like any
// outside caller.

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/firmware_library.h"
#include "cli/firmware_words.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/terminal.h"
#include "platform/termination_signals.h"
#include "platform/unit_info_block.h"
#include "platform/vhpd_protocol.h"

namespace velmoractl {

namespace {

namespace unit_info = platform::unit_info;

constexpr uint32_t kPollIntervalMs = 100;
constexpr int kBarWidth = 30;

std::string libraryLogPath() {
  return platform::joinPath(platform::tempFolder(), "velmoractl-firmware.log");
}

const char* modelName(uint32_t hardware) {
  if (hardware == unit_info::kModelStudio) return "Velmora PRO Studio";
  if (hardware == unit_info::kModelCompact) return "Velmora PRO Compact";
  return "unknown model";
}

uint32_t serialOf(const KVOFWDL_DEVICE_INFO& unit) {
  return platform::vhpd::loadBe32(unit.UniqueId + 4);
}

// A fixed-size text field up to its first zero byte, without the blanks that pad it.
template <size_t N>
std::string field(const char (&text)[N]) {
  size_t length = 0;
  while (length < N && text[length] != '\0') ++length;
  while (length > 0 && text[length - 1] == ' ') --length;
  return std::string(text, length);
}

// A unit left in its boot loader (an update cut off) runs no firmware to compare with.
bool inBootLoader(const KVOFWDL_DEVICE_INFO& unit) {
  return unit.BootloaderMode != 0;
}

std::string runningFirmware(const KVOFWDL_DEVICE_INFO& unit) {
  return inBootLoader(unit) ? "none (in boot loader)"
                            : unit_info::formatFirmwareVersion(unit.FirmwareVersion);
}

bool sameFirmware(const KVOFWDL_DEVICE_INFO& unit, const KVOFWDL_KWF_FILE_INFO& file) {
  return unit.SoftwareId == file.SoftwareId && unit.FirmwareVersion == file.FirmwareVersion;
}

// The library with its log on and, once opened, a unit; both are given back at the end.
class LibrarySession {
 public:
  explicit LibrarySession(const char* verb) : library_(firmwareLibrary()), verb_(verb) {
    if (library_.EnableLogging(logPath_.c_str()) != KVOFWDL_STATUS_SUCCESS) {
      std::fprintf(stderr, "velmoractl: firmware %s: cannot write the library log %s\n", verb_,
                   logPath_.c_str());
    }
  }
  ~LibrarySession() {
    if (unitOpen_) untilIdle([&] { return library_.CloseDevice(); });
    untilIdle([&] { return library_.EnableLogging(nullptr); });
  }
  LibrarySession(const LibrarySession&) = delete;
  LibrarySession& operator=(const LibrarySession&) = delete;

  const FirmwareLibrary& library() const { return library_; }

  // "firmware VERB: WHAT failed: status N (NAME); the library log is PATH" on standard error.
  int failed(const std::string& what, KVOFWDL_STATUS status) const {
    return fail(kExitFailure, std::string("firmware ") + verb_ + ": " + what + " failed: status " +
                                  firmwareStatusText(status) + "; the library log is " + logPath_);
  }

  // Finds unit `index`, describes it and `fileName`, opens the unit and checks the file
  // against it. kExitOk, or the exit code after the reason was printed.
  int prepare(const std::string& fileName, uint32_t index) {
    uint32_t count = 0;
    if (const KVOFWDL_STATUS status =
            library_.EnumerateDevices(platform::vhpd::kInterfaceGuidText, &count);
        status != KVOFWDL_STATUS_SUCCESS) {
      return failed("finding the units", status);
    }
    if (index >= count) {
      return fail(kExitFailure, std::string("firmware ") + verb_ + ": no unit " +
                                    std::to_string(index) + " on the bus (" +
                                    std::to_string(count) + " found)");
    }
    if (const KVOFWDL_STATUS status = library_.GetDeviceInfo(index, &unit_);
        status != KVOFWDL_STATUS_SUCCESS) {
      return failed("reading unit " + std::to_string(index), status);
    }
    if (const KVOFWDL_STATUS status = library_.GetKwfFileInfo(fileName.c_str(), &file_);
        status != KVOFWDL_STATUS_SUCCESS) {
      return failed("reading the firmware file " + fileName, status);
    }
    if (const KVOFWDL_STATUS status = library_.OpenDevice(index);
        status != KVOFWDL_STATUS_SUCCESS) {
      return failed("opening unit " + std::to_string(index), status);
    }
    unitOpen_ = true;
    if (const KVOFWDL_STATUS status = library_.CheckDownload(fileName.c_str(), &conditions_);
        status != KVOFWDL_STATUS_SUCCESS) {
      return failed("checking the file against the unit", status);
    }
    return kExitOk;
  }

  const KVOFWDL_DEVICE_INFO& unit() const { return unit_; }
  const KVOFWDL_KWF_FILE_INFO& file() const { return file_; }
  uint32_t conditions() const { return conditions_; }
  bool possible() const {
    return (conditions_ & (KVOFWDL_COND_NOT_POSSIBLE | KVOFWDL_COND_CNE_MISSING)) == 0;
  }

 private:
  // The final status of a download shows a moment before its worker has quite ended, and
  // until then the library refuses to close anything.
  template <typename Call>
  static void untilIdle(Call call) {
    for (int attempt = 0; attempt < kIdleAttempts; ++attempt) {
      if (call() != KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS) return;
      platform::clock().sleep(kPollIntervalMs);
    }
  }
  static constexpr int kIdleAttempts = 50;

  const FirmwareLibrary& library_;
  const char* verb_;
  std::string logPath_ = libraryLogPath();
  bool unitOpen_ = false;
  KVOFWDL_DEVICE_INFO unit_{};
  KVOFWDL_KWF_FILE_INFO file_{};
  uint32_t conditions_ = 0;
};

// FILE [--unit N] from `args`; nullopt after a usage message.
std::optional<std::pair<std::string, uint32_t>> fileAndUnit(Args& args, const char* verb) {
  std::string error;
  uint32_t index = 0;
  if (const auto unit = takeOption(args, "--unit", error)) {
    const auto number = parseNumber(*unit);
    if (!number) {
      fail(kExitUsage, "--unit takes a unit index, not " + *unit);
      return std::nullopt;
    }
    index = *number;
  }
  if (!error.empty()) {
    fail(kExitUsage, error);
    return std::nullopt;
  }
  if (args.size() != 1 || args[0].starts_with("--")) {
    fail(kExitUsage, std::string("firmware ") + verb + ": name one firmware file");
    return std::nullopt;
  }
  return std::pair{args[0], index};
}

void describe(const LibrarySession& session, uint32_t index) {
  const KVOFWDL_DEVICE_INFO& unit = session.unit();
  const KVOFWDL_KWF_FILE_INFO& file = session.file();
  std::printf("unit %-7u %s %u, protocol %u, firmware %s, software id %u\n", index,
              modelName(unit.HardwareModelID), serialOf(unit), unit.ProtocolVersion,
              runningFirmware(unit).c_str(), unit.SoftwareId);
  std::printf("file         firmware %s for the %s, software id %u, built %s %s\n",
              unit_info::formatFirmwareVersion(file.FirmwareVersion).c_str(),
              modelName(file.CompatibleHardwareVersion), file.SoftwareId,
              field(file.BuildDate).c_str(), field(file.BuildTime).c_str());
  std::printf("conditions   0x%08X: %s\n", session.conditions(),
              conditionWords(session.conditions()).c_str());
}

// Asks the person at the terminal; false without one.
bool confirmed(const std::string& question) {
  if (!platform::standardInputIsTerminal()) return false;
  std::fprintf(stderr, "%s [y/N] ", question.c_str());
  std::string reply;
  std::getline(std::cin, reply);
  return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
}

// Shows the progress of a download: a bar on a terminal, a line per tenth otherwise.
class ProgressDisplay {
 public:
  ProgressDisplay() : terminal_(platform::standardOutputIsTerminal()) {}

  void show(uint32_t bytes, uint32_t total) {
    if (total == 0) return;
    const auto percent = static_cast<unsigned>(uint64_t{bytes} * 100 / total);
    if (terminal_) {
      const int filled = static_cast<int>(uint64_t{bytes} * kBarWidth / total);
      std::printf("\r[%s%s] %10u/%u bytes %3u%%", std::string(filled, '#').c_str(),
                  std::string(kBarWidth - filled, '-').c_str(), bytes, total, percent);
      std::fflush(stdout);
      shownBar_ = true;
    } else if (percent / 10 != lastTenth_) {
      lastTenth_ = percent / 10;
      std::printf("downloaded %u of %u bytes (%u%%)\n", bytes, total, percent);
    }
  }
  void finish() {
    if (shownBar_) std::printf("\n");
    std::fflush(stdout);  // before any message on standard error
  }

 private:
  bool terminal_;
  bool shownBar_ = false;
  unsigned lastTenth_ = 0xFFFFFFFF;
};

}  // namespace

int firmwareCheckCommand(Args args) {
  const auto request = fileAndUnit(args, "check");
  if (!request) return kExitUsage;
  const auto& [fileName, index] = *request;
  LibrarySession session("check");
  if (const int code = session.prepare(fileName, index); code != kExitOk) return code;
  describe(session, index);
  const bool again = sameFirmware(session.unit(), session.file());
  const char* kind = inBootLoader(session.unit()) ? "a recovery of a unit in its boot loader"
                     : (session.conditions() & KVOFWDL_COND_DOWNGRADE) ? "a downgrade"
                     : again                                           ? "a re-install"
                                                                       : "an update";
  if (!session.possible()) {
    std::printf("verdict      the file cannot be downloaded to this unit\n");
    return kExitFailure;
  }
  std::printf("verdict      the file can be downloaded (%s)\n", kind);
  return kExitOk;
}

int firmwareUpdateCommand(Args args) {
  const bool yes = takeFlag(args, "--yes");
  const bool allowDowngrade = takeFlag(args, "--allow-downgrade");
  const auto request = fileAndUnit(args, "update");
  if (!request) return kExitUsage;
  const auto& [fileName, index] = *request;
  // Made before the session, so that a request to end the program held off during the
  // download is acted on only after the session has given the unit and the log back.
  std::optional<platform::DeferTerminationSignals> holdSignals;
  LibrarySession session("update");
  if (const int code = session.prepare(fileName, index); code != kExitOk) return code;
  describe(session, index);
  if (!session.possible()) {
    return fail(kExitFailure, "firmware update: the file cannot be downloaded to this unit: " +
                                  conditionWords(session.conditions()));
  }
  const std::string from = unit_info::formatFirmwareVersion(session.unit().FirmwareVersion);
  const std::string to = unit_info::formatFirmwareVersion(session.file().FirmwareVersion);
  const bool recovering = inBootLoader(session.unit());
  if (recovering) {
    std::printf("the unit has no running firmware; installing %s\n", to.c_str());
  } else if ((session.conditions() & KVOFWDL_COND_DOWNGRADE) && !allowDowngrade &&
             !confirmed("Firmware " + to + " is older than the unit's " + from +
                        ". Install it anyway?")) {
    return fail(kExitFailure, "firmware update: firmware " + to + " is older than the unit's " +
                                  from + "; --allow-downgrade installs it anyway");
  }
  if (!recovering && sameFirmware(session.unit(), session.file()) && !yes &&
      !confirmed("The unit runs firmware " + from + " already. Install it again?")) {
    return fail(kExitFailure, "firmware update: the unit runs firmware " + from +
                                  " already; --yes installs it again");
  }

  const FirmwareLibrary& library = session.library();
  std::printf("updating unit %u from firmware %s to %s\n", index,
              runningFirmware(session.unit()).c_str(), to.c_str());
  std::fflush(stdout);
  holdSignals.emplace(
      "velmoractl: firmware is being written; the signal is acted on when the download has "
      "ended");
  if (const KVOFWDL_STATUS status = library.StartDownload(fileName.c_str(), 0);
      status != KVOFWDL_STATUS_SUCCESS) {
    return session.failed("starting the download", status);
  }
  ProgressDisplay progress;
  uint32_t bytes = 0;
  uint32_t total = 0;
  KVOFWDL_STATUS status = library.GetDownloadStatus(&bytes, &total);
  while (status == KVOFWDL_STATUS_DOWNLOAD_RUNNING) {
    progress.show(bytes, total);
    platform::clock().sleep(kPollIntervalMs);
    status = library.GetDownloadStatus(&bytes, &total);
  }
  progress.show(bytes, total);
  progress.finish();
  if (status == KVOFWDL_STATUS_SUCCESS) {
    std::printf("firmware update finished: status %s\n", firmwareStatusText(status).c_str());
    return kExitOk;
  }
  if (status == KVOFWDL_STATUS_REBOOT_REQUIRED) {
    std::printf("firmware update finished: status %s: restart the computer before using the unit\n",
                firmwareStatusText(status).c_str());
    return kExitOk;
  }
  if (status == KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED) {
    KVOFWDL_DEVICE_INFO now{};
    const std::string running = library.GetDeviceInfo(index, &now) == KVOFWDL_STATUS_SUCCESS
                                    ? runningFirmware(now)
                                    : "unknown";
    std::fprintf(stderr, "velmoractl: firmware update: the unit runs firmware %s, not %s\n",
                 running.c_str(), to.c_str());
  }
  return session.failed("the download", status);
}

}  // namespace velmoractl
