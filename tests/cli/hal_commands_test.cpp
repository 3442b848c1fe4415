// The velmoractl verbs that go through the hardware abstraction.
#include "cli_fixture.h"
#include "strict_json.h"

namespace velmoractl::test {
namespace {

using simbus::coefficient::kSampleRateCode;

class HalCommandsTest : public CliFixture {
 protected:
  uint32_t serial = bus->plug({simbus::Model::Studio, 300}).value();
};

TEST_F(HalCommandsTest, StatusShowsTheUnitAsJson) {
  bus->setLocked(serial, simbus::SyncInput::Adat1, true);
  bus->poke(serial, 93, 3);
  bus->poke(serial, 118, 1);
  const Outcome r = run(statusCommand, {"--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"serial\": 300, \"serialHigh\": 2048103424, \"name\": \"Velmora Studio\", "
            "\"rate\": 48000, \"sync\": \"adat1\", \"syncInUse\": \"adat1\", \"locked\": true, "
            "\"streaming\": false, \"adat\": true, \"ac3\": false, \"standalone\": \"mixing\", "
            "\"monitoring\": true, \"firmware\": \"2.0.4000\"}\n");
}

TEST(StrictJsonCheck, TellsValidFromInvalid) {
  for (const char* good : {"{\"a\": [1, -2.5e3, true, null, \"\\u00e9\\n\xC3\xA9\"]}", "[]"}) {
    EXPECT_TRUE(StrictJson::Valid(good)) << good;
  }
  for (const char* bad : {"{\"a\": \"\x01\"}", "\"\xFF\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"",
                          "\"\\x\"", "{\"a\" 1}", "[1,]", "{} x"}) {
    EXPECT_FALSE(StrictJson::Valid(bad)) << bad;
  }
}

// A unit's name is 16 bytes of anything; the JSON stays valid and keeps valid UTF-8 as it is.
TEST_F(HalCommandsTest, StatusJsonEscapesWhateverTheNameHolds) {
  const unsigned char name[16] = {0x01, '"',  '\\', 0xFF, 0xC3, 0xA9, 0xE2, 0x82,
                                  'A',  0xC0, 0xAF, 0xED, 0xA0, 0x80, 0x7F, 'B'};
  for (uint32_t i = 0; i < 4; ++i) {
    bus->poke(serial, 94 + i,
              uint32_t{name[4 * i]} << 24 | uint32_t{name[4 * i + 1]} << 16 |
                  uint32_t{name[4 * i + 2]} << 8 | name[4 * i + 3]);
  }
  const Outcome r = run(statusCommand, {"--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(StrictJson::Valid(r.out)) << r.out;
  EXPECT_NE(r.out.find("\"name\": \"\\u0001\\\"\\\\\\u00ff\xC3\xA9\\u00e2\\u0082A\\u00c0\\u00af"
                       "\\u00ed\\u00a0\\u0080\\u007fB\""),
            std::string::npos)
      << r.out;
}

TEST_F(HalCommandsTest, RateWaitsForTheUnitToComeBackWithItsNewBand) {
  const Outcome r = run(rateCommand, {"88200"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "sample rate 88200 Hz\n");
  EXPECT_EQ(bus->driver().sampleRate, 88200u);
  EXPECT_EQ(bus->peek(serial, kSampleRateCode), 3u);
  uint32_t stored = 0;
  EXPECT_EQ(bus->readSetting(pv::kStudioSettingsKey, pv::kSampleRateValue, stored), 0u);
  EXPECT_EQ(stored, 88200u);
}

TEST_F(HalCommandsTest, RateGivesUpWhenTheUnitStaysAway) {
  bus->setRejoinDelay(60000);
  const uint32_t start = clock.tickCount();
  const Outcome r = run(rateCommand, {"96000"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "velmoractl: the unit did not come back at 96000 Hz (Unit disconnected)\n");
  EXPECT_GE(clock.tickCount() - start, 15000u);
}

TEST_F(HalCommandsTest, SettingsVerbsWriteTheirCoefficients) {
  struct Case {
    int (*verb)(Args);
    Args args;
    uint32_t index;
    uint32_t value;
  } cases[] = {
      {syncCommand, {"wordclock"}, 93, 5},
      {adatCommand, {"off"}, 112, 1},
      {adatCommand, {"on"}, 112, 0},
      {ac3Command, {"on"}, 103, 1},
      {standaloneCommand, {"tracking"}, 111, 1},
      {monitoringCommand, {"on"}, 118, 1},
      {nameCommand, {"A name longer than sixteen"}, 94, 0x41206E61},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.verb, c.args);
    EXPECT_EQ(r.code, 0) << c.args[0] << ": " << r.err;
    EXPECT_EQ(bus->peek(serial, c.index), c.value) << c.args[0];
  }
  EXPECT_EQ(run(nameCommand, {}).out, "A name longer th\n");
}

TEST_F(HalCommandsTest, StoreKeepsTheSettingsInFlash) {
  bus->poke(serial, 98, 1);
  EXPECT_FALSE(bus->flashOf(serial));
  EXPECT_EQ(run(storeCommand, {}).code, 0);
  ASSERT_TRUE(bus->flashOf(serial));
  EXPECT_EQ((*bus->flashOf(serial))[98], 1u);
}

TEST_F(HalCommandsTest, FailuresAndBadArguments) {
  EXPECT_EQ(run(statusCommand, {"--unit", "4"}).err, "velmoractl: no unit with index 4\n");
  const std::pair<int (*)(Args), Args> usage[] = {
      {rateCommand, {"12345"}},   {rateCommand, {}},           {syncCommand, {"moon"}},
      {adatCommand, {"maybe"}},   {standaloneCommand, {"on"}}, {nameCommand, {"a", "b"}},
      {statusCommand, {"extra"}}, {storeCommand, {"--unit"}},
  };
  for (const auto& [verb, args] : usage) EXPECT_EQ(run(verb, args).code, 2);
  bus->unplug(serial);
  const Outcome none = run(statusCommand, {});
  EXPECT_EQ(none.code, 1);
  EXPECT_EQ(none.err, "velmoractl: no Velmora PRO unit found\n");
}

}  // namespace
}  // namespace velmoractl::test
