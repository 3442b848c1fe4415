// The unit's firmware: rate bands, ADAT inputs, the clock source and its lock, the status
// word, standalone mode and the flash store.
#include "bus_fixture.h"

namespace simbus::test {
namespace {

using UnitFirmwareTest = BusFixture;

uint32_t word(pv::DeviceHandle& unit, uint32_t index) {
  return pv::loadBe32(read(unit, coefficientAddress(index), 4).data.data());
}

TEST_F(UnitFirmwareTest, FactoryStateRunsAt48kHzInternallyWithPlayRecordAndWriteOk) {
  const uint32_t serial = plug(Model::Compact);
  auto unit = openUnit(serial);
  EXPECT_EQ(word(*unit, coefficient::kSampleRateCode), 2u);
  EXPECT_EQ(word(*unit, coefficient::kSync), 0u);
  EXPECT_EQ(word(*unit, coefficient::kStatus), 0x7u);
  EXPECT_EQ(word(*unit, coefficient::kNameFirst), 0x56656C6Du);      // "Velm"
  EXPECT_EQ(word(*unit, coefficient::kNameFirst + 2), 0x436F6D70u);  // "Comp"
}

TEST_F(UnitFirmwareTest, ABandChangeLeavesTheBusAndRejoinsAfterTheDelay) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  int changes = 0;
  auto subscription = client->subscribeBusChanges([&] { ++changes; });

  ASSERT_EQ(write(*unit, coefficientAddress(coefficient::kSampleRateCode), be32({1})).error,
            we::Success);  // 44.1 kHz: the same band
  EXPECT_TRUE(bus->units()[0].onBus);

  ASSERT_EQ(write(*unit, coefficientAddress(coefficient::kSampleRateCode), be32({3})).error,
            we::Success);  // 88.2 kHz: another band
  EXPECT_FALSE(bus->units()[0].onBus);
  EXPECT_EQ(changes, 1);
  clock.advance(1499);
  bus->service();
  EXPECT_FALSE(bus->units()[0].onBus);
  clock.advance(1);
  std::vector<std::string> paths;
  EXPECT_EQ(client->presentInterfaces(pv::kInterfaceGuid, paths), platform::win_error::Success);
  EXPECT_EQ(paths.size(), 1u);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(word(*openUnit(serial), coefficient::kSampleRateCode), 3u);  // kept: no power cycle

  EXPECT_EQ(
      write(*openUnit(serial), coefficientAddress(coefficient::kSampleRateCode), be32({9})).error,
      we::Success);
  EXPECT_EQ(bus->peek(serial, coefficient::kSampleRateCode), 3u);  // not a rate: ignored
}

TEST_F(UnitFirmwareTest, SwitchingTheAdatInputsAlsoRejoins) {
  const uint32_t serial = plug();
  bus->setRejoinDelay(10);
  auto unit = openUnit(serial);
  write(*unit, coefficientAddress(coefficient::kAdatOff), be32({1}));
  EXPECT_FALSE(bus->units()[0].onBus);
  clock.advance(10);
  bus->service();
  EXPECT_TRUE(bus->units()[0].onBus);
  write(*openUnit(serial), coefficientAddress(coefficient::kAdatOff), be32({5}));  // still off
  EXPECT_TRUE(bus->units()[0].onBus);
}

TEST_F(UnitFirmwareTest, TheUnitRunsOnTheSelectedSourceOnlyWhileItIsLocked) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  write(*unit, coefficientAddress(coefficient::kSync), be32({3}));  // ADAT 1
  EXPECT_EQ(word(*unit, coefficient::kSync), 0x003u);               // in use: internal
  ASSERT_TRUE(bus->setLocked(serial, SyncInput::Adat1, true));
  EXPECT_EQ(word(*unit, coefficient::kSync), 0x303u);
  EXPECT_EQ(word(*unit, coefficient::kStatus), 0x7u | 1u << 16);
  bus->setLocked(serial, SyncInput::Spdif, true);
  bus->setLocked(serial, SyncInput::Adat2, true);
  EXPECT_EQ(word(*unit, coefficient::kStatus), 0x7u | 1u << 8 | 1u << 16 | 1u << 24);
  bus->setLocked(serial, SyncInput::Wordclock, true);
  write(*unit, coefficientAddress(coefficient::kSync), be32({5}));
  EXPECT_EQ(word(*unit, coefficient::kSync), 0x505u);
}

