// The units' boot loader: resets, object and streamed downloads, the new firmware after a good
// download, and the faults a boot loader can show.
#include <cstring>

#include "bus_fixture.h"
#include "simbus/sim_bootloader.h"
#include "tools/kwf/kwf_builder.h"

namespace simbus::test {
namespace {

namespace bl = bootloader;

constexpr uint32_t kNewFirmware = 0x02014000;

// The boot loader's side of the protocol, spoken by hand.
class BootloaderTest : public BusFixture {
 protected:
  // Writes request `code` with `payload` words and the next request id.
  Reply request(pv::DeviceHandle& unit, uint8_t code, std::vector<uint32_t> payload) {
    std::vector<uint8_t> bytes(bl::kRecordSize, 0);
    pv::storeLe32(bytes.data(), protocol_);
    lastKey_ = uint32_t{code} << 16 | ++id_;
    pv::storeLe32(bytes.data() + 4, lastKey_ | static_cast<uint32_t>(payload.size()) << 24);
    for (size_t i = 0; i < payload.size(); ++i) pv::storeLe32(bytes.data() + 8 + 4 * i, payload[i]);
    return write(unit, bl::kRequestWindow, bytes);
  }

  // Response words 4, 8 and 12, or nothing when the window does not answer the last request.
  std::optional<std::array<uint32_t, 2>> answer(pv::DeviceHandle& unit) {
    const Reply r = read(unit, bl::kResponseWindow, bl::kRecordSize);
    if (r.error != we::Success || (pv::loadLe32(r.data.data() + 4) & 0xFFFFFF) != lastKey_) {
      return std::nullopt;
    }
    return std::array{pv::loadLe32(r.data.data() + 8), pv::loadLe32(r.data.data() + 12)};
  }

  uint32_t infoWord(pv::DeviceHandle& unit, size_t offset) {
    return pv::loadLe32(read(unit, kInfoBlockAddress + offset, 4).data.data());
  }

  // Plugs a unit of `protocol` and opens it halted in its boot loader.
  std::unique_ptr<pv::DeviceHandle> haltedUnit(uint32_t protocol, uint32_t& serial) {
    protocol_ = protocol;
    serial = bus->plug(UnitSpec{Model::Studio, 0, kDefaultSerialHigh, protocol}).value();
    auto unit = openUnit(serial);
    request(*unit, bl::kReset, {bl::kHaltInBootloader});
    clock.advance(bus->driver().rejoinDelayMs);
    return openUnit(serial);
  }

  // Sends `data` as object or stream blocks of at most `block` bytes from `address`.
  void sendBlocks(pv::DeviceHandle& unit, const std::vector<uint8_t>& data, uint32_t address,
                  uint32_t block) {
    uint32_t sequence = 0;
    for (size_t at = 0; at < data.size(); at += block, ++sequence) {
      const size_t size = std::min<size_t>(block, data.size() - at);
      write(unit, bl::kDataWindow, {data.begin() + at, data.begin() + at + size});
      request(unit, bl::kDownloadBlock,
              {sequence, address + static_cast<uint32_t>(at), static_cast<uint32_t>(size)});
      ASSERT_EQ(answer(unit), (std::array<uint32_t, 2>{sequence, 0})) << "block " << sequence;
    }
  }

  std::vector<uint32_t> startPayload(uint32_t type, uint32_t address,
                                     const std::vector<uint8_t>& object, uint32_t crc) {
    std::vector<uint32_t> words(10, 0x30303030);  // date and time digits
    words[0] = type;
    words[5] = 3;
    words[6] = kNewFirmware;
    words[7] = address;
    words[8] = static_cast<uint32_t>(object.size());
    words[9] = crc;
    return words;
  }

