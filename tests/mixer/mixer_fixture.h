// The mixer over a hardware abstraction on an in-process simulated Studio, on a fake clock,
// with a user interface that records what it was asked and answers questions as told.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "control_panel/device/cv_avc.h"
#include "control_panel/hal/velmora_hal.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/mixer/velmora_plugin.h"
#include "tests/support/bus_harness.h"

namespace velmora::test {

namespace pv = platform::vhpd;

class RecordingMixerUi : public MixerUserInterface {
 public:
  void ShowStatus(const std::string& text) override { shown.push_back("status: " + text); }
  void ShowMessageBox(const std::string& text, const std::string&) override {
    shown.push_back("message: " + text);
  }
  void DetachPanel() override { shown.push_back("detach"); }
  void ReattachPanel() override { shown.push_back("reattach"); }
  std::optional<std::string> ChooseSaveFile() override { return fileChoice; }
  std::optional<std::string> ChooseLoadFile() override { return fileChoice; }
  std::optional<std::string> EditUnitName(const std::string& name) override {
    shown.push_back("name dialog: " + name);
    return nameChoice;
  }
  bool AskYesNo(const std::string& text, const std::string&) override {
    shown.push_back("question: " + text);
    return answer;
  }
  void ShowErrorBox(const std::string& text, const std::string& caption) override {
    shown.push_back(caption + ": " + text);
  }
  void ShowUnitName(const std::string& name) override { shown.push_back("unit name: " + name); }
  void RefreshRateDependentState() override { shown.push_back("refresh"); }
  bool IsFloatFrameShown() override { return false; }
  void DetachLayouts() override { shown.push_back("detach layouts"); }
  void ShowSelectedFrame(bool) override { shown.push_back("show frame"); }

  std::vector<std::string> shown;
  std::optional<std::string> fileChoice;
  std::optional<std::string> nameChoice;
  bool answer = true;
};

class MixerFixture : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  MixerFixture() : BusHarness(7000) {}

  // The user's data folder, where default mix files go.
  const platform::test::ScratchFolder& folder = scratch;
  platform::test::ScopedEnv dataHome{"XDG_DATA_HOME", folder.path()};
  RecordingMixerUi ui;
  VelmoraPlugin plugin;
  std::unique_ptr<MixerHost> host;
  uint32_t serial = 0;

  // A unit of `model` on the bus, opened, with the mixer attached.
  void start(simbus::Model model = simbus::Model::Studio) {
    serial = bus->plug(simbus::UnitSpec{model, 0x00012345}).value();
    VelmoraHAL::Create(ui);
    host = std::make_unique<MixerHost>(plugin, hal(), ui);
    plugin.setHost(host.get());
    hal().AttachMixer(host.get());
    ASSERT_EQ(hal().Open(hal().CurrentSerial()), 0);
    hal().GetSampleRate();  // the idle pass polls the driver's rate
  }
  void SetUp() override { start(); }
  void TearDown() override {
    VelmoraHAL::Destroy();
    transportCaps() = {};
  }

  VelmoraHAL& hal() { return *VelmoraHAL::Get(); }
  float value(int id) { return plugin.getNormalised(id); }
  // A change as a widget makes it: the value stored, the host told, then the observers.
  void userSet(int id, float normalised) {
    plugin.getParameter(id)->setNormalised(normalised);
    plugin.userChanged(id, true);
  }
  uint32_t coefficient(uint32_t index) { return bus->peek(serial, index).value(); }
  std::vector<std::pair<uint32_t, uint32_t>> writes() { return bus->coefficientWrites(serial); }
};

}  // namespace velmora::test
