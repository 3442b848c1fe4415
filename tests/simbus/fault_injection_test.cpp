// Injected faults: failures, removals, bus resets, late and lost answers.
#include "bus_fixture.h"

namespace simbus::test {
namespace {

using FaultInjectionTest = BusFixture;

TEST_F(FaultInjectionTest, FailNextTransfersOfAKindWithAStatus) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::QuadletWrite,
                 .serial = 0,
                 .skip = 1,
                 .count = 2,
                 .status = 0xE0001234});
  EXPECT_EQ(write(*unit, coefficientAddress(1), be32({1})).error, we::Success);  // skipped
  EXPECT_EQ(read(*unit, coefficientAddress(1), 4).error, we::Success);           // other kind
  EXPECT_EQ(write(*unit, coefficientAddress(2), be32({2})).error, 0xE0001234u);
  EXPECT_EQ(write(*unit, coefficientAddress(2), be32({2})).error, 0xE0001234u);
  EXPECT_EQ(bus->peek(serial, 2), 0u);  // a failed transfer never reaches the unit
  EXPECT_EQ(write(*unit, coefficientAddress(2), be32({2})).error, we::Success);
  EXPECT_TRUE(bus->faults().empty());
}

TEST_F(FaultInjectionTest, RulesMatchOnlyTheirUnit) {
  const uint32_t a = plug();
  const uint32_t b = plug();
  auto unitA = openUnit(a);
  auto unitB = openUnit(b);
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::Any,
                 .serial = b,
                 .skip = 0,
                 .count = 1,
                 .status = we::GenFailure});
  EXPECT_EQ(read(*unitA, kInfoBlockAddress, 4).error, we::Success);
  EXPECT_EQ(read(*unitB, kInfoBlockAddress, 4).error, we::GenFailure);
}

TEST_F(FaultInjectionTest, RemoveAfterTransfersTakesTheUnitOffTheBus) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  int notified = 0;
  auto subscription = client->subscribeBusChanges([&] { ++notified; });
  bus->addFault(
      {.action = FaultAction::Remove, .kind = TransferKind::Any, .serial = serial, .skip = 2});
  EXPECT_EQ(read(*unit, kInfoBlockAddress, 4).error, we::Success);
  EXPECT_EQ(read(*unit, kInfoBlockAddress, 4).error, we::Success);
  EXPECT_EQ(read(*unit, kInfoBlockAddress, 4).error, pv::KVO_STATUS_DEVICE_REMOVED);
  EXPECT_EQ(notified, 1);
  EXPECT_FALSE(bus->units()[0].onBus);
}

TEST_F(FaultInjectionTest, BusResetAnswersInvalidGenerationCountOnce) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  const uint32_t generation = bus->generation();
  bus->addFault({.action = FaultAction::BusReset, .kind = TransferKind::Fcp});
  EXPECT_EQ(read(*unit, kInfoBlockAddress, 4).error, we::Success);
  const Reply r = call(*unit, pv::IOCTL_VHPD_FCP_TRANSACTION, std::vector<uint8_t>(520),
                       std::vector<uint8_t>(516));
  EXPECT_EQ(r.error, pv::VHPD_STATUS_INVALID_GEN_COUNT);
  EXPECT_EQ(bus->generation(), generation + 1);
  EXPECT_TRUE(bus->units()[0].onBus);
}

TEST_F(FaultInjectionTest, DelayedAnswerCompletesAfterItsDelayOnTheClock) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->addFault({.action = FaultAction::Delay,
                 .kind = TransferKind::BlockRead,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = 0,
                 .delayMs = 250});
  std::vector<uint8_t> buffer(104, 0);
  const auto request = pv::makeAsyncRequest(kInfoBlockAddress);
  pv::IoCall pending = unit->ioControl(pv::IOCTL_VHPD_ASYNC_READ, request, buffer);
  ASSERT_TRUE(pending.isPending());
  EXPECT_EQ(pending.immediate.error, we::IoPending);
  EXPECT_EQ(buffer[0], 0);  // nothing delivered yet
  const uint32_t start = clock.tickCount();
  const pv::IoResult result = pv::completeIo(std::move(pending), 1000);
  EXPECT_EQ(result.error, we::Success);
  EXPECT_EQ(result.bytesReturned, 104u);
  EXPECT_EQ(buffer[0], 't');
  EXPECT_EQ(clock.tickCount() - start, 250u);
}

