// A VelmoraHAL over an in-process simulated bus on a fake clock, with a recorder for what
// it shows the user and its diagnostic log in a scratch file.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "control_panel/device/diagnostic_log.h"
#include "control_panel/hal/velmora_hal.h"
#include "tests/support/bus_harness.h"

namespace velmora::test {

namespace pv = platform::vhpd;

class RecordingUserInterface : public HalUserInterface {
 public:
  void ShowStatus(const std::string& text) override { statusLines.push_back(text); }
  void ShowMessageBox(const std::string& text, const std::string& caption) override {
    messageBoxes.push_back(caption + ": " + text);
  }
  std::vector<std::string> statusLines;
  std::vector<std::string> messageBoxes;
};

class RecordingObserver : public VelmoraHAL::Observer {
 public:
  void notify(HalEvent event) override { events.push_back(event); }
  std::vector<int> events;
};

class HalFixture : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  HalFixture() : BusHarness(100000) {}

  // The temporary folder, where the diagnostic log goes.
  const platform::test::ScratchFolder& temp = scratch;
  platform::test::ScopedEnv tmpdir{"TMPDIR", temp.path()};
  RecordingUserInterface ui;
  RecordingObserver observer;

  void SetUp() override { setLogDestination(LogDestination::File); }
  void TearDown() override {
    VelmoraHAL::Destroy();
    setLogDestination(LogDestination::Off);
    transportCaps() = {};
  }

  // Creates the hardware abstraction on the bus as it is now.
  VelmoraHAL& hal() {
    if (!VelmoraHAL::Get()) {
      VelmoraHAL::Create(ui);
      VelmoraHAL::Get()->AddObserver(&observer);
    }
    return *VelmoraHAL::Get();
  }

  uint32_t plug(simbus::Model model = simbus::Model::Studio, uint32_t serial = 0) {
    return bus->plug(simbus::UnitSpec{model, serial}).value();
  }

  std::string logText() const {
    std::ifstream in(temp / "VelmoraProLog.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void clearLog() const { std::ofstream(temp / "VelmoraProLog.txt", std::ios::trunc); }
  bool logHas(const std::string& text) const { return logText().find(text) != std::string::npos; }

  UnitSerial serialOf(uint32_t low) const { return {low, simbus::kDefaultSerialHigh}; }
  uint64_t transfers(uint32_t serial) const { return bus->transferCounts(serial)->total(); }
};

}  // namespace velmora::test
