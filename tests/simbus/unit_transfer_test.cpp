// A unit's address space and AV/C commands as seen through the driver.
#include <cstring>

#include "bus_fixture.h"

namespace simbus::test {
namespace {

using UnitTransferTest = BusFixture;

std::vector<uint8_t> fcpRequest(std::vector<uint8_t> frame) {
  std::vector<uint8_t> request(pv::kFcpRequestSize, 0);
  pv::storeLe32(request.data(), pv::kFcpTimeoutMs);
  pv::storeLe32(request.data() + 4, static_cast<uint32_t>(frame.size()));
  std::copy(frame.begin(), frame.end(), request.begin() + 8);
  return request;
}

std::vector<uint8_t> coefficientFrame(uint8_t ctype,
                                      std::vector<std::pair<uint32_t, uint32_t>> pairs,
                                      uint32_t company = kVendorId, uint8_t opcode = 0x00) {
  std::vector<uint8_t> frame(8 + 8 * pairs.size());
  frame[0] = ctype;
  frame[1] = 0xFF;
  frame[2] = opcode;
  frame[3] = static_cast<uint8_t>(company >> 16);
  frame[4] = static_cast<uint8_t>(company >> 8);
  frame[5] = static_cast<uint8_t>(company);
  frame[6] = 0x03;
  frame[7] = static_cast<uint8_t>(pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i) {
    pv::storeBe32(frame.data() + 8 + 8 * i, pairs[i].first);
    pv::storeBe32(frame.data() + 12 + 8 * i, pairs[i].second);
  }
  return frame;
}

// The AV/C response frame of an FCP transaction.
std::vector<uint8_t> avc(pv::DeviceHandle& unit, std::vector<uint8_t> frame) {
  const Reply r = call(unit, pv::IOCTL_VHPD_FCP_TRANSACTION, fcpRequest(frame),
                       std::vector<uint8_t>(pv::kFcpResponseSize));
  EXPECT_EQ(r.error, we::Success);
  const uint32_t length = pv::loadLe32(r.data.data());
  return {r.data.begin() + 4, r.data.begin() + 4 + length};
}

TEST_F(UnitTransferTest, InformationBlockDescribesTheUnitAndReadsTheSameByQuadlets) {
  const uint32_t serial = plug(Model::Compact, 4242);
  auto unit = openUnit(serial);
  const Reply block = read(*unit, kInfoBlockAddress, kInfoBlockSize);
  ASSERT_EQ(block.error, we::Success);
  ASSERT_EQ(block.bytes, kInfoBlockSize);
  const uint8_t* b = block.data.data();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b), 8), "tarnwick");
  EXPECT_EQ(pv::loadLe32(b + info::kProtocolVersion), 3u);
  EXPECT_EQ(pv::loadLe32(b + info::kBootloaderMode), 0u);
  EXPECT_EQ(pv::loadLe32(b + info::kGuidHigh) >> 8, kVendorId);
  EXPECT_EQ(pv::loadLe32(b + info::kGuidLow), 4242u);
  EXPECT_EQ(pv::loadLe32(b + info::kHardwareModelId), 0x14u);
  EXPECT_EQ(pv::loadLe32(b + info::kFirmwareVersion), 0x02000FA0u);

  for (size_t offset = 0; offset < kInfoBlockSize; offset += 4) {
    const Reply q = read(*unit, kInfoBlockAddress + offset, 4);
    ASSERT_EQ(q.error, we::Success);
    EXPECT_EQ(0, std::memcmp(q.data.data(), b + offset, 4)) << offset;
  }
}

TEST_F(UnitTransferTest, CoefficientsAreBigEndianWordsByQuadletBlockAndMailbox) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  ASSERT_EQ(write(*unit, coefficientAddress(84), be32({2})).error, we::Success);
  EXPECT_EQ(bus->peek(serial, 84), 2u);

  ASSERT_EQ(write(*unit, coefficientAddress(10), be32({7, 8, 9})).error, we::Success);
  ASSERT_EQ(write(*unit, kBlockSetMailbox, be32({120, 0xAABBCCDD, 3, 33})).error, we::Success);
  EXPECT_EQ(bus->peek(serial, 120), 0xAABBCCDDu);

  const Reply r = read(*unit, coefficientAddress(10), 12);
  ASSERT_EQ(r.error, we::Success);
  EXPECT_EQ(r.data, be32({7, 8, 9}));
  bus->poke(serial, 255, 0x01020304);
  EXPECT_EQ(read(*unit, coefficientAddress(255), 4).data, be32({0x01020304}));
  EXPECT_EQ(bus->transferCounts(serial), (TransferCounts{1, 1, 2, 1, 0}));
}

