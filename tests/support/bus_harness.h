// The set-up most tests share: a fake clock in place of the process clock (every wait is
// instant), a simulated bus inside the process as the driver every module reaches, and a
// scratch folder. A test fixture inherits it, next to ::testing::Test:
//
//   class MyTest : public ::testing::Test, protected platform::test::BusHarness {};
//   TEST_F(MyTest, Something) { const uint32_t serial = bus->plug({}).value(); ... }
#pragma once

#include <cstdint>
#include <memory>

#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bus.h"
#include "tests/support/scratch.h"

namespace platform::test {

struct BusHarness {
  explicit BusHarness(uint32_t startTick = 1000) : clock(startTick) {}

  platform::FakeClock clock;
  platform::ScopedClock useClock{clock};
  std::shared_ptr<simbus::SimBus> bus = std::make_shared<simbus::SimBus>();
  // Held by pointer, so that a test can end it and put a client of its own in its place.
  std::unique_ptr<platform::vhpd::ScopedClient> useBus =
      std::make_unique<platform::vhpd::ScopedClient>(simbus::makeInprocClient(bus));
  ScratchFolder scratch;
};

}  // namespace platform::test