TEST_F(FaultInjectionTest, DroppedAnswerTimesOutAndIsCancelled) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->addFault({.action = FaultAction::Drop, .kind = TransferKind::QuadletWrite});
  const auto request = pv::makeAsyncRequest(coefficientAddress(9));
  auto data = be32({99});
  const uint32_t start = clock.tickCount();
  const pv::IoResult result =
      pv::completeIo(unit->ioControl(pv::IOCTL_VHPD_ASYNC_WRITE, request, data), 500);
  EXPECT_EQ(result.error, we::WaitTimeout);
  EXPECT_EQ(clock.tickCount() - start, 500u);
  EXPECT_EQ(bus->peek(serial, 9), 99u);  // the unit did it; only the answer was lost
}

TEST_F(FaultInjectionTest, DelayedAnswerOnASynchronousHandleBlocksUntilItArrives) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial, pv::OpenMode::Synchronous);
  bus->addFault({.action = FaultAction::Delay,
                 .kind = TransferKind::Any,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = 0,
                 .delayMs = 40});
  const auto request = pv::makeAsyncRequest(kInfoBlockAddress);
  std::vector<uint8_t> buffer(4);
  const uint32_t start = clock.tickCount();
  const pv::IoCall call = unit->ioControl(pv::IOCTL_VHPD_ASYNC_READ, request, buffer);
  EXPECT_FALSE(call.isPending());
  EXPECT_EQ(call.immediate.error, we::Success);
  EXPECT_EQ(clock.tickCount() - start, 40u);
}

// The driver's own requests, each on the channel that carries it.
struct DriverRequestCase {
  TransferKind kind;
  uint32_t code;
  bool onControlDevice;
  size_t inputSize;
  size_t outputSize;
};

std::vector<uint8_t> sampleRateSetRecord() {
  std::vector<uint8_t> record(pv::kSampleRateSetSize, 0);
  pv::storeLe32(record.data() + 4, 96000);
  return record;
}

class DriverRequestFaultTest : public BusFixture,
                               public ::testing::WithParamInterface<DriverRequestCase> {
 protected:
  std::unique_ptr<pv::DeviceHandle> channel(pv::OpenMode mode = pv::OpenMode::Overlapped) {
    return GetParam().onControlDevice ? openControl() : openUnit(serial, mode);
  }
  pv::IoCall issue(pv::DeviceHandle& h, std::vector<uint8_t>& output) {
    const DriverRequestCase& c = GetParam();
    const std::vector<uint8_t> input = c.code == pv::IOCTL_VHPD_SET_SAMPLE_RATE
                                           ? sampleRateSetRecord()
                                           : std::vector<uint8_t>(c.inputSize, 0);
    output.assign(c.outputSize, 0);
    return h.ioControl(c.code, input, output);
  }
  uint32_t serial = plug();
};

TEST_P(DriverRequestFaultTest, FailsWithTheStatusThenAnswersAgain) {
  auto h = channel();
  bus->addFault({.action = FaultAction::Fail,
                 .kind = GetParam().kind,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = 0xE0001234});
  std::vector<uint8_t> output;
  EXPECT_EQ(pv::completeIo(issue(*h, output), 1000).error, 0xE0001234u);
  EXPECT_EQ(pv::completeIo(issue(*h, output), 1000).error, we::Success);
  EXPECT_TRUE(bus->faults().empty());
}

TEST_P(DriverRequestFaultTest, LateAnswerArrivesAfterItsDelay) {
  auto h = channel();
  bus->addFault({.action = FaultAction::Delay,
                 .kind = GetParam().kind,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = 0,
                 .delayMs = 300});
  std::vector<uint8_t> output;
  const uint32_t start = clock.tickCount();
  // The control device is opened synchronously, as the programs open it: the call blocks.
  EXPECT_EQ(pv::completeIo(issue(*h, output), 1000).error, we::Success);
  EXPECT_EQ(clock.tickCount() - start, 300u);
}

