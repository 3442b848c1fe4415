// Every stage of a download under every fault the bus can inject: the download ends with a
// status within its bounds, and once the fault is gone the next download succeeds.
#include <string_view>

#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "platform/win_error.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;
using ::testing::IsEmpty;

constexpr uint32_t kLate = 100000;  // later than any time-out of the library

struct Stage {
  const char* name;
  TransferKind kind;
  std::array<uint32_t, 3> skip;  // transfers of that kind before the one hit, per protocol
};

// The response read of the download start comes after the information reads of the open and
// of the reset.
constexpr Stage kStages[] = {
    {"ResetIntoBootLoader", TransferKind::Reset, {0, 0, 0}},
    {"DownloadStart", TransferKind::DownloadStart, {0, 0, 0}},
    {"SecondBlock", TransferKind::DownloadBlock, {1, 1, 1}},
    {"StartResponse", TransferKind::BlockRead, {3, 4, 2}},
    {"DownloadEnd", TransferKind::DownloadEnd, {0, 0, 0}},
    {"ResetIntoApplication", TransferKind::Reset, {1, 1, 1}},
};

struct Fault {
  const char* name;
  FaultAction action;
};

constexpr Fault kFaults[] = {
    {"Fail", FaultAction::Fail},         {"Drop", FaultAction::Drop},
    {"Delay", FaultAction::Delay},       {"NoAnswer", FaultAction::NoAnswer},
    {"Late", FaultAction::Late},         {"Remove", FaultAction::Remove},
    {"BusReset", FaultAction::BusReset},
};

// The final status of the first download, per protocol 1, 2 and 3.
constexpr KVOFWDL_STATUS kOk = KVOFWDL_STATUS_SUCCESS;
constexpr KVOFWDL_STATUS kRead = KVOFWDL_STATUS_DEVICE_READ_FAILED;
constexpr KVOFWDL_STATUS kWrite = KVOFWDL_STATUS_DEVICE_WRITE_FAILED;
constexpr KVOFWDL_STATUS kReset = KVOFWDL_STATUS_RESET_TIMEOUT;
constexpr KVOFWDL_STATUS kStart = KVOFWDL_STATUS_START_TIMEOUT;
constexpr KVOFWDL_STATUS kBlock = KVOFWDL_STATUS_BLOCK_TIMEOUT;
constexpr KVOFWDL_STATUS kEnd = KVOFWDL_STATUS_END_TIMEOUT;
constexpr KVOFWDL_STATUS kNotStarted = KVOFWDL_STATUS_APPLICATION_NOT_STARTED;
constexpr KVOFWDL_STATUS kNotHalted = KVOFWDL_STATUS_BOOTLOADER_NOT_HALTED;
// The bus refuses the rule: what a boot loader does with a request cannot befall a read of the
// response window. A response that never comes or comes late is the read dropped or delayed.
constexpr KVOFWDL_STATUS kCannotStrike = 0xFFFFFFFF;

struct Outcome {
  std::string_view stage;
  std::string_view fault;
  std::array<KVOFWDL_STATUS, 3> status;
};

// A protocol-3 reset request that fails is a failure unless the unit has gone (it took the
// request and left): then it is waited for. A response read that fails is read again until the
// time-out; boot-loader faults (no answer, late) are no faults of a read.
constexpr Outcome kOutcomes[] = {
    {"ResetIntoBootLoader", "Fail", {kWrite, kWrite, kWrite}},
    {"ResetIntoBootLoader", "Drop", {kWrite, kWrite, kOk}},
    {"ResetIntoBootLoader", "Delay", {kWrite, kWrite, kOk}},
    {"ResetIntoBootLoader", "NoAnswer", {kNotHalted, kNotHalted, kReset}},
    {"ResetIntoBootLoader", "Late", {kOk, kOk, kOk}},
    {"ResetIntoBootLoader", "Remove", {kWrite, kWrite, kReset}},
    {"ResetIntoBootLoader", "BusReset", {kWrite, kWrite, kWrite}},
    {"DownloadStart", "Fail", {kWrite, kWrite, kWrite}},
    {"DownloadStart", "Drop", {kWrite, kWrite, kWrite}},
    {"DownloadStart", "Delay", {kWrite, kWrite, kWrite}},
    {"DownloadStart", "NoAnswer", {kStart, kStart, kStart}},
    {"DownloadStart", "Late", {kStart, kStart, kStart}},
    {"DownloadStart", "Remove", {kWrite, kWrite, kWrite}},
    {"DownloadStart", "BusReset", {kWrite, kWrite, kWrite}},
    {"SecondBlock", "Fail", {kWrite, kWrite, kWrite}},
    {"SecondBlock", "Drop", {kWrite, kWrite, kWrite}},
    {"SecondBlock", "Delay", {kWrite, kWrite, kWrite}},
    {"SecondBlock", "NoAnswer", {kBlock, kBlock, kBlock}},
    {"SecondBlock", "Late", {kBlock, kBlock, kBlock}},
    {"SecondBlock", "Remove", {kWrite, kWrite, kWrite}},
    {"SecondBlock", "BusReset", {kWrite, kWrite, kWrite}},
    {"StartResponse", "Fail", {kOk, kOk, kOk}},
    {"StartResponse", "Drop", {kStart, kStart, kStart}},
    {"StartResponse", "Delay", {kStart, kStart, kStart}},
    {"StartResponse", "NoAnswer", {kCannotStrike, kCannotStrike, kCannotStrike}},
    {"StartResponse", "Late", {kCannotStrike, kCannotStrike, kCannotStrike}},
    {"StartResponse", "Remove", {kRead, kRead, kRead}},
    {"StartResponse", "BusReset", {kOk, kOk, kOk}},
    {"DownloadEnd", "Fail", {kWrite, kWrite, kWrite}},
    {"DownloadEnd", "Drop", {kWrite, kWrite, kWrite}},
    {"DownloadEnd", "Delay", {kWrite, kWrite, kWrite}},
    {"DownloadEnd", "NoAnswer", {kEnd, kEnd, kEnd}},
    {"DownloadEnd", "Late", {kEnd, kEnd, kEnd}},
    {"DownloadEnd", "Remove", {kWrite, kWrite, kWrite}},
    {"DownloadEnd", "BusReset", {kWrite, kWrite, kWrite}},
    {"ResetIntoApplication", "Fail", {kWrite, kWrite, kWrite}},
    {"ResetIntoApplication", "Drop", {kWrite, kWrite, kOk}},
    {"ResetIntoApplication", "Delay", {kWrite, kWrite, kOk}},
    {"ResetIntoApplication", "NoAnswer", {kNotStarted, kNotStarted, kReset}},
    {"ResetIntoApplication", "Late", {kOk, kOk, kOk}},
    {"ResetIntoApplication", "Remove", {kWrite, kWrite, kReset}},
    {"ResetIntoApplication", "BusReset", {kWrite, kWrite, kWrite}},
};

