// The device link against an in-process simulated bus on a fake clock, with the diagnostic
// log going to a file in a scratch temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "control_panel/device/avcio.h"
#include "control_panel/device/cv_avc.h"
#include "control_panel/device/device_info_set.h"
#include "control_panel/device/diagnostic_log.h"
#include "control_panel/device/kvo_ctrl.h"
#include "tests/support/bus_harness.h"

namespace velmora::test {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

class DeviceFixture : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  DeviceFixture() : BusHarness(5000) {}

  // The temporary folder, where the diagnostic log goes.
  const platform::test::ScratchFolder& temp = scratch;
  platform::test::ScopedEnv tmpdir{"TMPDIR", temp.path()};

  void SetUp() override { setLogDestination(LogDestination::File); }
  void TearDown() override {
    setLogDestination(LogDestination::Off);
    transportCaps() = {};
  }

  uint32_t plug(simbus::Model model = simbus::Model::Studio) {
    return bus->plug(simbus::UnitSpec{model}).value();
  }

  std::string logText() const {
    std::ifstream in(temp / "VelmoraProLog.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  simbus::TransferCounts counts(uint32_t serial) const { return *bus->transferCounts(serial); }

  // An AVCIO on interface `index` of a fresh set (asserts the open worked).
  AVCIO* openIo(uint32_t index) {
    auto set = DeviceInfoSet::Get(pv::kInterfaceGuid);
    auto channel = std::make_unique<CKvoCtrl>();
    EXPECT_EQ(channel->Open(index, set.get()), 0u);
    return AVCIO::Create(std::move(channel));
  }
};

// Releases an AVCIO reference at the end of a scope.
struct Released {
  void operator()(AVCIO* io) const { io->Release(); }
};
using AvcioRef = std::unique_ptr<AVCIO, Released>;

}  // namespace velmora::test