  uint32_t protocol_ = 3;
  uint32_t id_ = 0;
  uint32_t lastKey_ = 0;
};

// CRC-32 of the file format, from the firmware file builder.
uint32_t crcOf(const std::vector<uint8_t>& bytes) {
  tools::kwf::KwfSpec spec;
  spec.image1 = bytes;
  const auto file = tools::kwf::BuildKwf(spec);
  return pv::loadLe32(file->data() + 60);
}

struct ResetCase {
  uint32_t protocol;
  bool leavesBus;
};

class ResetTest : public BootloaderTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(ResetTest, HaltsInTheBootLoaderAndComesBackAtTheSamePath) {
  protocol_ = GetParam().protocol;
  const uint32_t serial =
      bus->plug(UnitSpec{Model::Studio, 0, kDefaultSerialHigh, protocol_}).value();
  auto unit = openUnit(serial);
  ASSERT_EQ(request(*unit, bl::kReset, {bl::kHaltInBootloader}).error, we::Success);
  EXPECT_EQ(bus->units()[0].onBus, !GetParam().leavesBus);
  if (GetParam().leavesBus) {
    EXPECT_EQ(read(*unit, kInfoBlockAddress, 4).error, pv::KVO_STATUS_DEVICE_REMOVED);
    clock.advance(bus->driver().rejoinDelayMs);
    unit = openUnit(serial);
  }
  EXPECT_EQ(infoWord(*unit, info::kBootloaderMode), 1u);
  EXPECT_EQ(infoWord(*unit, info::kGuidLow), serial);
}

INSTANTIATE_TEST_SUITE_P(Protocols, ResetTest,
                         ::testing::Values(ResetCase{1, false}, ResetCase{2, true},
                                           ResetCase{3, true}));

TEST_F(BootloaderTest, DownloadsAreRefusedWhileTheApplicationRuns) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0, {1, 2, 3, 4}, 0));
  EXPECT_EQ(answer(*unit), (std::array<uint32_t, 2>{static_cast<uint32_t>(-1), 0}));
}

TEST_F(BootloaderTest, AnObjectDownloadInstallsItsFirmwareAtTheNextStart) {
  uint32_t serial = 0;
  auto unit = haltedUnit(1, serial);
  const auto image = tools::kwf::GeneratedPayload(5000, 7);
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0x400C0080, image, crcOf(image)));
  EXPECT_EQ(answer(*unit), (std::array<uint32_t, 2>{2048, 0}));
  sendBlocks(*unit, image, 0x400C0080, 2048);
  request(*unit, bl::kDownloadEnd, {});
  EXPECT_EQ(answer(*unit), (std::array<uint32_t, 2>{crcOf(image), 0}));
  EXPECT_EQ(bus->units()[0].firmware, kDefaultFirmware);  // not before the application starts

  request(*unit, bl::kReset, {bl::kStartApplication});
  EXPECT_EQ(infoWord(*unit, info::kBootloaderMode), 0u);
  EXPECT_EQ(infoWord(*unit, info::kFirmwareVersion), kNewFirmware);
  bus->unplug(serial);
  bus->plug(UnitSpec{Model::Studio, serial, kDefaultSerialHigh, 1});
  EXPECT_EQ(bus->units()[0].firmware, kNewFirmware);
}

struct BlockRuleCase {
  const char* name;
  uint32_t sequence;
  uint32_t address;
  uint32_t size;
  int32_t status;
};

class BlockRuleTest : public BootloaderTest, public ::testing::WithParamInterface<BlockRuleCase> {};

TEST_P(BlockRuleTest, AnOutOfOrderBlockIsRefused) {
  uint32_t serial = 0;
  auto unit = haltedUnit(2, serial);
  const std::vector<uint8_t> object(4096, 0x5A);
  request(*unit, bl::kDownloadStart, startPayload(bl::kCnE, 0, object, crcOf(object)));
  write(*unit, bl::kDataWindow, std::vector<uint8_t>(2048, 0x5A));
  const BlockRuleCase& c = GetParam();
  request(*unit, bl::kDownloadBlock, {c.sequence, c.address, c.size});
  EXPECT_EQ(answer(*unit), (std::array<uint32_t, 2>{c.sequence, static_cast<uint32_t>(c.status)}));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockRuleTest,
    ::testing::Values(BlockRuleCase{"InOrder", 0, 0, 2048, 0},
                      BlockRuleCase{"WrongSequence", 1, 0, 2048, bl::kSequenceMismatch},
                      BlockRuleCase{"WrongAddress", 0, 4, 2048, bl::kAddressMismatch},
                      BlockRuleCase{"LargerThanOffered", 0, 0, 2052, bl::kBadBlockSize},
                      BlockRuleCase{"Empty", 0, 0, 0, bl::kBadBlockSize}),
    [](const auto& info) { return std::string(info.param.name); });

