// Injected faults: failures, removals, bus resets, late and lost answers.
#include "bus_fixture.h"

namespace simbus::test {
namespace {

using FaultInjectionTest = BusFixture;

TEST_F(FaultInjectionTest, FailNextTransfersOfAKindWithAStatus) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  bus->addFault({FaultAction::Fail, TransferKind::QuadletWrite, 0, 1, 2, 0xE0001234});
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
  bus->addFault({FaultAction::Fail, TransferKind::Any, b, 0, 1, we::GenFailure});
  EXPECT_EQ(read(*unitA, kInfoBlockAddress, 4).error, we::Success);
  EXPECT_EQ(read(*unitB, kInfoBlockAddress, 4).error, we::GenFailure);
}

TEST_F(FaultInjectionTest, RemoveAfterTransfersTakesTheUnitOffTheBus) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  int notified = 0;
  auto subscription = client->subscribeBusChanges([&] { ++notified; });
  bus->addFault({FaultAction::Remove, TransferKind::Any, serial, 2});
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
  bus->addFault({FaultAction::BusReset, TransferKind::Fcp});
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
  bus->addFault({FaultAction::Delay, TransferKind::BlockRead, 0, 0, 1, 0, 250});
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
  bus->addFault({FaultAction::Drop, TransferKind::QuadletWrite});
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
  bus->addFault({FaultAction::Delay, TransferKind::Any, 0, 0, 1, 0, 40});
  const auto request = pv::makeAsyncRequest(kInfoBlockAddress);
  std::vector<uint8_t> buffer(4);
  const uint32_t start = clock.tickCount();
  const pv::IoCall call = unit->ioControl(pv::IOCTL_VHPD_ASYNC_READ, request, buffer);
  EXPECT_FALSE(call.isPending());
  EXPECT_EQ(call.immediate.error, we::Success);
  EXPECT_EQ(clock.tickCount() - start, 40u);
}

}  // namespace
}  // namespace simbus::test
