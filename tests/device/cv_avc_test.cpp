// Coefficient access: transport probing, transport choice per batch, the information block.
#include "device_fixture.h"

namespace velmora::test {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;

class CvAvcTest : public DeviceFixture {
 protected:
  // A bound cvAVC on interface `index`.
  std::unique_ptr<cvAVC> openAvc(uint32_t index = 0) {
    AvcioRef io{openIo(index)};
    auto avc = std::make_unique<cvAVC>();
    EXPECT_EQ(avc->Open(io.get()), 0u);
    return avc;
  }

  static std::vector<CoefficientValue> pairs(std::initializer_list<uint32_t> indices,
                                             uint32_t valueBase = 0) {
    std::vector<CoefficientValue> out;
    for (uint32_t i : indices) out.push_back({i, valueBase + i});
    return out;
  }
};

TEST_F(CvAvcTest, OpenProbesAllTransportsAndReadsTheInformationBlockInOneTransfer) {
  const uint32_t serial = plug(simbus::Model::Compact);
  bus->poke(serial, 0, 0x12345678);
  auto avc = openAvc();
  const TransportCaps caps = transportCaps();
  EXPECT_TRUE(caps.blockRead && caps.quadletRead && caps.blockWrite && caps.quadletWrite);
  EXPECT_EQ(bus->peek(serial, 0), 0x12345678u);  // the probe writes put back what was read
  ASSERT_TRUE(avc->InfoBlockValid());
  EXPECT_EQ(pv::loadLe32(avc->InfoBlock().data() + 20), serial);
  EXPECT_EQ(pv::loadLe32(avc->InfoBlock().data() + 24), 0x14u);
  EXPECT_EQ(counts(serial).blockRead, 2u);  // the probe, then the 104-byte block
  EXPECT_EQ(logText(), "  cvAVC::Open() : SUCCESS\n");
  EXPECT_EQ(avc->Device()->References(), 1);  // the test's reference is gone, avc holds one
}

TEST_F(CvAvcTest, OpenLogTextsForTheFailureCases) {
  const uint32_t serial = plug();
  cvAVC unbound;
  EXPECT_EQ(unbound.Open(nullptr), kAvcNoDevice);
  {
    AvcioRef io{openIo(0)};
    bus->addFault(
        {.action = FaultAction::Remove, .kind = TransferKind::BlockRead, .serial = serial});
    cvAVC removed;
    EXPECT_EQ(removed.Open(io.get()), pv::KVO_STATUS_DEVICE_REMOVED);
    EXPECT_FALSE(removed.InfoBlockValid());
  }
  bus->plug(simbus::UnitSpec{simbus::Model::Studio, serial});
  AvcioRef io{openIo(0)};
  // The block-read probe passes; the information block's read fails.
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::BlockRead,
                 .serial = serial,
                 .skip = 1,
                 .count = 1,
                 .status = we::GenFailure});
  cvAVC failed;
  EXPECT_EQ(failed.Open(io.get()), we::GenFailure);
  ASSERT_EQ(failed.Open(io.get()), 0u);  // a failed open leaves it unbound: try again
  EXPECT_EQ(failed.Open(io.get()), 0u);  // same device: nothing to do, nothing logged
  AvcioRef other{openIo(0)};
  EXPECT_EQ(failed.Open(other.get()), 1u);
  EXPECT_EQ(logText(),
            "cvAVC::Open() failed, device == NULL\n"
            "  cvAVC::Open() failed: 0xE0000050 (KVO_STATUS_DEVICE_REMOVED)\n"
            "  cvAVC::Open() : failed (1f)\n"
            "  cvAVC::Open() : SUCCESS\n"
            "cvAVC::Open() returned -1, mFireWireInterface present but != device\n");
}

