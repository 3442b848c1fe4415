// The CPU one bus request costs the program that asks it, over the daemon's socket: what
// bench/measure-control-panel multiplies by the requests of the 15 ms pass to tell them apart
// from the program's own idle work. The requests come as the pass asks them, a few in a row
// and then a 15 ms sleep, so that each batch pays the wake-ups of a cold start as the pass
// does (a tight loop would find everything hot and cost a fraction). The batch of none is the
// wake-up alone, which the pass pays for its own work anyway: a request costs the difference.
// The daemon is the one VELMORA_SIMBUS names (the measuring script's); the time is the whole
// process's (the client's reader thread included), not the daemon's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/vhpd_client.h"
#include "platform/vhpd_protocol.h"
#include "simbus/backend.h"
#include "simbus/unit_model.h"

namespace {

namespace pv = platform::vhpd;

void BusRequestRoundTrip(benchmark::State& state) {
  const std::shared_ptr<pv::VhpdClient> client =
      simbus::makeBusClient(std::getenv("VELMORA_SIMBUS"));
  std::vector<std::string> paths;
  std::unique_ptr<pv::DeviceHandle> handle;
  if (client == nullptr || client->presentInterfaces(pv::kInterfaceGuid, paths) != 0 ||
      paths.empty() || client->open(paths.front(), pv::OpenMode::Overlapped, handle) != 0) {
    state.SkipWithError("no unit on the bus VELMORA_SIMBUS names");
    return;
  }
  // A small read, as most requests of the pass are.
  std::vector<uint8_t> block(simbus::kInfoBlockSize);
  const auto request = pv::makeAsyncRequest(simbus::kInfoBlockAddress);
  const int64_t inARow = state.range(0);
  for (auto _ : state) {
    for (int64_t i = 0; i < inARow; ++i) {
      const pv::IoResult r =
          pv::completeIo(handle->ioControl(pv::IOCTL_VHPD_ASYNC_READ, request, block));
      benchmark::DoNotOptimize(r);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(15));  // not CPU time
  }
}
// Three in a row: what an idle pass asks of one Studio.
BENCHMARK(BusRequestRoundTrip)->Arg(0)->Arg(3)->Iterations(200)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
