// Following units as they arrive and leave.
#include "control_panel/hal/bus_change_watcher.h"
#include "hal_fixture.h"

namespace velmora::test {
namespace {

using simbus::coefficient::kSampleRateCode;

using HalHotPlugTest = HalFixture;

TEST_F(HalHotPlugTest, ArrivalsAreListedAndTheCurrentUnitsRemovalClosesIt) {
  const uint32_t first = plug(simbus::Model::Studio, 11);
  VelmoraHAL& h = hal();
  BusChangeWatcher watcher;
  ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
  const uint32_t second = plug(simbus::Model::Compact, 22);
  ASSERT_TRUE(watcher.TakeChange());
  EXPECT_FALSE(watcher.TakeChange());
  h.OnMSWDeviceChange();
  EXPECT_EQ(VelmoraHAL::UnitCount(), 2u);
  EXPECT_EQ(VelmoraHAL::SerialAt(1), serialOf(second));
  EXPECT_EQ(VelmoraHAL::SerialAt(2), kNoSuchUnit);
  EXPECT_TRUE(
      logHas("VelmoraHAL::OnMSWDeviceChange():   cvAVC::Open() : SUCCESS\n"
             "OnDeviceAdded(0022) - it's a new device\nfound 2 device(s)\n"));
  EXPECT_TRUE(VelmoraHAL::IsLargeModel());

  bus->unplug(first);
  h.OnMSWDeviceChange();
  EXPECT_FALSE(h.IsOpen());
  EXPECT_FALSE(h.MayOpen());
  EXPECT_EQ(ui.statusLines.back(), "Unit disconnected");
  EXPECT_TRUE(logHas("OnDeviceRemoved(0011)\n"));
  EXPECT_EQ(VelmoraHAL::UnitCount(), 1u);
  EXPECT_EQ(h.Open(serialOf(first)), -2);

  bus->plug({simbus::Model::Studio, first});
  h.OnMSWDeviceChange();
  EXPECT_TRUE(logHas("OnDeviceAdded(0011) - it's the current device, going to try opening it\n"));
  EXPECT_TRUE(h.EnsureOpen());
}

TEST_F(HalHotPlugTest, OneRemovalPerRescan) {
  const uint32_t a = plug();
  const uint32_t b = plug();
  VelmoraHAL& h = hal();
  bus->unplug(a);
  bus->unplug(b);
  h.OnMSWDeviceChange();
  EXPECT_EQ(VelmoraHAL::UnitCount(), 1u);
  h.OnMSWDeviceChange();
  EXPECT_EQ(VelmoraHAL::UnitCount(), 0u);
  EXPECT_TRUE(logHas("no devices\n"));
}

TEST_F(HalHotPlugTest, TheSameSerialWithAnotherModelIsAnotherUnit) {
  plug(simbus::Model::Studio, 5);
  VelmoraHAL& h = hal();
  auto other = std::make_shared<simbus::SimBus>();
  other->plug({simbus::Model::Compact, 5});
  pv::ScopedClient useOther(simbus::makeInprocClient(other));
  h.OnMSWDeviceChange();
  ASSERT_EQ(VelmoraHAL::UnitCount(), 1u);
  EXPECT_FALSE(VelmoraHAL::IsLargeModel());
  EXPECT_TRUE(logHas("OnDeviceAdded(0005) - it's the current device"));
  EXPECT_TRUE(logHas("OnDeviceRemoved(0005)\n"));
}

TEST_F(HalHotPlugTest, ARescanWhoseFirstInterfaceFailsNotesNothing) {
  plug();
  plug();
  VelmoraHAL& h = hal();
  ASSERT_EQ(VelmoraHAL::UnitCount(), 2u);
  bus->setDriverVersion(2, 1);  // every unit channel is refused
  h.OnMSWDeviceChange();
  EXPECT_EQ(VelmoraHAL::UnitCount(), 1u);
}

TEST_F(HalHotPlugTest, BusChangesRestartTheReminderTimer) {
  plug();
  VelmoraHAL& h = hal();
  h.ArmPowerCycleReminder();
  h.SetMayOpen(false);  // waiting for the unit to come back
  clock.advance(39000);
  h.OnMSWDeviceChange();
  clock.advance(39000);
  EXPECT_EQ(h.Open(h.CurrentSerial()), -2);
  EXPECT_TRUE(ui.messageBoxes.empty());
  clock.advance(1000);
  EXPECT_EQ(h.Open(h.CurrentSerial()), -2);
  EXPECT_EQ(ui.messageBoxes.size(), 1u);
}

// A unit that leaves and comes back between two rescans: the bus changes were merged into
// one, so the rescan finds it still listed, on a channel that died when it left.
TEST_F(HalHotPlugTest, AUnitBackBeforeTheNextRescanIsReopened) {
  const uint32_t serial = plug();
  VelmoraHAL& h = hal();
  for (const bool transferFailedMeanwhile : {true, false}) {
    ASSERT_EQ(h.Open(h.CurrentSerial()), 0);
    bus->unplug(serial);
    bus->plug({simbus::Model::Studio, serial});
    uint32_t value = 0;
    if (transferFailedMeanwhile) {
      EXPECT_FALSE(h.GetValue(118, value));  // closes the unit
    }
    h.OnMSWDeviceChange();
    EXPECT_FALSE(h.IsOpen());  // the unit may have changed while away: opened afresh
    EXPECT_EQ(VelmoraHAL::UnitCount(), 1u);
    EXPECT_TRUE(logHas("OnDeviceReturned(" + std::to_string(serial) + ")\n"));
    EXPECT_TRUE(h.EnsureOpen());
    EXPECT_TRUE(h.GetValue(118, value));
  }
}

// Open kicks the unit into another band; it leaves and is back before the rescan.
TEST_F(HalHotPlugTest, AUnitKickedIntoAnotherBandByOpenIsReopened) {
  const uint32_t serial = plug();
  bus->setDriverRate(88200);  // the unit runs at 48 kHz
  VelmoraHAL& h = hal();
  EXPECT_EQ(h.Open(h.CurrentSerial()), -1);
  EXPECT_EQ(bus->peek(serial, kSampleRateCode), 3u);
  clock.advance(1500);
  h.OnMSWDeviceChange();
  EXPECT_TRUE(h.EnsureOpen());
}

TEST_F(HalHotPlugTest, AUnitWhoseChannelFailedToOpenIsTriedAgainAtTheNextRescan) {
  const uint32_t serial = plug();
  // The first rescan opens a probe channel, then the unit's own: that one fails.
  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::Open,
                 .serial = serial,
                 .skip = 1,
                 .status = platform::win_error::AccessDenied});
  VelmoraHAL& h = hal();
  ASSERT_EQ(VelmoraHAL::UnitCount(), 1u);
  EXPECT_FALSE(h.EnsureOpen());
  h.OnMSWDeviceChange();
  EXPECT_TRUE(h.EnsureOpen());
}

}  // namespace
}  // namespace velmora::test