// A protocol-3 unit takes a whole firmware file and checks it itself.
class StreamTest : public BootloaderTest {
 protected:
  std::vector<uint8_t> file(uint32_t firmware) {
    tools::kwf::KwfSpec spec;
    spec.firmwareVersion = firmware;
    spec.softwareId = 9;
    spec.compatibleHardwareVersion = 0x13;
    spec.infoText = "stream";
    spec.image1 = tools::kwf::GeneratedPayload(3000, 1);
    spec.cnE = tools::kwf::GeneratedPayload(500, 2);
    spec.trailer = {0xFF, 0xFF, 0xFF, 0xFF};
    return *tools::kwf::BuildKwf(spec);
  }

  // Announces image and CnE of `f`, streams it and ends: the end's answer. With `cutAt`, only
  // that many bytes are sent and the download is not ended (nullopt).
  std::optional<std::array<uint32_t, 2>> stream(pv::DeviceHandle& unit,
                                                const std::vector<uint8_t>& f,
                                                std::optional<size_t> cutAt = std::nullopt) {
    auto announce = [&](uint32_t type, size_t lengthAt, size_t crcAt) {
      std::vector<uint32_t> words(10, 0);
      words[0] = type;
      for (size_t i = 0; i < 4; ++i) words[1 + i] = pv::loadLe32(f.data() + 8 + 4 * i);  // stamp
      if (type == bl::kProgram) words[7] = pv::loadLe32(f.data() + 52);  // image address
      words[8] = pv::loadLe32(f.data() + lengthAt);
      words[9] = pv::loadLe32(f.data() + crcAt);
      request(unit, bl::kDownloadStart, words);
      return answer(unit);
    };
    EXPECT_EQ(announce(bl::kCnE, 88, 92), (std::array<uint32_t, 2>{2048, 0}));
    EXPECT_EQ(announce(bl::kProgram, 56, 60), (std::array<uint32_t, 2>{2048, 0}));
    if (cutAt) {
      sendBlocks(unit, {f.begin(), f.begin() + static_cast<std::ptrdiff_t>(*cutAt)}, 0, 2048);
      return std::nullopt;
    }
    sendBlocks(unit, f, 0, 2048);
    request(unit, bl::kDownloadEnd, {});
    return answer(unit);
  }

  // Switched off and on again.
  std::unique_ptr<pv::DeviceHandle> powerCycle(uint32_t serial) {
    bus->unplug(serial);
    bus->plug(UnitSpec{Model::Studio, serial, kDefaultSerialHigh, 3});
    return openUnit(serial);
  }
};

// The program in the flash is overwritten from the first block on: a unit switched off before
// the download's end has no application left and starts in its boot loader, where it takes a
// download again. One switched off after a good end starts the new firmware.
TEST_F(StreamTest, APowerCutDuringTheWriteLeavesOnlyTheBootLoader) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  const auto f = file(kNewFirmware);
  EXPECT_EQ(stream(*unit, f, 2048 * 2), std::nullopt);
  unit = powerCycle(serial);
  EXPECT_EQ(infoWord(*unit, info::kBootloaderMode), 1u);
  EXPECT_EQ(read(*unit, kCoefficientBase, 4).error, we::InvalidAddress);
  unit = powerCycle(serial);
  EXPECT_EQ(infoWord(*unit, info::kBootloaderMode), 1u) << "still no application";

  EXPECT_EQ(stream(*unit, f), (std::array<uint32_t, 2>{crcOf(f), 0}));
  unit = powerCycle(serial);
  EXPECT_EQ(infoWord(*unit, info::kBootloaderMode), 0u);
  EXPECT_EQ(infoWord(*unit, info::kFirmwareVersion), kNewFirmware);
  EXPECT_EQ(read(*unit, kCoefficientBase, 4).error, we::Success);
}