KVOFWDL_STATUS ExpectedStatus(std::string_view stage, std::string_view fault, uint32_t protocol) {
  for (const Outcome& o : kOutcomes) {
    if (o.stage == stage && o.fault == fault) return o.status.at(protocol - 1);
  }
  return KVOFWDL_STATUS_DOWNLOAD_RUNNING;
}

struct FaultCase {
  Stage stage;
  Fault fault;
  uint32_t protocol;
};

class DownloadFaultTest : public UnitFixture, public ::testing::WithParamInterface<FaultCase> {
 protected:
  KVOFWDL_STATUS download(const std::string& path) {
    enumeration_.CloseDevice();
    EXPECT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
    EXPECT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
    const KVOFWDL_STATUS started =
        downloader_.StartDownload(path, enumeration_.OpenUnit(), MODE_PROGRAM, 0);
    if (started != KVOFWDL_STATUS_SUCCESS) return started;
    WaitForDownload(downloader_);
    return downloader_.Status().Status();
  }

  DeviceEnumeration enumeration_;
  KvoFwdlDownloader downloader_{enumeration_};
};

TEST_P(DownloadFaultTest, EndsWithAStatusAndTheNextDownloadSucceeds) {
  const FaultCase& c = GetParam();
  const uint32_t serial = plug(c.protocol);
  const std::string path = writeKwf(StudioFile(c.protocol == 3 ? 1 : 0));
  const simbus::FaultRule rule{.action = c.fault.action,
                               .kind = c.stage.kind,
                               .serial = serial,
                               .skip = c.stage.skip[c.protocol - 1],
                               .count = 1,
                               .status = platform::win_error::GenFailure,
                               .delayMs = kLate};
  const KVOFWDL_STATUS expected = ExpectedStatus(c.stage.name, c.fault.name, c.protocol);
  if (expected == kCannotStrike) {
    EXPECT_FALSE(bus->addFault(rule));
    EXPECT_THAT(bus->faults(), IsEmpty());
    return;
  }
  ASSERT_TRUE(bus->addFault(rule)) << simbus::faultRuleProblem(rule);
  EXPECT_EQ(download(path), expected);
  // Every rule strikes once; one never used up did not strike, and its cell tested nothing.
  EXPECT_THAT(bus->faults(), IsEmpty()) << "the fault never struck";

  bus->clearFaults();
  if (!bus->units()[0].onBus)
    bus->plug({simbus::Model::Studio, serial, simbus::kDefaultSerialHigh, c.protocol});
  EXPECT_EQ(download(path), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bus->units()[0].firmware, kNewFirmware);
}

std::vector<FaultCase> AllCases() {
  std::vector<FaultCase> cases;
  for (const Stage& stage : kStages) {
    for (const Fault& fault : kFaults) {
      for (uint32_t protocol : {1u, 2u, 3u}) cases.push_back({stage, fault, protocol});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Stages, DownloadFaultTest, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) {
                           return std::string(info.param.stage.name) + info.param.fault.name +
                                  "Protocol" + std::to_string(info.param.protocol);
                         });

}  // namespace
}  // namespace fwdl::test
