// Opening the current unit: the sample-rate agreement, the status word, standalone units,
// the post-open steps, refusals and the power-cycle reminder.
#include "control_panel/hal/unit_coefficients.h"
#include "hal_fixture.h"
#include "platform/unit_update_lock.h"

namespace velmora::test {
namespace {

using simbus::coefficient::kSampleRateCode;
using simbus::coefficient::kStatus;

using HalOpenTest = HalFixture;

TEST_F(HalOpenTest, OpensTheFirstUnitAndTellsObserversAndTheUser) {
  const uint32_t serial = plug(simbus::Model::Studio, 1234);
  VelmoraHAL& h = hal();
  EXPECT_EQ(h.CurrentSerial(), serialOf(serial));
  ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
  EXPECT_TRUE(h.IsOpen());
  EXPECT_EQ(h.DriverRate(), 0.0f);  // the driver already ran at the target: not set
  EXPECT_EQ(h.TargetRate(), 48000.0f);
  EXPECT_EQ(bus->peek(serial, 117), 18u);
  EXPECT_EQ(observer.events, (std::vector<int>{0, 2}));
  ASSERT_FALSE(ui.statusLines.empty());
  EXPECT_EQ(ui.statusLines.back(), "\"Velmora Studio\" ready");
  EXPECT_TRUE(
      logHas("OnDeviceAdded(1234) - it's a new device, we didn't have one before so "
             "we're going to try opening it\n"));
  EXPECT_TRUE(
      logHas("VelmoraHAL::Open()\nAudioDriver::Open()... 0x00000000\n"
             "The driver is set to 48000 Hz...\nThe unit thinks it's at 48000 Hz...\n"));
  EXPECT_TRUE(logHas("  VelmoraHAL::Open() : Success... - OK - Velmora Studio\n  READY!\n"));
  EXPECT_EQ(h.Open(h.CurrentSerial()), 0);  // already open
  h.Close();
  EXPECT_EQ(observer.events, (std::vector<int>{0, 2, 3}));
  EXPECT_TRUE(logHas("+ VelmoraHAL::Close()\n"));
}

// While a firmware download holds the unit, the panel sends it nothing and says why; it opens
// the unit again once the download has let go.
TEST_F(HalOpenTest, AUnitBeingUpdatedIsLeftAloneUntilTheUpdateEnds) {
  const uint32_t serial = plug(simbus::Model::Studio, 1234);
  VelmoraHAL& h = hal();  // the panel runs when the update starts
  uint32_t error = 0;
  auto download = platform::lockUnitForUpdate(
      simbus::SimBus::devicePath(uint64_t{simbus::kDefaultSerialHigh} << 32 | serial), error);
  ASSERT_NE(download, nullptr);
  const uint64_t before = bus->transferCounts(serial)->total();
  EXPECT_NE(h.Open(h.CurrentSerial()), 0);
  EXPECT_FALSE(h.IsOpen());
  ASSERT_FALSE(ui.statusLines.empty());
  EXPECT_EQ(ui.statusLines.back(),
            "The unit's firmware is being updated: the panel waits until the update has ended");
  EXPECT_EQ(bus->transferCounts(serial)->total(), before);

  download.reset();
  EXPECT_EQ(h.Open(h.CurrentSerial()), 0);
  EXPECT_TRUE(h.IsOpen());
}

TEST_F(HalOpenTest, AUnitAtAnotherRateIsKickedToTheDriverRateFirst) {
  const uint32_t serial = plug();
  bus->poke(serial, kSampleRateCode, 1);  // 44.1 kHz, driver at 48 kHz
  VelmoraHAL& h = hal();
  EXPECT_EQ(h.Open(h.CurrentSerial()), -1);
  EXPECT_EQ(h.TargetRate(), 48000.0f);
  EXPECT_EQ(bus->peek(serial, kSampleRateCode), 2u);
  EXPECT_TRUE(logHas("Kicking the unit into the target samplerate of 48000 Hz...\n"));
  clearLog();
  EXPECT_EQ(h.Open(h.CurrentSerial()), 0);
  EXPECT_FALSE(logHas("SetSampleRate"));  // the driver was left alone
}

TEST_F(HalOpenTest, WithoutAnyKnownRateTheDriverIsSetTo44100BeforeTheTestRead) {
  const uint32_t serial = plug();
  bus->setDriverRate(0);
  VelmoraHAL& h = hal();
  // The read of the unit's rate fails once.
  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::QuadletRead,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = platform::win_error::GenFailure});
  ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
  const std::string log = logText();
  const size_t set = log.find(
      "Nobody seems to know what rate to use, so we'll default to 44100 "
      "Hz.  Oh dear.\n  VelmoraHAL::Open() : mAudioDriver->SetSampleRate("
      "44100):  SUCCEEDED!\n");
  EXPECT_NE(set, std::string::npos) << log;
  EXPECT_EQ(bus->driver().sampleRate, 44100u);
  EXPECT_EQ(h.DriverRate(), 44100.0f);
}