TEST_F(CvAvcTest, InformationBlockByQuadletsReportsOnlyTheLastStatus) {
  const uint32_t serial = plug();
  AvcioRef io{openIo(0)};
  // A failed block-read probe leaves quadlets for the block. After the quadlet-read probe,
  // skipping 1 + k quadlet reads fails quadlet k of the block.
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::BlockRead,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = we::GenFailure});
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::QuadletRead,
                 .serial = serial,
                 .skip = 1 + 5,
                 .count = 1,
                 .status = we::GenFailure});
  cvAVC middleFails;
  EXPECT_EQ(middleFails.Open(io.get()), 0u);
  EXPECT_FALSE(transportCaps().blockRead);
  EXPECT_EQ(counts(serial).quadletRead, 1u + 26u);

  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::BlockRead,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = we::GenFailure});
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::QuadletRead,
                 .serial = serial,
                 .skip = 1 + 25,
                 .count = 1,
                 .status = we::GenFailure});
  cvAVC lastFails;
  EXPECT_EQ(lastFails.Open(io.get()), we::GenFailure);
}

TEST_F(CvAvcTest, UnitWithoutWorkingReadsKeepsCoefficientZeroAndWritesOverAvc) {
  const uint32_t serial = plug();
  bus->poke(serial, 0, 42);
  AvcioRef io{openIo(0)};
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::BlockRead,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = we::NotSupported});
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::QuadletRead,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = we::NotSupported});
  cvAVC avc;
  EXPECT_EQ(avc.Open(io.get()), 0u);  // the block comes by (working) quadlets afterwards
  EXPECT_EQ(bus->peek(serial, 0), 42u);
  EXPECT_FALSE(transportCaps().blockWrite || transportCaps().quadletWrite);
  auto batch = pairs({5});
  EXPECT_EQ(avc.SetValues(batch.data(), 1), 0u);
  EXPECT_EQ(counts(serial).fcp, 1u);
}

TEST_F(CvAvcTest, EveryBatchIsOneBusTransactionWhenBlocksWork) {
  const uint32_t serial = plug();
  auto avc = openAvc();
  const simbus::TransferCounts before = counts(serial);

  auto scattered = pairs({3, 90, 7, 109, 52, 53, 54, 80, 81, 82, 83, 85, 2, 1}, 1000);
  ASSERT_EQ(avc->SetValues(scattered.data(), 14), 0u);
  EXPECT_EQ(counts(serial).blockWrite, before.blockWrite + 1);
  EXPECT_EQ(bus->peek(serial, 109), 1109u);

  auto run = pairs({52, 53, 54, 55, 56, 57, 58, 59});
  ASSERT_EQ(avc->GetValues(run.data(), 8), 0u);
  EXPECT_EQ(counts(serial).blockRead, before.blockRead + 1);
  EXPECT_EQ(run[0].value, 1052u);
  EXPECT_EQ(run[3].value, 0u);
  EXPECT_EQ(counts(serial).total(), before.total() + 2);
}

TEST_F(CvAvcTest, SingleAndScatteredReadsNeverUseABlockRead) {
  const uint32_t serial = plug();
  bus->poke(serial, 110, 1);
  bus->poke(serial, 112, 2);
  auto avc = openAvc();
  const uint64_t blockReads = counts(serial).blockRead;
  auto apart = pairs({110, 112});
  ASSERT_EQ(avc->GetValues(apart.data(), 2), 0u);
  auto single = pairs({112});
  ASSERT_EQ(avc->GetValues(single.data(), 1), 0u);
  EXPECT_EQ(counts(serial).blockRead, blockReads);
  EXPECT_EQ(counts(serial).quadletRead, 1u + 3u);  // the probe at open, then 2 and 1
  EXPECT_EQ(apart[0].value, 1u);
  EXPECT_EQ(apart[1].value, 2u);
  EXPECT_EQ(single[0].value, 2u);
}

