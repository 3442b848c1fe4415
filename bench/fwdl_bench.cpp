// The firmware library's download of a shipped file to a protocol-3 unit:
//   - in-process on the fake clock (the library's pauses take no time): the whole download
//     through the library, against the same bytes written to the simulated unit by hand; the
//     difference is the library's own cost;
//   - through a daemon: the streamed transfer of the file, in bytes per second;
//   - the check of the whole file before anything reaches a unit (open, header, both objects'
//     lengths and CRCs): it should add no more than a few milliseconds to a download.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "fwdl/kwf_file.h"
#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bootloader.h"
#include "simbus/sim_bus.h"
#include "tests/simbus/daemon_process.h"

namespace {

namespace pv = platform::vhpd;
namespace bl = simbus::bootloader;

std::vector<uint8_t> ShippedFile() {
  std::ifstream in(STUDIO_KWF, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A bus in this process with one protocol-3 Studio, on a fake clock.
struct InprocessBus {
  platform::FakeClock clock{1000};
  platform::ScopedClock useClock{clock};
  std::shared_ptr<simbus::SimBus> bus = std::make_shared<simbus::SimBus>();
  pv::ScopedClient useBus{simbus::makeInprocClient(bus)};
  uint32_t serial = bus->plug(simbus::UnitSpec{}).value();
};

// The downloader with a unit of its own, set up to stream a file as a started download would.
class Streamer : public fwdl::KvoFwdlDownloader {
 public:
  Streamer(const fwdl::DeviceEnumeration& enumeration, fwdl::KwfFile& file, fwdl::KvoDevice& unit)
      : KvoFwdlDownloader(enumeration) {
    file_ = &file;
    device_ = &unit;
    mode_ = fwdl::MODE_PROGRAM;
  }
};

void LibraryDownloadInProcess(benchmark::State& state) {
  for (auto _ : state) {
    InprocessBus bus;
    fwdl::DeviceEnumeration enumeration;
    enumeration.Enumerate(pv::kInterfaceGuidText);
    enumeration.OpenDevice(0);
    fwdl::KvoFwdlDownloader downloader(enumeration);
    downloader.StartDownload(STUDIO_KWF, enumeration.OpenUnit(), fwdl::MODE_PROGRAM, 0);
    while (downloader.IsDownloadRunning()) std::this_thread::yield();
    if (downloader.Status().Status() != KVOFWDL_STATUS_SUCCESS) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1351680);
}
BENCHMARK(LibraryDownloadInProcess)->Unit(benchmark::kMillisecond);

// What the simulated bus itself costs for the same download: reset, start, the blocks and
// their answers, end, reset, written and read by hand.
void BusOnlyDownloadInProcess(benchmark::State& state) {
  const std::vector<uint8_t> file = ShippedFile();
  auto request = [](pv::DeviceHandle& unit, uint8_t code, uint16_t id,
                    std::initializer_list<uint32_t> payload) {
    std::array<uint8_t, bl::kRecordSize> bytes{};
    // Word 0 names the protocol; word 1 the payload's word count, the code and the id.
    pv::storeLe32(bytes.data(), 3);
    pv::storeLe32(bytes.data() + 4,
                  static_cast<uint32_t>(payload.size()) << 24 | uint32_t{code} << 16 | id);
    size_t at = 8;
    for (uint32_t word : payload) pv::storeLe32(bytes.data() + std::exchange(at, at + 4), word);
    const auto address = pv::makeAsyncRequest(bl::kRequestWindow);
    std::vector<uint8_t> out(bytes.begin(), bytes.end());
    pv::completeIo(unit.ioControl(pv::IOCTL_VHPD_ASYNC_WRITE, address, out));
    std::vector<uint8_t> answer(bl::kRecordSize);
    const auto responseAddress = pv::makeAsyncRequest(bl::kResponseWindow);
    pv::completeIo(unit.ioControl(pv::IOCTL_VHPD_ASYNC_READ, responseAddress, answer));
  };
  for (auto _ : state) {
    InprocessBus bus;
    auto open = [&] {
      std::unique_ptr<pv::DeviceHandle> handle;
      pv::client().open(
          simbus::SimBus::devicePath(uint64_t{simbus::kDefaultSerialHigh} << 32 | bus.serial),
          pv::OpenMode::Overlapped, handle);
      return handle;
    };
    auto unit = open();
    uint16_t id = 0;
    request(*unit, bl::kReset, ++id, {bl::kHaltInBootloader});
    bus.clock.advance(bus.bus->driver().rejoinDelayMs);
    unit = open();
    // The image as the file's header names it: its build stamp, address, length and CRC.
    auto word = [&](size_t offset) { return pv::loadLe32(file.data() + offset); };
    request(
        *unit, bl::kDownloadStart, ++id,
        {bl::kProgram, word(8), word(12), word(16), word(20), 0, 0, word(52), word(56), word(60)});
    const auto data = pv::makeAsyncRequest(bl::kDataWindow);
    uint32_t sequence = 0;
    for (size_t at = 0; at < file.size(); at += 2048, ++sequence) {
      const size_t size = std::min<size_t>(2048, file.size() - at);
      std::vector<uint8_t> block(file.begin() + at, file.begin() + at + size);
      pv::completeIo(unit->ioControl(pv::IOCTL_VHPD_ASYNC_WRITE, data, block));
      request(*unit, bl::kDownloadBlock, ++id,
              {sequence, static_cast<uint32_t>(at), static_cast<uint32_t>(size)});
    }
    request(*unit, bl::kDownloadEnd, ++id, {});
    request(*unit, bl::kReset, ++id, {bl::kStartApplication});
    if (bus.bus->units()[0].firmware != 0x020110CC) state.SkipWithError("not installed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1351680);
}
BENCHMARK(BusOnlyDownloadInProcess)->Unit(benchmark::kMillisecond);

// The streamed transfer of the shipped file to a unit halted in its boot loader, through a
// daemon of the benchmark's own, on the real clock.
void StreamThroughTheDaemon(benchmark::State& state) {
  const std::string folder = std::filesystem::temp_directory_path() / "velmora-fwdl-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  simbus::test::DaemonProcess daemon(folder);
  if (!daemon.start({"--units", "studio"})) {
    state.SkipWithError("no daemon");
    return;
  }
  setenv("VELMORA_SIMBUS", daemon.socketPath().c_str(), 1);
  simbus::test::runSimbus({"--socket", daemon.socketPath(), "driver", "--rejoin-delay", "10"});
  pv::ScopedClient useDaemon(pv::makeDefaultClient());
  fwdl::DeviceEnumeration enumeration;
  enumeration.Enumerate(pv::kInterfaceGuidText);
  enumeration.OpenDevice(0);
  fwdl::KwfFile file;
  file.Open(STUDIO_KWF);
  if (enumeration.OpenUnit() == nullptr ||
      enumeration.OpenUnit()->ResetProt3(fwdl::RESET_HALT_IN_BOOTLOADER) !=
          KVOFWDL_STATUS_SUCCESS) {
    state.SkipWithError("unit not halted");
    return;
  }
  Streamer streamer(enumeration, file, *enumeration.OpenUnit());
  for (auto _ : state) {
    if (streamer.DownloadProt3() != KVOFWDL_STATUS_SUCCESS) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * file.FileSize());
  daemon.terminate();
  std::filesystem::remove_all(folder);
}
void WholeFileCheck(benchmark::State& state) {
  for (auto _ : state) {
    fwdl::KwfFile file;
    if (file.OpenVerified(STUDIO_KWF) != KVOFWDL_STATUS_SUCCESS) {
      state.SkipWithError("the shipped file did not pass its check");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(ShippedFile().size()));
}
BENCHMARK(WholeFileCheck)->Unit(benchmark::kMillisecond);

BENCHMARK(StreamThroughTheDaemon)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