TEST_F(HalOpenTest, TheStatusWordDecidesWhetherTheUnitCanBeWritten) {
  struct Case {
    uint32_t status;
    int32_t result;
  } cases[] = {{0x7, 0}, {0x3, 0}, {0x5, 0}, {0x1, -1}, {0x0, -1}};
  for (const Case& c : cases) {
    VelmoraHAL::Destroy();
    bus = std::make_shared<simbus::SimBus>();
    useBus.reset();
    useBus = std::make_unique<pv::ScopedClient>(simbus::makeInprocClient(bus));
    const uint32_t serial = plug();
    bus->poke(serial, kStatus, c.status);
    VelmoraHAL& h = hal();
    EXPECT_EQ(h.Open(h.CurrentSerial()), c.result) << c.status;
  }
  EXPECT_TRUE(
      logHas("  VelmoraHAL::Open() : Failed reading \"write OK\" bit: COEFF_DIGIPS = 3\n"
             "play & record OK so let's go for it\n"));
}

TEST_F(HalOpenTest, AStandaloneUnitIsReleasedAndOpensNextTime) {
  const uint32_t serial = plug();
  bus->setStandalone(serial, true);
  VelmoraHAL& h = hal();
  EXPECT_EQ(h.Open(h.CurrentSerial()), -1);
  EXPECT_TRUE(logHas("Appears to be in standalone mode, kicking it...\n"));
  EXPECT_EQ(h.Open(h.CurrentSerial()), 0);
}

TEST_F(HalOpenTest, AUnitThatAnswersNothingFailsAtTheTestRead) {
  const uint32_t serial = plug();
  VelmoraHAL& h = hal();
  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::Any,
                 .serial = serial,
                 .skip = 1,
                 .count = 100,
                 .status = platform::win_error::GenFailure});
  EXPECT_EQ(h.Open(h.CurrentSerial()), static_cast<int32_t>(platform::win_error::GenFailure));
  EXPECT_TRUE(logHas("  VelmoraHAL::Open() : Failed when sending test message\n"));
}

TEST_F(HalOpenTest, NoUnitsAndARefusedDriverFailTheOpen) {
  VelmoraHAL& h = hal();
  EXPECT_EQ(h.Open(NoUnitSerial), -1);
  EXPECT_EQ(ui.statusLines.back(), "No units connected");
  EXPECT_FALSE(h.EnsureOpen());

  const uint32_t serial = plug();
  h.OnMSWDeviceChange();
  bus->setDriverVersion(2, 12);
  EXPECT_EQ(h.Open(serialOf(serial)), -1);
  EXPECT_TRUE(logHas("AudioDriver::Open()... 0xE0000014\n  mAudioDriver->Open() failed\n"));
  bus->setDriverVersion(2, 14);
  EXPECT_TRUE(h.EnsureOpen());
}

