// velmoractl verbs run in-process against an in-process bus on a fake clock, with their
// output captured.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cli/commands.h"
#include "control_panel/device/cv_avc.h"
#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bus.h"

namespace velmoractl::test {

namespace pv = platform::vhpd;

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

class CliFixture : public ::testing::Test {
 protected:
  platform::FakeClock clock{1000};
  platform::ScopedClock useClock{clock};
  std::shared_ptr<simbus::SimBus> bus = std::make_shared<simbus::SimBus>();
  pv::ScopedClient useBus{simbus::makeInprocClient(bus)};

  void TearDown() override { velmora::transportCaps() = {}; }

  static Outcome run(int (*verb)(Args), Args args) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = verb(std::move(args));
    std::string out = ::testing::internal::GetCapturedStdout();
    return {code, out, ::testing::internal::GetCapturedStderr()};
  }
};

}  // namespace velmoractl::test