// The coefficients belong to the application: a unit in its boot loader serves none, by
// address, through the block mailbox or over FCP.
TEST_F(BootloaderTest, AUnitInItsBootLoaderRefusesCoefficientTraffic) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  EXPECT_EQ(read(*unit, kCoefficientBase + 4 * 90, 4).error, we::InvalidAddress);
  EXPECT_EQ(write(*unit, kCoefficientBase + 4 * 90, {0, 0, 0, 1}).error, we::InvalidAddress);
  EXPECT_EQ(write(*unit, kBlockSetMailbox, std::vector<uint8_t>(8, 0)).error, we::InvalidAddress);
  EXPECT_EQ(read(*unit, kInfoBlockAddress, 4).error, we::Success);
  bus->withUnit(serial, [](SimUnit& u) {
    // A status command for coefficient 0.
    const std::vector<uint8_t> command = {0x01, 0xFF, 0x00, 0x7A, 0x13, 0x94, 0x03, 0x01,
                                          0,    0,    0,    0,    0,    0,    0,    0};
    EXPECT_EQ(u.avcTransaction(command).at(0), 0x08);  // not implemented
    u.bootloader().setHalted(false);
    EXPECT_EQ(u.avcTransaction(command).at(0), 0x0C);  // stable
  });
}

TEST_F(StreamTest, AGoodFileBringsItsFirmwareAndSoftwareId) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  const auto f = file(kNewFirmware);
  EXPECT_EQ(stream(*unit, f), (std::array<uint32_t, 2>{crcOf(f), 0}));
  request(*unit, bl::kReset, {bl::kStartApplication});
  clock.advance(bus->driver().rejoinDelayMs);
  unit = openUnit(serial);
  EXPECT_EQ(infoWord(*unit, info::kFirmwareVersion), kNewFirmware);
  EXPECT_EQ(infoWord(*unit, info::kSoftwareId), 9u);
}

TEST_F(StreamTest, AFileWithABrokenObjectIsRefusedAndNothingChanges) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  auto f = file(kNewFirmware);
  f[200] ^= 1;  // inside image 1
  const auto end = stream(*unit, f);
  ASSERT_TRUE(end);
  EXPECT_EQ((*end)[1], static_cast<uint32_t>(bl::kBadFile));
  request(*unit, bl::kReset, {bl::kStartApplication});
  EXPECT_EQ(bus->units()[0].firmware, kDefaultFirmware);
}

// The request record as the unit checks it: word 0 the unit's protocol, the payload count of
// the code, a download start with the stamp's digits and no address for the CnE block.
struct MalformedCase {
  const char* name;
  uint8_t code;
  size_t offset;  // of the word changed in a good request; 4: its payload count
  uint32_t value;
};