TEST_F(UnitTransferTest, AddressesOutsideTheMapAndBadMailboxBatchesAreRefused) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  EXPECT_EQ(read(*unit, coefficientAddress(256), 4).error, we::InvalidAddress);
  EXPECT_EQ(read(*unit, coefficientAddress(254), 12).error, we::InvalidAddress);
  EXPECT_EQ(read(*unit, kInfoBlockAddress + 100, 8).error, we::InvalidAddress);
  EXPECT_EQ(write(*unit, kInfoBlockAddress, be32({1})).error, we::InvalidAddress);
  EXPECT_EQ(read(*unit, coefficientAddress(0) + 2, 4).error, we::InvalidAddress);
  // A bad index refuses the whole batch.
  EXPECT_EQ(write(*unit, kBlockSetMailbox, be32({5, 1, 300, 2})).error, we::InvalidParameter);
  EXPECT_EQ(bus->peek(serial, 5), 0u);
  EXPECT_EQ(write(*unit, kBlockSetMailbox, be32({5, 1, 6})).error, we::InvalidParameter);
}

TEST_F(UnitTransferTest, AcceptedTransfersDecideWhichKindsAnswer) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  struct Case {
    AcceptedTransfers accepts;
    uint32_t blockRead, quadletRead, blockWrite, quadletWrite;
  } cases[] = {
      {{true, true, true, true}, we::Success, we::Success, we::Success, we::Success},
      {{false, true, true, true}, we::NotSupported, we::Success, we::Success, we::Success},
      {{true, false, true, true}, we::Success, we::NotSupported, we::Success, we::Success},
      {{true, true, false, true}, we::Success, we::Success, we::NotSupported, we::Success},
      {{true, true, true, false}, we::Success, we::Success, we::Success, we::NotSupported},
      {{false, true, false, true}, we::NotSupported, we::Success, we::NotSupported, we::Success},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(bus->setAcceptedTransfers(serial, c.accepts));
    EXPECT_EQ(read(*unit, coefficientAddress(0), 8).error, c.blockRead);
    EXPECT_EQ(read(*unit, coefficientAddress(0), 4).error, c.quadletRead);
    EXPECT_EQ(write(*unit, coefficientAddress(0), be32({1, 2})).error, c.blockWrite);
    EXPECT_EQ(write(*unit, coefficientAddress(0), be32({1})).error, c.quadletWrite);
  }
}

TEST_F(UnitTransferTest, AvcControlSetsAndStatusReadsCoefficients) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  const auto control = coefficientFrame(0x00, {{93, 2}, {118, 1}});
  const auto accepted = avc(*unit, control);
  ASSERT_EQ(accepted.size(), control.size());
  EXPECT_EQ(accepted[0], 0x09);  // ACCEPTED
  EXPECT_TRUE(std::equal(control.begin() + 1, control.end(), accepted.begin() + 1));
  EXPECT_EQ(bus->peek(serial, 93), 2u);

  const auto stable = avc(*unit, coefficientFrame(0x01, {{118, 0xFFFFFFFF}, {93, 0}}));
  ASSERT_EQ(stable.size(), 24u);
  EXPECT_EQ(stable[0], 0x0C);  // STABLE
  EXPECT_EQ(pv::loadBe32(stable.data() + 8), 118u);
  EXPECT_EQ(pv::loadBe32(stable.data() + 12), 1u);
  EXPECT_EQ(pv::loadBe32(stable.data() + 20), 2u);
}

TEST_F(UnitTransferTest, AvcFramesOfOtherCommandsAreNotImplementedOrRejected) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  struct Case {
    std::vector<uint8_t> frame;
    uint8_t response;
  } cases[] = {
      {coefficientFrame(0x00, {{1, 1}}, 0x00E0C0), 0x08},         // another company
      {coefficientFrame(0x00, {{1, 1}}, kVendorId, 0x30), 0x08},  // another opcode
      {coefficientFrame(0x03, {{1, 1}}), 0x08},                   // another ctype
      {{0x00, 0xFF, 0x00}, 0x08},                                 // truncated header
      {coefficientFrame(0x00, {{300, 1}}), 0x0A},                 // index outside the array
  };
  for (auto& c : cases) {
    auto truncated = c.frame;
    const auto response = avc(*unit, truncated);
    ASSERT_FALSE(response.empty());
    EXPECT_EQ(response[0], c.response);
  }
  auto shortFrame = coefficientFrame(0x00, {{1, 1}, {2, 2}});
  shortFrame.resize(16);  // claims two pairs, carries one
  EXPECT_EQ(avc(*unit, shortFrame)[0], 0x0A);
  EXPECT_EQ(bus->peek(serial, 1), 0u);

  auto oversized = fcpRequest({});
  pv::storeLe32(oversized.data() + 4, 513);
  EXPECT_EQ(call(*unit, pv::IOCTL_VHPD_FCP_TRANSACTION, oversized,
                 std::vector<uint8_t>(pv::kFcpResponseSize))
                .error,
            we::InvalidParameter);
}

}  // namespace
}  // namespace simbus::test
