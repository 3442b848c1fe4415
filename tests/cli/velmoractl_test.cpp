// The device-link verbs of velmoractl: output, exit codes and messages.
#include <gtest/gtest.h>
#include "platform/unit_update_lock.h"

#include <functional>

#include "cli_fixture.h"
#include "platform/unit_update_lock.h"

namespace velmoractl::test {
namespace {

using VelmoractlTest = CliFixture;

TEST_F(VelmoractlTest, UnitsListsEveryUnitAsTextAndJson) {
  bus->plug({simbus::Model::Studio, 4001});
  bus->plug({simbus::Model::Compact, 4002, 0x7A139401, 1, 0x020110CC});
  const Outcome text = run(unitsCommand, {});
  EXPECT_EQ(text.code, 0);
  EXPECT_NE(text.out.find("0      4001       0x7A139400  Studio   3         2.0.4000"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("1      4002       0x7A139401  Compact  1         2.1.4300"),
            std::string::npos)
      << text.out;
  const Outcome json = run(unitsCommand, {"--json"});
  EXPECT_EQ(json.out,
            "[\n  {\"index\": 0, \"serial\": 4001, \"serialHigh\": 2048103424, \"model\": "
            "\"Studio\", \"protocol\": 3, \"firmware\": \"2.0.4000\", \"inBootLoader\": false, "
            "\"onBus\": true},\n"
            "  {\"index\": 1, \"serial\": 4002, \"serialHigh\": 2048103425, \"model\": "
            "\"Compact\", \"protocol\": 1, \"firmware\": \"2.1.4300\", \"inBootLoader\": false, "
            "\"onBus\": true}\n]\n");
  bus->unplug(4001);
  bus->unplug(4002);
  EXPECT_EQ(run(unitsCommand, {"--json"}).out, "[]\n");
}

TEST_F(VelmoractlTest, CoefficientsAreWrittenAsOneBatchAndReadBack) {
  bus->plug({simbus::Model::Studio, 1});
  const uint32_t second = *bus->plug({simbus::Model::Compact, 2});
  const uint64_t before = bus->transferCounts(second)->total();
  EXPECT_EQ(run(coeffSetCommand, {"--unit", "1", "94=0x56656C6D", "95=7", "120=1"}).code, 0);
  EXPECT_EQ(bus->peek(second, 94), 0x56656C6Du);
  // Open probes four transfers and reads the information block; the batch is one more.
  EXPECT_EQ(bus->transferCounts(second)->total(), before + 5 + 1);
  const Outcome got = run(coeffGetCommand, {"--unit", "1", "95", "94", "120"});
  EXPECT_EQ(got.code, 0);
  EXPECT_EQ(got.out, "7\n1449487469\n1\n");
}

TEST_F(VelmoractlTest, FailuresExitWithOneAndNameTheStatus) {
  struct Case {
    std::function<void()> arrange;
    Args args;
    std::string message;
  } cases[] = {
      {[] {}, {"84"}, "velmoractl: no Velmora PRO unit found\n"},
      {[&] {
         bus->plug({simbus::Model::Studio, 9});
       },
       {"--unit", "2", "84"},
       "velmoractl: no unit with index 2\n"},
      {[&] { bus->setDriverVersion(3, 0); },
       {"84"},
       "velmoractl: cannot reach the units: 0xE0000014 (KVO_STATUS_VERSION_MISMATCH)\n"},
      {[&] {
         bus->setDriverVersion(2, 14);
         // The quadlet-read probe passes; the batch read meets the fault.
         bus->addFault(
             {simbus::FaultAction::Fail, simbus::TransferKind::QuadletRead, 9, 1, 1, 0xE0000050});
       },
       {"84"},
       "velmoractl: reading coefficients of unit 0 failed: 0xE0000050 "
       "(KVO_STATUS_DEVICE_REMOVED)\n"},
  };
  for (auto& c : cases) {
    c.arrange();
    const Outcome r = run(coeffGetCommand, c.args);
    EXPECT_EQ(r.code, 1) << c.message;
    EXPECT_EQ(r.err, c.message);
  }
}

// A unit whose firmware is being written hears nothing from velmoractl, and the message says
// why.
TEST_F(VelmoractlTest, AUnitBeingUpdatedIsLeftAlone) {
  const uint32_t serial = *bus->plug({simbus::Model::Studio, 5});
  uint32_t error = 0;
  auto download = platform::lockUnitForUpdate(
      simbus::SimBus::devicePath(uint64_t{simbus::kDefaultSerialHigh} << 32 | serial), error);
  ASSERT_NE(download, nullptr);
  const uint64_t before = bus->transferCounts(serial)->total();
  const Outcome r = run(coeffSetCommand, {"94=1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("0x000000AA (ERROR_BUSY: a firmware update holds the unit)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(bus->transferCounts(serial)->total(), before) << "nothing reached the unit";
  download.reset();
  EXPECT_EQ(run(coeffSetCommand, {"94=1"}).code, 0);
}

TEST_F(VelmoractlTest, BadArgumentsExitWithTwoBeforeTouchingTheBus) {
  bus->setDriverVersion(1, 0);  // any bus access would fail with another message
  const std::pair<int (*)(Args), Args> cases[] = {
      {coeffGetCommand, {}},         {coeffGetCommand, {"eighty"}},
      {coeffGetCommand, {"--unit"}}, {coeffGetCommand, {"--unit", "x", "1"}},
      {coeffSetCommand, {"84"}},     {coeffSetCommand, {"84=x"}},
      {coeffSetCommand, {"=5"}},     {unitsCommand, {"extra"}},
  };
  for (const auto& [verb, args] : cases) {
    const Outcome r = run(verb, args);
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_EQ(r.err.find("cannot reach"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace velmoractl::test
