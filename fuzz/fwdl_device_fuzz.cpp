// Arbitrary units under the firmware library: every read of a unit's address space (the
// information block, the response window, the reset probes) answers with a status and bytes
// from the fuzz input, every write succeeds or fails as the input says, while the library
// opens the unit, describes it, checks a file against it, resets it and sends objects to its
// boot loader. Time is a fake clock, and the time-outs are cut short so that a unit that
// never answers costs a few hundred polls.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzzed_driver.h"
#include "fwdl/device_enumeration.h"
#include "fwdl/download_status.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "fwdl/kwf_file.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/vhpd_client.h"
#include "platform/win_error.h"
#include "tools/kwf/kwf_builder.h"

namespace {

namespace pv = platform::vhpd;
namespace we = platform::win_error;
using fuzzing::Input;

// A status byte: below 240 success, else one of the failures a driver gives.
uint32_t StatusOf(uint8_t byte) {
  constexpr uint32_t kFailures[] = {
      pv::KVO_STATUS_DEVICE_REMOVED, pv::VHPD_STATUS_INVALID_GEN_COUNT,
      pv::KVO_STATUS_TIMEOUT,        we::GenFailure,
      pv::KVO_STATUS_NOT_OPEN,       pv::KVO_STATUS_LENGTH_MISMATCH};
  return byte < 240 ? we::Success : kFailures[(byte - 240) % std::size(kFailures)];
}

// The driver's own answers are fixed; only the unit is fuzzed.
class FuzzedHandle final : public pv::DeviceHandle {
 public:
  explicit FuzzedHandle(Input& input) : input_(input) {}
  pv::IoCall ioControl(uint32_t code, std::span<const uint8_t>,
                       std::span<uint8_t> output) override {
    pv::IoCall call;
    std::fill(output.begin(), output.end(), 0);
    switch (code) {
      case pv::IOCTL_VHPD_GET_DRIVER_INFO:
        if (output.size() >= 2) {
          output[0] = 2;
          output[1] = 14;
        }
        call.immediate = {we::Success, static_cast<uint32_t>(output.size())};
        return call;
      case pv::IOCTL_VHPD_GET_DEVICE_FLAGS:
      case pv::IOCTL_VHPD_GET_DEVICE_PROPERTIES:
      case pv::IOCTL_VHPD_GET_RESET_GENERATION_COUNT:
        call.immediate = {we::Success, static_cast<uint32_t>(output.size())};
        return call;
      case pv::IOCTL_VHPD_ASYNC_WRITE:
        call.immediate = {StatusOf(input_.byte()), static_cast<uint32_t>(output.size())};
        return call;
      default: {
        // A unit read: a status, then as many bytes as the input still has.
        const uint32_t status = StatusOf(input_.byte());
        const size_t written = input_.take(output.data(), output.size());
        call.immediate = {status, static_cast<uint32_t>(written)};
        return call;
      }
    }
  }

 private:
  Input& input_;
};

// Version-0 and version-1 files for a Studio, written once per process, removed at exit.
class Files {
 public:
  Files() {
    std::string pattern = platform::joinPath(platform::tempFolder(), "fwdl-device-fuzz-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    for (uint32_t version : {0u, 1u}) {
      tools::kwf::KwfSpec spec;
      spec.version = version;
      spec.softwareId = 3;
      spec.firmwareVersion = 0x02014000;
      spec.compatibleHardwareVersion = 0x13;
      spec.nodeVendorId = 0x7A1394;
      spec.image1Address = 0x400C0080;
      spec.infoText = "fuzz";
      spec.image1 = tools::kwf::GeneratedPayload(5000, 1);
      spec.cnE = tools::kwf::GeneratedPayload(300, 2);
      const auto bytes = tools::kwf::BuildKwf(spec);
      const std::string path = folder_ + (version == 0 ? "/v0.kwf" : "/v1.kwf");
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      if (fd < 0 || !bytes) continue;
      const bool whole =
          ::write(fd, bytes->data(), bytes->size()) == static_cast<ssize_t>(bytes->size());
      ::close(fd);
      if (whole) paths_[version] = path;
    }
  }
  ~Files() {
    for (const std::string& path : paths_) {
      if (!path.empty()) unlink(path.c_str());
    }
    if (!folder_.empty()) rmdir(folder_.c_str());
  }
  const std::string& path(uint32_t version) const { return paths_[version]; }

