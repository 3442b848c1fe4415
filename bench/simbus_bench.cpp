// The simulated bus must stay far cheaper than the code it stands under: one coefficient
// batch through the driver interface in-process, and a mailbox batch of a whole mix.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bus.h"

namespace {

namespace pv = platform::vhpd;

struct OpenUnit {
  std::shared_ptr<simbus::SimBus> bus = std::make_shared<simbus::SimBus>();
  std::shared_ptr<pv::VhpdClient> client = simbus::makeInprocClient(bus);
  std::unique_ptr<pv::DeviceHandle> handle;
  OpenUnit() {
    const uint32_t serial = bus->plug(simbus::UnitSpec{}).value();
    client->open(simbus::SimBus::devicePath(uint64_t{simbus::kDefaultSerialHigh} << 32 | serial),
                 pv::OpenMode::Overlapped, handle);
  }
};

void MailboxWriteOfAWholeMix(benchmark::State& state) {
  OpenUnit unit;
  const size_t pairs = static_cast<size_t>(state.range(0));
  std::vector<uint8_t> batch(8 * pairs);
  for (size_t i = 0; i < pairs; ++i) pv::storeBe32(batch.data() + 8 * i, static_cast<uint32_t>(i));
  const auto request = pv::makeAsyncRequest(simbus::kBlockSetMailbox);
  for (auto _ : state) {
    const pv::IoResult r =
        pv::completeIo(unit.handle->ioControl(pv::IOCTL_VHPD_ASYNC_WRITE, request, batch));
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(MailboxWriteOfAWholeMix)->Arg(1)->Arg(88);

void InformationBlockRead(benchmark::State& state) {
  OpenUnit unit;
  std::vector<uint8_t> block(simbus::kInfoBlockSize);
  const auto request = pv::makeAsyncRequest(simbus::kInfoBlockAddress);
  for (auto _ : state) {
    const pv::IoResult r =
        pv::completeIo(unit.handle->ioControl(pv::IOCTL_VHPD_ASYNC_READ, request, block));
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(InformationBlockRead);

}  // namespace