class MalformedRequestTest : public BootloaderTest,
                             public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedRequestTest, IsRefusedAsABadRequest) {
  const MalformedCase& c = GetParam();
  uint32_t serial = 0;
  auto unit = haltedUnit(1, serial);
  const std::vector<uint8_t> object(4096, 0x5A);
  auto send = [&](uint8_t code, std::vector<uint32_t> payload, bool spoil) {
    std::vector<uint8_t> bytes(bl::kRecordSize, 0);
    pv::storeLe32(bytes.data(), protocol_);
    lastKey_ = uint32_t{code} << 16 | ++id_;
    pv::storeLe32(bytes.data() + 4, lastKey_ | static_cast<uint32_t>(payload.size()) << 24);
    for (size_t i = 0; i < payload.size(); ++i) {
      pv::storeLe32(bytes.data() + 8 + 4 * i, payload[i]);
    }
    // Word 4 keeps its code and id; only its payload count (byte 7) changes.
    if (spoil && c.offset == 4) bytes[7] = static_cast<uint8_t>(c.value);
    if (spoil && c.offset != 4) pv::storeLe32(bytes.data() + c.offset, c.value);
    write(*unit, bl::kRequestWindow, bytes);
    return answer(*unit);
  };
  const auto start = startPayload(bl::kCnE, 0, object, crcOf(object));
  if (c.code != bl::kDownloadStart) {
    ASSERT_EQ(send(bl::kDownloadStart, start, false), (std::array<uint32_t, 2>{2048, 0}));
    write(*unit, bl::kDataWindow, std::vector<uint8_t>(2048, 0x5A));
  }
  const std::vector<uint32_t> payload = c.code == bl::kDownloadStart ? start
                                        : c.code == bl::kDownloadBlock
                                            ? std::vector<uint32_t>{0, 0, 2048}
                                            : std::vector<uint32_t>{};
  const auto got = send(c.code, payload, true);
  ASSERT_TRUE(got);
  const uint32_t bad = static_cast<uint32_t>(bl::kBadRequest);
  EXPECT_EQ(c.code == bl::kDownloadStart ? (*got)[0] : (*got)[1], bad);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, MalformedRequestTest,
    ::testing::Values(
        MalformedCase{"StartWithAnotherProtocol", bl::kDownloadStart, 0, 3},
        MalformedCase{"StartWithTooFewWords", bl::kDownloadStart, 4, 9},
        MalformedCase{"StartWithALetterInTheDate", bl::kDownloadStart, 12, 0x30413030},
        MalformedCase{"StartWithALetterInTheTime", bl::kDownloadStart, 20, 0x3030305A},
        MalformedCase{"StartOfCnEWithAnAddress", bl::kDownloadStart, 36, 0x1000},
        MalformedCase{"BlockWithAnotherProtocol", bl::kDownloadBlock, 0, 2},
        MalformedCase{"BlockWithTooManyWords", bl::kDownloadBlock, 4, 4},
        MalformedCase{"EndWithAWord", bl::kDownloadEnd, 4, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BootloaderTest, AResetWithAnotherProtocolIsIgnored) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  protocol_ = 2;  // the unit speaks protocol 3
  request(*unit, bl::kReset, {bl::kHaltInBootloader});
  EXPECT_TRUE(bus->units()[0].onBus);
  EXPECT_EQ(infoWord(*unit, info::kBootloaderMode), 0u);
}

// A start whose stamp or image address is not the streamed file's names another file.
class StreamStartTest : public StreamTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(StreamStartTest, ThatNamesAnotherFileIsRefusedAtTheEnd) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  const auto f = file(kNewFirmware);
  std::vector<uint32_t> words(10, 0);
  words[0] = bl::kProgram;
  for (size_t i = 0; i < 4; ++i) words[1 + i] = pv::loadLe32(f.data() + 8 + 4 * i);
  words[7] = pv::loadLe32(f.data() + 52);
  words[8] = pv::loadLe32(f.data() + 56);
  words[9] = pv::loadLe32(f.data() + 60);
  words[GetParam()] += 1;  // a digit of the date one higher, or the address one further
  request(*unit, bl::kDownloadStart, words);
  ASSERT_EQ(answer(*unit), (std::array<uint32_t, 2>{2048, 0}));
  sendBlocks(*unit, f, 0, 2048);
  request(*unit, bl::kDownloadEnd, {});
  const auto end = answer(*unit);
  ASSERT_TRUE(end);
  EXPECT_EQ((*end)[1], static_cast<uint32_t>(bl::kBadFile));
}

INSTANTIATE_TEST_SUITE_P(Words, StreamStartTest, ::testing::Values(size_t{1}, size_t{7}));

// ---- Faults ----