TEST_F(UnitFirmwareTest, StandaloneUntilReleasedWithTheKey) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->setStandalone(serial, true);
  EXPECT_EQ(word(*unit, coefficient::kStatus), 0xFu);
  write(*unit, coefficientAddress(coefficient::kReleaseStandalone), be32({0x1234}));
  EXPECT_EQ(word(*unit, coefficient::kStatus), 0xFu);
  write(*unit, coefficientAddress(coefficient::kReleaseStandalone), be32({0xA5A5}));
  EXPECT_EQ(word(*unit, coefficient::kStatus), 0x7u);
  write(*unit, coefficientAddress(coefficient::kStatus), be32({0}));  // read-only over the bus
  EXPECT_EQ(word(*unit, coefficient::kStatus), 0x7u);
}

TEST_F(UnitFirmwareTest, OnlyStoredSettingsSurviveUnplugging) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  write(*unit, kBlockSetMailbox, be32({coefficient::kNameFirst, 0x4D794E61, 118, 1}));
  write(*unit, coefficientAddress(coefficient::kStoreToFlash), be32({0}));
  write(*unit, coefficientAddress(118), be32({0}));  // not stored
  write(*unit, coefficientAddress(20), be32({77}));  // not stored
  bus->unplug(serial);
  bus->plug(UnitSpec{Model::Studio, serial});
  EXPECT_EQ(bus->peek(serial, coefficient::kNameFirst), 0x4D794E61u);
  EXPECT_EQ(bus->peek(serial, 118), 1u);
  EXPECT_EQ(bus->peek(serial, 20), 0u);

  SimBus restarted;  // the daemon keeps the flash across its own restarts
  ASSERT_TRUE(restarted.loadState(bus->saveState()));
  restarted.unplug(serial);
  restarted.plug(UnitSpec{Model::Studio, serial});
  EXPECT_EQ(restarted.peek(serial, coefficient::kNameFirst), 0x4D794E61u);
}

TEST_F(UnitFirmwareTest, FrontPanelKnobAndButtonsShowInTheirCoefficients) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->withUnit(serial, [](SimUnit& u) {
    u.turnKnob(200);
    u.pressButton(FrontPanelButton::Dim);
    u.pressButton(FrontPanelButton::Mute);
    u.pressButton(FrontPanelButton::Mute);
  });
  EXPECT_EQ(word(*unit, coefficient::kKnob), 200u);
  EXPECT_EQ(word(*unit, coefficient::kDim), 1u);
  EXPECT_EQ(word(*unit, coefficient::kMute), 0u);
}

TEST_F(UnitFirmwareTest, TheKnobIsReadOnlyAndTurningItKeepsTheUpperBitsOfItsWord) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->poke(serial, coefficient::kKnob, 0xA5000010);  // firmware bits beside the position
  write(*unit, coefficientAddress(coefficient::kKnob), be32({7}));
  write(*unit, kBlockSetMailbox, be32({coefficient::kKnob, 9}));
  EXPECT_EQ(word(*unit, coefficient::kKnob), 0xA5000010u);
  bus->withUnit(serial, [](SimUnit& u) { u.turnKnob(200); });
  EXPECT_EQ(word(*unit, coefficient::kKnob), 0xA50000C8u);
}

TEST_F(UnitFirmwareTest, PokingTheStatusWordSetsTheUnitsStatus) {
  const uint32_t serial = plug();
  bus->poke(serial, coefficient::kStatus, 0x3 | 1u << 8);
  bus->poke(serial, coefficient::kSync, 2);
  EXPECT_EQ(bus->peek(serial, coefficient::kStatus), 0x3u | 1u << 8);
  EXPECT_EQ(bus->peek(serial, coefficient::kSync), 0x202u);
}

}  // namespace
}  // namespace simbus::test
