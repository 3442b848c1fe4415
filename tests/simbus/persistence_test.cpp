// Saving and loading the bus state (what the daemon keeps across restarts).
#include "bus_fixture.h"

namespace simbus::test {
namespace {

using PersistenceTest = BusFixture;

TEST_F(PersistenceTest, StateRoundTripsUnitsCoefficientsDriverAndSettings) {
  const uint32_t studio = plug(Model::Studio, 77);
  const uint32_t compact =
      bus->plug(UnitSpec{Model::Compact, 88, 0x7A139401, 2, 0x02010000}).value();
  bus->poke(studio, 94, 0x56656C6D);
  bus->poke(compact, 255, 1);
  bus->setAcceptedTransfers(compact, {true, false, true, false});
  bus->unplug(compact);
  bus->setDriverVersion(2, 13);
  bus->setDriverRate(96000);
  bus->setStreaming(true);
  EXPECT_EQ(client->writeDriverSetting(kCompactSettingsKey, kSampleRateValue, 44100),
            platform::win_error::Success);

  SimBus restored;
  std::string error;
  ASSERT_TRUE(restored.loadState(bus->saveState(), &error)) << error;
  EXPECT_EQ(restored.saveState(), bus->saveState());
  const auto units = restored.units();
  ASSERT_EQ(units.size(), 2u);
  EXPECT_TRUE(units[0].onBus);
  EXPECT_FALSE(units[1].onBus);
  EXPECT_EQ(units[1].serialHigh, 0x7A139401u);
  EXPECT_EQ(units[1].protocol, 2u);
  EXPECT_EQ(units[1].firmware, 0x02010000u);
  EXPECT_EQ(restored.peek(studio, 94), 0x56656C6Du);
  EXPECT_EQ(restored.acceptedTransfers(compact), (AcceptedTransfers{true, false, true, false}));
  EXPECT_EQ(restored.driver().versionMinor, 13);
  EXPECT_EQ(restored.driver().sampleRate, 96000u);
  uint32_t value = 0;
  EXPECT_EQ(restored.readSetting(kCompactSettingsKey, kSampleRateValue, value), we::Success);
  EXPECT_EQ(value, 44100u);
}

TEST_F(PersistenceTest, StateVersionGrowsWithPersistentChangesOnly) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  uint64_t version = bus->stateVersion();
  read(*unit, kInfoBlockAddress, 4);
  EXPECT_EQ(bus->stateVersion(), version);
  write(*unit, coefficientAddress(1), be32({1}));
  EXPECT_GT(bus->stateVersion(), version);
  version = bus->stateVersion();
  bus->poke(serial, 2, 2);
  EXPECT_GT(bus->stateVersion(), version);
}

TEST_F(PersistenceTest, MalformedStateIsRefusedAndLeavesTheBusAlone) {
  const uint32_t serial = plug();
  const std::string header = "velmora-simbus-state 1\n";
  const std::string unit =
      "unit serial=5 high=0 model=studio protocol=3 firmware=1 on-bus=1 node=1 accepts=1111\n";
  const char* bad[] = {
      "",
      "velmora-simbus-state 2\n",
      "something else\n",
      "unit serial=5\n",
      "driver version=2 rate=48000 streaming=0 install-flags=0\n",
      "driver version=2.14 rate=1234 streaming=0 install-flags=0\n",
      "unit serial=5 high=0 model=mixer protocol=3 firmware=1 on-bus=1 node=1 accepts=1111\n",
      "unit serial=5 high=0 model=studio protocol=9 firmware=1 on-bus=1 node=1 accepts=1111\n",
      "unit serial=5 high=0 model=studio protocol=3 firmware=1 on-bus=2 node=1 accepts=1111\n",
      "unit serial=5 high=0 model=studio protocol=3 firmware=1 on-bus=1 node=1 accepts=11x1\n",
      "coefficients 6 1=1\n",
      "setting KEY NAME notanumber\n",
      "bogus record\n",
  };
  for (const char* body : bad) {
    const std::string text =
        std::string(body).rfind("velmora", 0) == 0 || !*body ? std::string(body) : header + body;
    std::string error;
    EXPECT_FALSE(bus->loadState(text, &error)) << body;
    EXPECT_FALSE(error.empty());
  }
  for (const char* coefficient : {"256=1", "1=x", "1", "=5", "1=99999999999"}) {
    EXPECT_FALSE(bus->loadState(header + unit + "coefficients 5 " + coefficient + "\n"))
        << coefficient;
  }
  EXPECT_TRUE(bus->loadState(header + unit + "coefficients 5 255=7\n"));
  EXPECT_EQ(bus->peek(5, 255), 7u);
  EXPECT_FALSE(bus->peek(serial, 0));
}

}  // namespace
}  // namespace simbus::test