TEST_F(BootloaderTest, NoAnswerLeavesTheResponseWindowAsItWas) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  bus->addFault(
      {.action = FaultAction::NoAnswer, .kind = TransferKind::DownloadStart, .serial = serial});
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0, {1, 2, 3, 4}, 0));
  EXPECT_EQ(answer(*unit), std::nullopt);
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0, {1, 2, 3, 4}, 0));
  EXPECT_EQ(answer(*unit), (std::array<uint32_t, 2>{2048, 0}));
}

TEST_F(BootloaderTest, ALateAnswerAppearsAfterItsDelay) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  bus->addFault({.action = FaultAction::Late,
                 .kind = TransferKind::DownloadStart,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = 0,
                 .delayMs = 500});
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0, {1, 2, 3, 4}, 0));
  clock.advance(499);
  EXPECT_EQ(answer(*unit), std::nullopt);
  clock.advance(1);
  EXPECT_EQ(answer(*unit), (std::array<uint32_t, 2>{2048, 0}));
}

TEST_F(BootloaderTest, AnErrorFaultAnswersItsCode) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  bus->addFault({.action = FaultAction::Error,
                 .kind = TransferKind::DownloadStart,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = 0xFFFFFFFB});
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0, {1, 2, 3, 4}, 0));
  EXPECT_EQ(answer(*unit), (std::array<uint32_t, 2>{0xFFFFFFFB, 0}));
}

TEST_F(BootloaderTest, AWrongCrcIsWhatTheUnitReceivedCorrupted) {
  uint32_t serial = 0;
  auto unit = haltedUnit(1, serial);
  const std::vector<uint8_t> image(100, 0x11);
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0, image, crcOf(image)));
  sendBlocks(*unit, image, 0, 2048);
  bus->addFault(
      {.action = FaultAction::WrongCrc, .kind = TransferKind::DownloadEnd, .serial = serial});
  request(*unit, bl::kDownloadEnd, {});
  const auto end = answer(*unit);
  ASSERT_TRUE(end);
  EXPECT_NE((*end)[0], crcOf(image));
  request(*unit, bl::kReset, {bl::kStartApplication});
  EXPECT_EQ(bus->units()[0].firmware, kDefaultFirmware);
}

TEST_F(BootloaderTest, OtherIdMakesTheUnitComeBackWithAnotherUniqueId) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  bus->addFault({.action = FaultAction::OtherId, .kind = TransferKind::Reset, .serial = serial});
  request(*unit, bl::kReset, {bl::kStartApplication});
  clock.advance(bus->driver().rejoinDelayMs);
  unit = openUnit(serial);  // the same device path
  EXPECT_NE(infoWord(*unit, info::kGuidLow), serial);
}

TEST_F(BootloaderTest, ARemoveFaultOnABlockTakesTheUnitOffTheBus) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  bus->addFault({.action = FaultAction::Remove,
                 .kind = TransferKind::DownloadBlock,
                 .serial = serial,
                 .skip = 1});
  request(*unit, bl::kDownloadStart, startPayload(bl::kProgram, 0, {1, 2, 3, 4}, 0));
  request(*unit, bl::kDownloadBlock, {0, 0, 4});
  EXPECT_EQ(request(*unit, bl::kDownloadBlock, {1, 4, 4}).error, pv::KVO_STATUS_DEVICE_REMOVED);
  EXPECT_FALSE(bus->units()[0].onBus);
}

TEST_F(BootloaderTest, ModeAndSoftwareIdAreKeptInTheSavedState) {
  uint32_t serial = 0;
  auto unit = haltedUnit(3, serial);
  bus->withUnit(serial, [](SimUnit& u) {
    u.setSoftwareId(0);
    u.bootloader().setApplicationMissing(true);
  });
  SimBus restored;
  ASSERT_TRUE(restored.loadState(bus->saveState()));
  restored.withUnit(serial, [](SimUnit& u) {
    EXPECT_TRUE(u.bootloader().halted());
    EXPECT_TRUE(u.bootloader().applicationMissing());
    EXPECT_EQ(u.softwareId(), 0u);
  });
}

}  // namespace
}  // namespace simbus::test