TEST_F(HalOpenTest, RefusedOpenStillShowsTheDueReminderWithoutTouchingTheDriver) {
  plug();
  VelmoraHAL& h = hal();
  h.ArmPowerCycleReminder();
  h.SetMayOpen(false);
  clearLog();
  EXPECT_EQ(h.Open(h.CurrentSerial()), -2);
  EXPECT_TRUE(ui.messageBoxes.empty());  // the timer still runs
  clock.advance(40000);
  EXPECT_EQ(h.Open(h.CurrentSerial()), -2);
  EXPECT_EQ(
      ui.messageBoxes,
      (std::vector<std::string>{
          "VelmoraControl PRO: Please switch off your Velmora PRO and turn it back on again"}));
  EXPECT_EQ(h.Open(h.CurrentSerial()), -2);  // restarted: not again for 40 s
  EXPECT_EQ(ui.messageBoxes.size(), 1u);
  EXPECT_EQ(logText(), "");
  h.SetMayOpen(true);
  clock.advance(40000);
  EXPECT_EQ(h.Open(h.CurrentSerial()), 0);
  EXPECT_FALSE(h.PowerCyclePending());
  EXPECT_EQ(ui.messageBoxes.size(), 2u);
}

TEST_F(HalOpenTest, PostOpenStepsReadTheUnitsModes) {
  const uint32_t serial = plug();
  for (auto [index, value] : {std::pair{112, 1}, {111, 1}, {98, 1}, {99, 0}, {103, 1}}) {
    bus->poke(serial, index, value);
  }
  VelmoraHAL& h = hal();
  ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
  EXPECT_TRUE(h.ReducedModel());
  EXPECT_TRUE(h.TrackingMode());
  EXPECT_TRUE(h.PhantomPower1to4());
  EXPECT_FALSE(h.PhantomPower5to8());
  EXPECT_TRUE(h.AC3Passthrough());
  EXPECT_EQ(h.StatusWord(), 7);
}

TEST_F(HalOpenTest, AFailingTransferThroughTheHalClosesTheUnit) {
  const uint32_t serial = plug();
  VelmoraHAL& h = hal();
  ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::Any,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = pv::KVO_STATUS_DEVICE_REMOVED});
  uint32_t value = 0;
  EXPECT_FALSE(h.GetValue(118, value));
  EXPECT_FALSE(h.IsOpen());
  EXPECT_TRUE(logHas("VelmoraHAL::GetValues() failed 0xE0000050- Closing...\n"));
  EXPECT_FALSE(h.SetValue(118, 1));  // closed: nothing is sent
}

TEST_F(HalOpenTest, LockTestFollowsTheCurrentSourcesBits) {
  const uint32_t serial = plug();
  VelmoraHAL& h = hal();
  ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
  EXPECT_TRUE(h.IsSyncLocked());  // internal
  ASSERT_TRUE(h.SetSyncSource(kSyncSpdif));
  EXPECT_FALSE(h.IsSyncLocked());
  bus->setLocked(serial, simbus::SyncInput::Spdif, true);
  EXPECT_TRUE(h.IsSyncLocked());
  EXPECT_EQ(h.GetSyncStatus(), kSyncSpdif);
  bus->poke(serial, kStatus, 0x5 | 1u << 8);  // record not OK
  EXPECT_FALSE(h.IsSyncLocked());
}