TEST_F(CvAvcTest, QuadletOnlyUnitUsesQuadletsBelowSixValuesAndAvcFromSix) {
  const uint32_t serial = plug();
  bus->setAcceptedTransfers(serial, {false, true, false, true});
  auto avc = openAvc();
  simbus::TransferCounts before = counts(serial);

  auto five = pairs({10, 11, 12, 13, 14}, 500);
  ASSERT_EQ(avc->SetValues(five.data(), 5), 0u);
  EXPECT_EQ(counts(serial).quadletWrite, before.quadletWrite + 5);
  auto six = pairs({20, 21, 22, 23, 24, 25}, 500);
  ASSERT_EQ(avc->SetValues(six.data(), 6), 0u);
  EXPECT_EQ(counts(serial).fcp, before.fcp + 1);
  EXPECT_EQ(bus->peek(serial, 25), 525u);

  auto readSix = pairs({20, 21, 22, 23, 24, 25});
  ASSERT_EQ(avc->GetValues(readSix.data(), 6), 0u);
  EXPECT_EQ(counts(serial).fcp, before.fcp + 2);
  EXPECT_EQ(readSix[5].index, 25u);
  EXPECT_EQ(readSix[5].value, 525u);
  EXPECT_EQ(counts(serial).blockRead + counts(serial).blockWrite,
            before.blockRead + before.blockWrite);
}

TEST_F(CvAvcTest, QuadletWriteFailingAtTheThirdKeepsTheFirstTwo) {
  const uint32_t serial = plug();
  auto avc = openAvc();
  transportCaps() = {false, true, false, true};
  bus->addFault({.action = FaultAction::Fail,
                 .kind = TransferKind::QuadletWrite,
                 .serial = serial,
                 .skip = 2,
                 .count = 1,
                 .status = we::GenFailure});
  auto four = pairs({30, 31, 32, 33}, 7);
  EXPECT_EQ(avc->SetValues(four.data(), 4), we::GenFailure);
  EXPECT_EQ(bus->peek(serial, 30), 37u);
  EXPECT_EQ(bus->peek(serial, 31), 38u);
  EXPECT_EQ(bus->peek(serial, 32), 0u);
  EXPECT_EQ(bus->peek(serial, 33), 0u);
}

TEST_F(CvAvcTest, TheLastOpenDecidesTheTransportsOfEveryUnit) {
  const uint32_t first = plug();
  const uint32_t second = plug();
  auto avcFirst = openAvc(0);
  bus->setAcceptedTransfers(second, {true, true, false, false});
  auto avcSecond = openAvc(1);
  EXPECT_FALSE(transportCaps().blockWrite);
  const uint64_t fcp = counts(first).fcp;
  auto batch = pairs({40, 41, 42, 43, 44, 45, 46});
  ASSERT_EQ(avcFirst->SetValues(batch.data(), 7), 0u);
  EXPECT_EQ(counts(first).fcp, fcp + 1);
}

TEST_F(CvAvcTest, AnAvcAnswerThatIsNotAnAcceptanceIsAFailureAndCopiesNothing) {
  const uint32_t serial = plug();
  auto avc = openAvc();
  transportCaps() = {};
  auto outside = std::vector<CoefficientValue>{{300, 77}, {5, 88}};
  EXPECT_EQ(avc->GetValues(outside.data(), 2), KVO_STATUS_AVC_NOT_ACCEPTED);
  EXPECT_EQ(outside[0].value, 77u);
  EXPECT_EQ(outside[1].value, 88u);
  EXPECT_EQ(avc->SetValues(outside.data(), 2), KVO_STATUS_AVC_NOT_ACCEPTED);
  EXPECT_EQ(bus->peek(serial, 5), 0u);
}

TEST_F(CvAvcTest, UnboundObjectRefusesBatches) {
  cvAVC avc;
  auto batch = pairs({1});
  EXPECT_EQ(avc.SetValues(batch.data(), 1), kAvcNoDevice);
  EXPECT_EQ(avc.GetValues(batch.data(), 1), kAvcNoDevice);
  EXPECT_EQ(logText(), "cvAVC::SetValues() failed, no mFireWireInterface\n");
}

