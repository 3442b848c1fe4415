// What an in-process bus leaves behind for whoever started the program: its units and restarts,
// appended at the program's end to the file VELMORA_SIMBUS_END_STATE names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "bus_fixture.h"
#include "simbus/backend.h"
#include "tests/support/scratch.h"

namespace simbus::test {
namespace {

using EndStateTest = BusFixture;

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(EndStateTest, DescribesEveryUnitAndTheRestarts) {
  bus->plug(UnitSpec{Model::Studio, 0x00012345});
  bus->plug(UnitSpec{Model::Compact, 77, kDefaultSerialHigh, 3, 0x020110CC});
  bus->unplug(77);
  EXPECT_EQ(describeEndState(*bus),
            "bus restarts=0\n"
            "unit serial=74565 model=studio firmware=2.0.4000 on-bus=1\n"
            "unit serial=77 model=compact firmware=2.1.4300 on-bus=0\n");
  bus->restart();
  EXPECT_EQ(describeEndState(*bus).substr(0, 15), "bus restarts=1\n");
}

using EndStateDeathTest = EndStateTest;

TEST_F(EndStateDeathTest, EachInprocBusAppendsItsStateWhenTheProgramEnds) {
  // Forked where it stands, so that the child writes to this test's folder.
  GTEST_FLAG_SET(death_test_style, "fast");
  platform::test::ScratchFolder folder;
  const std::string report = folder / "end-state.txt";
  std::ofstream(report) << "earlier\n";
  // The child makes two buses, restarts one (its unit leaves the bus for a while), and leaves
  // through exit() as a program does.
  EXPECT_EXIT(
      {
        setenv("VELMORA_SIMBUS_END_STATE", report.c_str(), 1);
        std::string error;
        auto first = makeInprocBus("inproc:studio", error);
        auto second = makeInprocBus("inproc:compact", error);
        static_cast<void>(first->requestRestart());
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  const std::string text = readText(report);
  EXPECT_EQ(text.substr(0, 8), "earlier\n");
  EXPECT_NE(text.find("bus restarts=1\nunit serial="), std::string::npos) << text;
  EXPECT_NE(text.find(" model=studio firmware=2.0.4000 on-bus="), std::string::npos) << text;
  EXPECT_NE(text.find("bus restarts=0\nunit serial="), std::string::npos) << text;
  EXPECT_NE(text.find(" model=compact firmware=2.0.4000 on-bus=1\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace simbus::test