// Units that accept only quadlets or only blocks, as `velmora-simbus transfers` makes them,
// are listed, open and exchange coefficients.
TEST_F(HalOpenTest, QuadletOnlyAndBlockOnlyUnitsOpenAndExchangeCoefficients) {
  const simbus::AcceptedTransfers cases[] = {{false, true, false, true},
                                             {true, false, true, false}};
  for (const auto& accepts : cases) {
    VelmoraHAL::Destroy();
    bus = std::make_shared<simbus::SimBus>();
    useBus.reset();
    useBus = std::make_unique<pv::ScopedClient>(simbus::makeInprocClient(bus));
    const uint32_t serial = plug();
    bus->setAcceptedTransfers(serial, accepts);
    VelmoraHAL& h = hal();
    ASSERT_EQ(VelmoraHAL::UnitCount(), 1u) << accepts.blockRead;
    ASSERT_EQ(h.Open(h.CurrentSerial()), 0) << accepts.blockRead;
    std::vector<CoefficientValue> batch;
    for (uint32_t i = 0; i < 6; ++i) batch.push_back({40 + i, 7 + i});
    ASSERT_TRUE(h.SetValues(batch.data(), 6));
    for (auto& pair : batch) pair.value = 0;
    ASSERT_TRUE(h.GetValues(batch.data(), 6));
    EXPECT_EQ(batch[5].value, 12u);
    ASSERT_TRUE(h.SetValue(45, 99));
    uint32_t value = 0;
    ASSERT_TRUE(h.GetValue(45, value));
    EXPECT_EQ(value, 99u);
    EXPECT_EQ(bus->peek(serial, 45), 99u);
  }
}

// An engine that reads the front-panel controls as the mixer does, and sends nothing.
class ControlsReadingEngine : public MixEngine {
 public:
  explicit ControlsReadingEngine(cvAVC& unit) : unit_(unit) {}
  void ReadHWControls() override {
    CoefficientValue controls[3] = {{86, 0}, {87, 0}, {88, 0}};
    unit_.GetValues(controls, 3);
  }
  void applyHardwareControls() override {}
  void computeMix() override {}
  void captureOutputSettings() override {}
  void queueMixChanges() override {}
  void computeOutputWords() override {}
  void queueOutputChanges() override {}
  void StreamAVC() override {}
  void resetSentValues() override {}

 private:
  cvAVC& unit_;
};

class ControlsReadingMixer : public MixerLink {
 public:
  std::unique_ptr<MixEngine> CreateMixEngine(cvAVC& unit) override {
    return std::make_unique<ControlsReadingEngine>(unit);
  }
};

// A unit that stopped answering in the mixer update cycle is closed, so the next cycles do
// not wait on it again; once it answers again it reopens.
TEST_F(HalOpenTest, TheUpdateCycleClosesAUnitThatStoppedAnswering) {
  const uint32_t serial = plug();
  VelmoraHAL& h = hal();
  ControlsReadingMixer mixer;
  h.AttachMixer(&mixer);
  for (const auto action : {simbus::FaultAction::Drop, simbus::FaultAction::Remove}) {
    ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
    observer.events.clear();
    bus->addFault({.action = action,
                   .kind = simbus::TransferKind::Any,
                   .serial = serial,
                   .skip = 0,
                   .count = 1000});
    const uint32_t start = clock.tickCount();
    for (int pass = 0; pass < 5; ++pass) h.updateAllMixers();
    EXPECT_LE(clock.tickCount() - start, kTransferWaitMs + 100);
    EXPECT_FALSE(h.IsOpen());
    EXPECT_EQ(observer.events, std::vector<int>{3});
    bus->clearFaults();
    bus->plug({simbus::Model::Studio, serial});
    h.OnMSWDeviceChange();
    h.SetMayOpen(true);
  }
  h.AttachMixer(nullptr);
}

// A unit that stops answering right after the status check costs one bounded wait in the
// post-open steps, not one per mode read; the modes it did not give read as off.
TEST_F(HalOpenTest, PostOpenReadsStopAtAUnitThatStoppedAnswering) {
  const uint32_t serial = plug();
  bus->poke(serial, 103, 1);
  VelmoraHAL& h = hal();
  // Rate, test read, sync source, status word and the write of 117 pass.
  bus->addFault({.action = simbus::FaultAction::Drop,
                 .kind = simbus::TransferKind::Any,
                 .serial = serial,
                 .skip = 5,
                 .count = 1000});
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(h.Open(h.CurrentSerial()), 0);
  EXPECT_LE(clock.tickCount() - start, kTransferWaitMs + 100);
  EXPECT_FALSE(h.AC3Passthrough());
  EXPECT_EQ(observer.events, (std::vector<int>{0, 2}));
}

}  // namespace
}  // namespace velmora::test
