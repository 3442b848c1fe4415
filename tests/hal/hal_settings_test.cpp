// Sample rate, clock source, modes, the unit's name and the flash store.
#include "control_panel/hal/unit_coefficients.h"
#include "hal_fixture.h"

namespace velmora::test {
namespace {

using simbus::coefficient::kSampleRateCode;

class HalSettingsTest : public HalFixture {
 protected:
  // An open unit with the driver and the unit at `hz`.
  uint32_t openAt(uint32_t hz, simbus::Model model = simbus::Model::Studio) {
    const uint32_t serial = plug(model);
    bus->setDriverRate(hz);
    bus->poke(serial, kSampleRateCode, SampleRateCode(hz));
    VelmoraHAL& h = hal();
    EXPECT_EQ(h.Open(h.CurrentSerial()), 0);
    EXPECT_EQ(h.GetSampleRate(), static_cast<int>(hz));
    return serial;
  }
};

TEST_F(HalSettingsTest, ARateWithinTheBandClosesForTheIdlePassOnly) {
  const uint32_t serial = openAt(88200);
  VelmoraHAL& h = hal();
  EXPECT_TRUE(h.SetSampleRate(96000));
  EXPECT_FALSE(h.IsOpen());
  EXPECT_TRUE(h.MayOpen());
  EXPECT_FALSE(h.PowerCyclePending());
  EXPECT_EQ(bus->peek(serial, kSampleRateCode), 4u);
  EXPECT_EQ(bus->flashOf(serial).value()[kSampleRateCode], 4u);  // stored in flash
  uint32_t stored = 0;
  EXPECT_NE(pv::client().readDriverSetting(pv::kStudioSettingsKey, pv::kSampleRateValue, stored),
            0u);
  EXPECT_TRUE(logHas("SampleRateChangeWouldSwitchBands() - cur: 2 new: 2\n"));
  EXPECT_EQ(ui.statusLines.back(), "Setting sample rate to 96000 Hz, please wait...");
  EXPECT_EQ(h.Open(h.CurrentSerial()), 0);  // agrees 96 kHz with the driver
  EXPECT_EQ(bus->driver().sampleRate, 96000u);
}

TEST_F(HalSettingsTest, ABandChangeStoresTheDriverRateAndWaitsForTheUnitToComeBack) {
  for (auto model : {simbus::Model::Studio, simbus::Model::Compact}) {
    VelmoraHAL::Destroy();
    bus = std::make_shared<simbus::SimBus>();
    useBus.reset();
    useBus = std::make_unique<pv::ScopedClient>(simbus::makeInprocClient(bus));
    const uint32_t serial = openAt(48000, model);
    VelmoraHAL& h = hal();
    EXPECT_TRUE(h.SetSampleRate(88200));
    uint32_t stored = 0;
    const char* key =
        model == simbus::Model::Studio ? pv::kStudioSettingsKey : pv::kCompactSettingsKey;
    EXPECT_EQ(pv::client().readDriverSetting(key, pv::kSampleRateValue, stored), 0u);
    EXPECT_EQ(stored, 88200u);
    EXPECT_FALSE(h.MayOpen());
    EXPECT_TRUE(h.PowerCyclePending());
    EXPECT_EQ(h.Open(h.CurrentSerial()), -2);

    // The unit left the bus with its new model and comes back 1.5 s later.
    h.OnMSWDeviceChange();
    clock.advance(1500);
    h.OnMSWDeviceChange();
    EXPECT_TRUE(h.MayOpen());
    EXPECT_EQ(h.Open(h.CurrentSerial()), 0);
    EXPECT_EQ(bus->driver().sampleRate, 88200u);
    EXPECT_EQ(bus->peek(serial, kSampleRateCode), 3u);
  }
}

TEST_F(HalSettingsTest, TheRateAlreadySetNeedsNoTransfer) {
  const uint32_t serial = openAt(48000);
  const uint64_t before = transfers(serial);
  EXPECT_TRUE(hal().SetSampleRate(48000));
  EXPECT_EQ(transfers(serial), before);
  EXPECT_TRUE(hal().IsOpen());
  EXPECT_TRUE(logHas("VelmoraHAL::SetSampleRate(48000) - already at this rate\n"));
}

TEST_F(HalSettingsTest, AFailedRateWriteClosesTheUnit) {
  const uint32_t serial = openAt(48000);
  bus->addFault({.action = simbus::FaultAction::BusReset,
                 .kind = simbus::TransferKind::Any,
                 .serial = serial});
  EXPECT_FALSE(hal().SetSampleRate(44100));
  EXPECT_FALSE(hal().IsOpen());
  EXPECT_TRUE(
      logHas("mAVC->SetValue failed in SetSampleRate(44100), VHPD_STATUS_INVALID_GEN_COUNT\n"));
}

TEST_F(HalSettingsTest, GetSampleRateFollowsTheDriverAndTellsObservers) {
  openAt(48000);
  observer.events.clear();
  bus->setDriverRate(44100);
  EXPECT_EQ(hal().GetSampleRate(), 44100);
  EXPECT_EQ(hal().DriverRate(), 44100.0f);
  EXPECT_EQ(observer.events, (std::vector<int>{0}));
  EXPECT_EQ(hal().GetSampleRate(), 44100);
  EXPECT_EQ(observer.events.size(), 1u);
  EXPECT_FALSE(hal().IsStreaming());
  bus->setStreaming(true);
  EXPECT_TRUE(hal().IsStreaming());
}

TEST_F(HalSettingsTest, SyncSourceAlreadySetWritesNothing) {
  const uint32_t serial = openAt(48000);
  const uint64_t before = transfers(serial);
  clearLog();
  EXPECT_TRUE(hal().SetSyncSource(kSyncInternal));
  EXPECT_EQ(logText(), "SetSyncSource(internal)\n already set\n");
  EXPECT_EQ(transfers(serial), before);
  EXPECT_TRUE(hal().SetSyncSource(kSyncWordclock));
  EXPECT_EQ(bus->peek(serial, 93), 5u);
  EXPECT_EQ(hal().GetSyncSource(), kSyncWordclock);
  EXPECT_EQ(hal().GetSyncStatus(), kSyncInternal);  // wordclock not locked
}

TEST_F(HalSettingsTest, NamesKeepSixteenBytesPackedMostSignificantFirst) {
  const uint32_t serial = openAt(48000);
  VelmoraHAL& h = hal();
  struct Case {
    std::string text;
    std::array<uint32_t, 4> words;
    std::string readBack;
  } cases[] = {
      {"Studio A - Live Room",
       {0x53747564, 0x696F2041, 0x202D204C, 0x69766520},
       "Studio A - Live "},
      {"Caf\xE9 B", {0x436166E9, 0x20420000, 0, 0}, "Caf\xE9 B"},
      {"", {0, 0, 0, 0}, ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(h.SetUnitName(c.text));
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(bus->peek(serial, 94 + i), c.words[i]) << c.text;
    char name[17];
    ASSERT_TRUE(h.GetUnitName(serialOf(serial), name));
    EXPECT_EQ(std::string(name), c.readBack);
    EXPECT_EQ(ui.statusLines.back(), "\"" + c.readBack + "\" ready");
  }
  EXPECT_EQ(bus->flashOf(serial).value()[94], 0u);  // stored each time
}

TEST_F(HalSettingsTest, StandaloneModeIsStoredOnlyWhenWritten) {
  const uint32_t serial = openAt(48000);
  VelmoraHAL& h = hal();
  EXPECT_TRUE(h.SetStandaloneMode(true));
  EXPECT_TRUE(h.TrackingMode());
  EXPECT_EQ(bus->flashOf(serial).value()[111], 1u);

  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::Any,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = platform::win_error::GenFailure});
  EXPECT_FALSE(h.SetStandaloneMode(false));
  EXPECT_TRUE(h.TrackingMode());
  EXPECT_EQ(bus->flashOf(serial).value()[111], 1u);
  EXPECT_FALSE(h.IsOpen());
}

TEST_F(HalSettingsTest, AdatAndAc3ChangesCloseTheUnit) {
  const uint32_t serial = openAt(48000);
  VelmoraHAL& h = hal();
  h.SetAC3Passthrough(true);  // reopens at once
  EXPECT_TRUE(h.AC3Passthrough());
  EXPECT_TRUE(h.IsOpen());
  EXPECT_TRUE(h.PowerCyclePending() == false);  // the immediate reopen succeeded
  EXPECT_EQ(bus->peek(serial, 103), 1u);
  EXPECT_EQ(ui.statusLines[ui.statusLines.size() - 2], "Enabling  AC3 passthrough, please wait...");

  h.SetReducedAVCModel(true);
  EXPECT_FALSE(h.IsOpen());
  EXPECT_FALSE(h.MayOpen());
  EXPECT_TRUE(h.ReducedModel());
  EXPECT_TRUE(h.PowerCyclePending());
  EXPECT_TRUE(logHas("SetReducedAVCModel(true) ok\n"));
}

TEST_F(HalSettingsTest, MonitoringModeFlagAndFirmwareVersion) {
  const uint32_t serial = openAt(48000);
  VelmoraHAL& h = hal();
  EXPECT_FALSE(h.IsHardwareMonitoring());
  bus->poke(serial, 118, 1);
  EXPECT_TRUE(h.IsHardwareMonitoring());
  EXPECT_TRUE(h.SetModeFlag(true));
  EXPECT_EQ(bus->peek(serial, 88), 1u);
  int major = 0, minor = 0, build = 0;
  EXPECT_TRUE(h.GetKWFInfo(major, minor, build));
  EXPECT_EQ(major, 2);
  EXPECT_EQ(minor, 0);
  EXPECT_EQ(build, 4000);
  h.Close();
  EXPECT_FALSE(h.GetKWFInfo(major, minor, build));
  EXPECT_TRUE(logHas("VelmoraHAL::GetKWFInfo() mAVC == NULL, failed\n"));
}

}  // namespace
}  // namespace velmora::test
