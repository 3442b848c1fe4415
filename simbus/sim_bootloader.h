// The boot loader of a simulated unit: its request, data and response windows, resets between
// the application and the boot loader, object downloads (protocols 1 and 2), the streamed
// whole-file download (protocol 3) that the unit checks itself, and the firmware a good
// download leaves for the next start of the application.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/vhpd_protocol.h"
#include "simbus/fault_plan.h"

namespace simbus {

namespace bootloader {

inline constexpr uint64_t kRequestWindow = platform::vhpd::busAddress(0xFFFF, 0xC8021000);
inline constexpr size_t kRecordSize = 64;  // a request or a response
inline constexpr uint64_t kDataWindow = platform::vhpd::busAddress(0xFFFF, 0xC8021040);
inline constexpr size_t kDataWindowSize = 0x8000 - 0x40;
inline constexpr uint64_t kResponseWindow = platform::vhpd::busAddress(0xFFFF, 0xC8029000);

inline constexpr uint32_t kDefaultMaxBlockSize = 2048;
inline constexpr uint32_t kDefaultMaxImageLength = 0x00200000;

enum RequestCode : uint8_t {
  kReset = 2,
  kDownloadStart = 4,
  kDownloadBlock = 5,
  kDownloadEnd = 6,
  kProgramGuid = 10,
  kInitPersParams = 12,
};

enum ResetType : uint32_t { kStartApplication = 0, kHaltInBootloader = 1 };

enum ObjectType : uint32_t { kProgram = 0, kCnE = 1, kBootloaderImage = 3 };

// The negative status words the boot loader answers with.
enum ErrorCode : int32_t {
  kNotInBootloader = -1,
  kUnknownObject = -2,
  kSequenceMismatch = -3,
  kAddressMismatch = -4,
  kImageTooLarge = -5,
  kLengthMismatch = -6,
  kNoDownload = -7,
  kBadBlockSize = -8,
  kBadFile = -9,
  kBadRequest = -10,  // word 0, the payload count or a download-start field is malformed
};

}  // namespace bootloader

// What a finished download changes once the application starts again.
struct InstalledFirmware {
  std::optional<uint32_t> firmware;    // a new program
  std::optional<uint32_t> softwareId;  // new configuration-and-extension data
};

class SimBootloader {
 public:
  // Protocol 1 units stay on the bus through a reset; protocol 2 and 3 units leave it and come
  // back after the driver's rejoin delay.
  explicit SimBootloader(uint32_t protocol) : protocol_(protocol) {}

  // Whether [address, address + length) touches a boot-loader window.
  static bool covers(uint64_t address, size_t length);
  // The request a write carries, as the fault plan names it; nullopt for any other write.
  static std::optional<TransferKind> requestKind(uint64_t address, std::span<const uint8_t> data);

  // Transfers into the windows: 0 or a Windows error.
  uint32_t read(uint64_t address, std::span<uint8_t> out) const;
  uint32_t write(uint64_t address, std::span<const uint8_t> data);

  // The next request meets this fault (a boot-loader action: no-answer, late, error, wrong-crc,
  // other-id).
  void armFault(const FaultRule& rule) { armed_ = rule; }

  // Switched on: a download in progress is forgotten, and the application starts, unless a
  // write of the program was cut off before its end: then no application is left, and the
  // unit stays in its boot loader until a download brings one. A program written whole but
  // not yet started is the one that starts.
  void powerOn();

  // No application in the flash (a program write was cut off).
  bool applicationMissing() const { return applicationMissing_; }
  void setApplicationMissing(bool missing) { applicationMissing_ = missing; }

  bool halted() const { return halted_; }
  void setHalted(bool halted) { halted_ = halted; }
  uint32_t maxBlockSize() const { return maxBlockSize_; }
  void setMaxBlockSize(uint32_t size);
  uint32_t maxImageLength() const { return maxImageLength_; }
  void setMaxImageLength(uint32_t length) { maxImageLength_ = length; }
  // XORed into the unique id the information block shows (an "other-id" fault).
  uint32_t reportedIdMask() const { return idMask_; }

  // A reset asked the unit to leave the bus and come back. Cleared by asking.
  bool takeDeparture();
  // The application started after a good download. Cleared by asking.
  std::optional<InstalledFirmware> takeInstalled();

 private:
  struct Answer {
    std::array<uint32_t, 2> words{};  // response words 8 and 12
  };
  struct Announced {  // an object named by a download-start request
    uint32_t type = 0;
    uint32_t address = 0;
    uint32_t length = 0;
    uint32_t crc = 0;
    uint32_t softwareId = 0;
    uint32_t firmware = 0;
    std::array<uint8_t, 16> stamp{};  // build date and time
  };
  struct Download {
    std::vector<Announced> objects;  // one for an object download, up to two for a stream
    std::vector<uint8_t> received;
    uint32_t nextSequence = 0;
  };
  struct LateAnswer {
    std::array<uint8_t, bootloader::kRecordSize> bytes{};
    uint32_t issued = 0;
    uint32_t delayMs = 0;
  };

  bool streams() const { return protocol_ == 3; }
  bool wellFormed(uint8_t code, std::span<const uint8_t> request) const;
  void takeRequest(std::span<const uint8_t> request);
  void reset(uint32_t type, const std::optional<FaultRule>& fault);
  Answer start(std::span<const uint8_t> request);
  Answer block(std::span<const uint8_t> request);
  Answer end(bool corrupt);
  Answer refusal(uint8_t code, std::span<const uint8_t> request, int32_t status) const;
  int32_t checkStream(InstalledFirmware& install) const;
  void post(uint32_t key, const Answer& answer, uint32_t delayMs);
  const std::array<uint8_t, bootloader::kRecordSize>& shownResponse() const;

  uint32_t protocol_;
  bool halted_ = false;
  bool applicationMissing_ = false;
  uint32_t maxBlockSize_ = bootloader::kDefaultMaxBlockSize;
  uint32_t maxImageLength_ = bootloader::kDefaultMaxImageLength;
  uint32_t idMask_ = 0;
  bool departure_ = false;
  uint32_t answered_ = 0;
  std::optional<FaultRule> armed_;
  std::optional<Download> download_;
  InstalledFirmware staged_;
  std::optional<InstalledFirmware> installed_;
  std::vector<uint8_t> dataWindow_ = std::vector<uint8_t>(bootloader::kDataWindowSize, 0);
  std::array<uint8_t, bootloader::kRecordSize> response_{};
  std::optional<LateAnswer> late_;
};

}  // namespace simbus