 private:
  std::string folder_;
  std::string paths_[2];
};

}  // namespace

// The backend of this program is the fuzzed driver, installed per input.
std::shared_ptr<pv::VhpdClient> platform::vhpd::makeDefaultClient() {
  return nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Files files;
  Input input(data, size);
  const uint8_t plan = input.byte();
  platform::FakeClock clock(0xFFFFF000);  // the tick counter wraps during the run
  platform::ScopedClock useClock(clock);
  pv::ScopedClient driver(std::make_shared<fuzzing::FuzzedDriver<FuzzedHandle, Input>>(input));

  fwdl::DeviceEnumeration enumeration;
  if (enumeration.Enumerate(pv::kInterfaceGuidText) != KVOFWDL_STATUS_SUCCESS ||
      enumeration.OpenDevice(0) != KVOFWDL_STATUS_SUCCESS) {
    return 0;
  }
  fwdl::KvoFwdlDevice& unit = *enumeration.OpenUnit();
  // Below, statuses are dropped on purpose: any answer to fuzzed input will do, as long as
  // nothing crashes, hangs or leaks.
  for (uint32_t index = 0; index < 6; ++index)
    static_cast<void>(unit.SetTimeout(index, 200 + 100 * index));
  KVOFWDL_DEVICE_INFO info;
  static_cast<void>(unit.GetDeviceInfo(&info, true));

  fwdl::KwfFile file;
  const uint32_t version = plan & 1;
  if (files.path(version).empty() || file.Open(files.path(version)) != KVOFWDL_STATUS_SUCCESS) {
    return 0;
  }
  fwdl::KvoFwdlDownloader downloader(enumeration);
  uint32_t conditions = 0;
  static_cast<void>(downloader.CheckDownload(&file, &unit, conditions));

  const bool streamed = (plan & 2) != 0;
  if (streamed ? unit.ResetProt3(fwdl::RESET_HALT_IN_BOOTLOADER)
               : unit.ResetProt1and2(fwdl::RESET_HALT_IN_BOOTLOADER)) {
    return 0;
  }
  fwdl::DownloadStatus progress;
  constexpr uint32_t kTypes[] = {fwdl::OBJ_PROGRAM, fwdl::OBJ_CNE, fwdl::OBJ_BOOTLOADER, 2, 7};
  while (!input.empty()) {
    const uint8_t step = input.byte();
    uint32_t value = 0;
    switch (step % 6) {
      case 0:
        static_cast<void>(
            unit.DownloadObject(kTypes[(step / 6) % std::size(kTypes)], file, progress));
        break;
      case 1:
        static_cast<void>(unit.DownloadStart(kTypes[(step / 6) % std::size(kTypes)], file, value));
        break;
      case 2:
        static_cast<void>(unit.DownloadEnd(value));
        break;
      case 3:
        static_cast<void>(unit.ProgramGuid(step, ~step));
        break;
      case 4:
        static_cast<void>(unit.InitPersParams());
        break;
      case 5:
        static_cast<void>(unit.GetResetGenCount(value));
        static_cast<void>(unit.GetDeviceInfo(&info, (step & 0x40) != 0));
        break;
    }
  }
  if (streamed) {
    static_cast<void>(unit.ResetProt3(fwdl::RESET_START_APPLICATION));
  } else {
    static_cast<void>(unit.ResetProt1and2(fwdl::RESET_START_APPLICATION));
  }
  return 0;
}