// What a unit accepts, as `velmora-simbus transfers` sets it, is what the probe finds, and
// the unit's coefficients go both ways over what it accepts.
TEST_F(CvAvcTest, TheProbeFindsWhatTheUnitAccepts) {
  const simbus::AcceptedTransfers cases[] = {
      {true, true, true, true},     // everything
      {false, true, false, true},   // quadlets only
      {true, false, true, false},   // blocks only
      {true, true, false, false},   // reads only: writes go over AV/C
      {false, false, false, false}  // nothing: the information block cannot be read
  };
  for (const auto& accepts : cases) {
    const uint32_t serial = plug();
    bus->poke(serial, 0, 0x12345678);
    bus->setAcceptedTransfers(serial, accepts);
    AvcioRef io{openIo(bus->units().size() - 1)};
    cvAVC avc;
    const bool readable = accepts.blockRead || accepts.quadletRead;
    ASSERT_EQ(avc.Open(io.get()) == 0, readable) << serial;
    const TransportCaps caps = transportCaps();
    EXPECT_EQ(caps.blockRead, accepts.blockRead) << serial;
    EXPECT_EQ(caps.quadletRead, accepts.quadletRead) << serial;
    EXPECT_EQ(caps.blockWrite, accepts.blockWrite) << serial;
    EXPECT_EQ(caps.quadletWrite, accepts.quadletWrite) << serial;
    EXPECT_EQ(bus->peek(serial, 0), 0x12345678u) << serial;
    if (!readable) continue;
    EXPECT_EQ(pv::loadLe32(avc.InfoBlock().data() + 20), serial);
    for (uint32_t count : {1u, 2u, 6u}) {
      auto batch = pairs({30, 31, 32, 33, 34, 35}, count * 100);
      ASSERT_EQ(avc.SetValues(batch.data(), count), 0u) << serial << " " << count;
      auto back = pairs({30, 31, 32, 33, 34, 35});
      ASSERT_EQ(avc.GetValues(back.data(), count), 0u) << serial << " " << count;
      EXPECT_EQ(back[count - 1].value, count * 100 + 29 + count) << serial;
    }
  }
}

// The write probes put back a value read from the unit, whichever read failed.
TEST_F(CvAvcTest, TheWriteProbesNeverWriteAValueTheyDidNotRead) {
  struct Case {
    TransferKind kind;
    uint32_t skip;
  } cases[] = {
      {TransferKind::QuadletRead, 0}, {TransferKind::QuadletRead, 1}, {TransferKind::BlockRead, 0}};
  for (const Case& c : cases) {
    const uint32_t serial = plug();
    bus->poke(serial, 0, 42);
    AvcioRef io{openIo(bus->units().size() - 1)};
    bus->addFault({.action = FaultAction::Fail,
                   .kind = c.kind,
                   .serial = serial,
                   .skip = c.skip,
                   .count = 1,
                   .status = we::GenFailure});
    cvAVC avc;
    avc.Open(io.get());
    for (const auto& [index, value] : bus->coefficientWrites(serial)) {
      EXPECT_TRUE(index != 0 || value == 42u) << serial << " wrote " << value;
    }
    bus->clearFaults();
  }
}

// A unit that no longer answers costs one bounded wait, not one per word of the block.
TEST_F(CvAvcTest, ADeadUnitEndsTheOpenAtTheFirstWaitThatExpires) {
  for (const FaultAction action : {FaultAction::Drop, FaultAction::Remove}) {
    const uint32_t serial = plug();
    AvcioRef io{openIo(bus->units().size() - 1)};
    bus->addFault(
        {.action = action, .kind = TransferKind::Any, .serial = serial, .skip = 0, .count = 1000});
    const uint32_t start = clock.tickCount();
    cvAVC avc;
    EXPECT_NE(avc.Open(io.get()), 0u);
    EXPECT_LE(clock.tickCount() - start, kTransferWaitMs + 100);
    EXPECT_LE(counts(serial).total(), 1u);
    bus->clearFaults();
  }
}

}  // namespace
}  // namespace velmora::test