TEST_P(DriverRequestFaultTest, LostAnswerOnAnOverlappedHandleTimesOut) {
  std::unique_ptr<pv::DeviceHandle> h;
  const std::string path = GetParam().onControlDevice
                               ? std::string("\\\\.\\") + pv::kInterfaceGuidText
                               : SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | serial);
  ASSERT_EQ(client->open(path, pv::OpenMode::Overlapped, h), we::Success);
  bus->addFault({.action = FaultAction::Drop, .kind = GetParam().kind});
  std::vector<uint8_t> output;
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(pv::completeIo(issue(*h, output), 500).error, we::WaitTimeout);
  EXPECT_EQ(clock.tickCount() - start, 500u);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, DriverRequestFaultTest,
    ::testing::Values(DriverRequestCase{TransferKind::DriverInfo, pv::IOCTL_VHPD_GET_DRIVER_INFO,
                                        true, 0, pv::kDriverInfoSize},
                      DriverRequestCase{TransferKind::DriverInfo, pv::IOCTL_VHPD_GET_DRIVER_INFO,
                                        false, 0, pv::kDriverInfoSize},
                      DriverRequestCase{TransferKind::SampleRateGet, pv::IOCTL_VHPD_GET_SAMPLE_RATE,
                                        true, 0, pv::kSampleRateGetSize},
                      DriverRequestCase{TransferKind::SampleRateSet, pv::IOCTL_VHPD_SET_SAMPLE_RATE,
                                        true, pv::kSampleRateSetSize, 0},
                      DriverRequestCase{TransferKind::StreamCounters,
                                        pv::IOCTL_VHPD_GET_STREAM_COUNTERS, true, 0,
                                        pv::kStreamCountersSize},
                      DriverRequestCase{TransferKind::DeviceFlags, pv::IOCTL_VHPD_GET_DEVICE_FLAGS,
                                        false, 0, pv::kDeviceFlagsSize}),
    [](const auto& info) {
      std::string name(transferKindName(info.param.kind));
      name += info.param.onControlDevice ? "_control" : "_unit";
      std::erase(name, '-');
      return name;
    });

TEST_F(FaultInjectionTest, AFailedRateSetLeavesTheDriverRate) {
  auto control = openControl();
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::SampleRateSet,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = we::GenFailure});
  EXPECT_EQ(call(*control, pv::IOCTL_VHPD_SET_SAMPLE_RATE, sampleRateSetRecord(), {}).error,
            we::GenFailure);
  EXPECT_EQ(bus->driver().sampleRate, 48000u);
}

TEST_F(FaultInjectionTest, DriverRequestRulesLeaveUnitTransfersAlone) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::Any,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = we::GenFailure});
  EXPECT_EQ(call(*unit, pv::IOCTL_VHPD_GET_DEVICE_FLAGS, {}, std::vector<uint8_t>(4)).error,
            we::Success);  // "any" is any transfer to the unit, not the driver's queries
  bus->clearFaults();
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::DeviceFlags,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = we::GenFailure});
  EXPECT_EQ(read(*unit, kInfoBlockAddress, 4).error, we::Success);
  EXPECT_EQ(bus->faults().size(), 1u);
}

TEST_F(FaultInjectionTest, OpenOfOneUnitsPathFailsWithTheWindowsError) {
  const uint32_t a = plug();
  const uint32_t b = plug();
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::Open,
                 .serial = b,
                 .skip = 0,
                 .count = 1,
                 .status = we::AccessDenied});
  openUnit(a);  // another unit opens
  std::unique_ptr<pv::DeviceHandle> handle;
  const std::string path = SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | b);
  EXPECT_EQ(client->open(path, pv::OpenMode::Overlapped, handle), we::AccessDenied);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(client->open(path, pv::OpenMode::Overlapped, handle), we::Success);
}

TEST_F(FaultInjectionTest, ADeviceNodeChangeFailsWithTheWindowsErrorAndChangesNothing) {
  const uint32_t serial = plug();
  const std::string path = SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | serial);
  const NodeId node = uint64_t{kDefaultSerialHigh} << 32 | serial;
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::DeviceNode,
                 .serial = serial,
                 .skip = 1,
                 .count = 1,
                 .status = we::AccessDenied});
  EXPECT_EQ(bus->changeDeviceNodeState(node, pv::DeviceNodeChange::Disable), we::Success);
  EXPECT_EQ(bus->changeDeviceNodeState(node, pv::DeviceNodeChange::Enable), we::AccessDenied);
  std::unique_ptr<pv::DeviceHandle> handle;
  EXPECT_NE(client->open(path, pv::OpenMode::Overlapped, handle), we::Success);  // still disabled
  EXPECT_EQ(bus->changeDeviceNodeState(node, pv::DeviceNodeChange::Enable), we::Success);
  EXPECT_EQ(client->open(path, pv::OpenMode::Overlapped, handle), we::Success);
}

TEST_F(FaultInjectionTest, RulesThatCannotTakeEffectAreRefused) {
  const FaultRule refused[] = {
      {FaultAction::Remove, TransferKind::SampleRateGet},
      {FaultAction::BusReset, TransferKind::DriverInfo},
      {FaultAction::Delay, TransferKind::Open},
      {FaultAction::Drop, TransferKind::DeviceNode},
      {FaultAction::Late, TransferKind::StreamCounters},
      {FaultAction::NoAnswer, TransferKind::Any},
  };
  for (const FaultRule& rule : refused) {
    EXPECT_FALSE(faultRuleProblem(rule).empty()) << faultActionName(rule.action);
    EXPECT_FALSE(bus->addFault(rule));
  }
  EXPECT_TRUE(bus->faults().empty());
}

}  // namespace
}  // namespace simbus::test
