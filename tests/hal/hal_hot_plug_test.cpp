// Following units as they arrive and leave.
#include "control_panel/hal/bus_change_watcher.h"
#include "hal_fixture.h"

namespace velmora::test {
namespace {

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

}  // namespace
}  // namespace velmora::test
