// What goes over the driver during a version-0 object download, byte for byte: the control
// codes, the AsyncRequest of each transfer, the request records the boot loader gets and what
// the library makes of the response records it reads back. Every expectation is written out
// as the bytes themselves.
#include <cstring>
#include <vector>

#include "fwdl/device_enumeration.h"
#include "fwdl/download_status.h"
#include "fwdl/kwf_file.h"
#include "tests/fwdl/kwf_vectors.h"
#include "tests/fwdl/recording_client.h"
#include "tests/fwdl/tampering_client.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

using Bytes = std::vector<uint8_t>;

// The driver's control codes for unit transfers.
constexpr uint32_t kAsyncWrite = 0x80882C51;
constexpr uint32_t kAsyncRead = 0x80882C56;

// AsyncRequest records: the 48-bit offset as a little-endian 64-bit number, 8 zero bytes.
const Bytes kInfoBlockRequest = {0x00, 0x00, 0x02, 0xC8, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kRequestWindow = {0x00, 0x10, 0x02, 0xC8, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kDataWindow = {0x40, 0x10, 0x02, 0xC8, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kResponseWindow = {0x00, 0x90, 0x02, 0xC8, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// A 64-byte record: `head` and zeros.
Bytes Record(Bytes head) {
  head.resize(64, 0);
  return head;
}

// The transfers of `code` on the window of `address`.
std::vector<Bytes> Transfers(const std::vector<RecordedIo>& calls, uint32_t code,
                             const Bytes& address) {
  std::vector<Bytes> found;
  for (const RecordedIo& call : calls) {
    if (call.code == code && call.input == address) found.push_back(call.output);
  }
  return found;
}

class WireVectorTest : public UnitFixture {
 protected:
  // A protocol-1 Studio, opened and halted in its boot loader, and the hand-made version-0
  // file, over a driver that records or changes what passes.
  KvoFwdlDevice& haltedUnit(std::shared_ptr<pv::VhpdClient> driver) {
    useDriver_.emplace(std::move(driver));
    plug(1);
    EXPECT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
    EXPECT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
    KvoFwdlDevice& unit = *enumeration_.OpenUnit();
    EXPECT_EQ(unit.ResetProt1and2(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_SUCCESS);
    const std::string path = scratch_ / "vector.kwf";
    WriteFile(path, vectors::kVersion0File);
    EXPECT_EQ(file_.Open(path), KVOFWDL_STATUS_SUCCESS);
    return unit;
  }

  std::optional<pv::ScopedClient> useDriver_;
  DeviceEnumeration enumeration_;
  KwfFile file_;
  DownloadStatus progress_;
};

TEST_F(WireVectorTest, AnObjectDownloadSendsTheseRecords) {
  const auto recorder = std::make_shared<RecordingClient>(simbus::makeInprocClient(bus));
  KvoFwdlDevice& unit = haltedUnit(recorder);
  ASSERT_EQ(unit.DownloadObject(OBJ_PROGRAM, file_, progress_), KVOFWDL_STATUS_SUCCESS);
  const std::vector<RecordedIo> calls = recorder->calls();

  // The unit's information block is read whole, 104 bytes.
  const std::vector<Bytes> infoReads = Transfers(calls, kAsyncRead, kInfoBlockRequest);
  ASSERT_FALSE(infoReads.empty());
  EXPECT_EQ(infoReads.front().size(), 104u);

  // Word 0 the unit's protocol, word 4 ID | code << 16 | payload words << 24, the payload.
  const std::vector<Bytes> expectedRequests = {
      // Reset (code 2), ID 1, one word: halt in the boot loader.
      Record({1, 0, 0, 0, 0x01, 0x00, 0x02, 0x01, 1, 0, 0, 0}),
      // Download start (code 4), ID 2, ten words: object type 0, the header's build stamp,
      // SoftwareId, FirmwareVersion, Image1Address, Image1Length and Image1Crc.
      Record({1,    0,    0,    0,    0x02, 0x00, 0x04, 0x0A, 0,    0,    0,    0,
              '2',  '0',  '2',  '3',  '0',  '1',  '0',  '2',  '0',  '3',  '0',  '4',
              '0',  '5',  ' ',  ' ',  3,    0,    0,    0,    0x00, 0x40, 0x01, 0x02,
              0x00, 0x80, 0x00, 0x00, 8,    0,    0,    0,    0x32, 0xE2, 0x5D, 0x00}),
      // Download block (code 5), ID 3, three words: sequence 0, address, size.
      Record({1, 0, 0, 0, 0x03, 0x00, 0x05, 0x03, 0, 0, 0, 0, 0x00, 0x80, 0x00, 0x00, 8, 0, 0, 0}),
      // Download end (code 6), ID 4, no payload.
      Record({1, 0, 0, 0, 0x04, 0x00, 0x06, 0x00}),
  };
  EXPECT_EQ(Transfers(calls, kAsyncWrite, kRequestWindow), expectedRequests);
  // The block's payload goes to the data window before its request.
  EXPECT_EQ(Transfers(calls, kAsyncWrite, kDataWindow),
            std::vector<Bytes>{vectors::kVersion0Image});

  // The unit's answers: bytes 4 to 6 repeat the request's ID and code; the start answers the
  // largest block (2048), the block its sequence number and a status, the end the CRC of what
  // arrived and a status.
  const std::vector<Bytes> responses = Transfers(calls, kAsyncRead, kResponseWindow);
  ASSERT_EQ(responses.size(), 3u);
  const Bytes startAnswer(responses[0].begin() + 4, responses[0].begin() + 12);
  EXPECT_EQ(Bytes(startAnswer.begin(), startAnswer.begin() + 3), (Bytes{0x02, 0x00, 0x04}));
  EXPECT_EQ(Bytes(startAnswer.begin() + 4, startAnswer.end()), (Bytes{0x00, 0x08, 0x00, 0x00}));
  EXPECT_EQ(Bytes(responses[1].begin() + 4, responses[1].begin() + 7), (Bytes{0x03, 0x00, 0x05}));
  EXPECT_EQ(Bytes(responses[1].begin() + 8, responses[1].begin() + 12), (Bytes{0, 0, 0, 0}));
  EXPECT_LT(responses[1][15], 0x80) << "a block status below zero";
  EXPECT_EQ(Bytes(responses[2].begin() + 4, responses[2].begin() + 7), (Bytes{0x04, 0x00, 0x06}));
  EXPECT_EQ(Bytes(responses[2].begin() + 8, responses[2].begin() + 12),
            (Bytes{0x32, 0xE2, 0x5D, 0x00}));
  EXPECT_LT(responses[2][15], 0x80) << "an end status below zero";
}

// Response records handed to the library as bytes, in answer to the download start (ID 2,
// code 4): what it reads from them.
struct ResponseCase {
  const char* name;
  Bytes head;  // the record's first bytes; the rest is zero
  KVOFWDL_STATUS status;
  uint32_t maxBlock;
};

void PrintTo(const ResponseCase& c, std::ostream* out) {
  *out << c.name;
}

class StartResponseTest : public WireVectorTest,
                          public ::testing::WithParamInterface<ResponseCase> {};

TEST_P(StartResponseTest, IsReadByItsBytes) {
  const Bytes record = Record(GetParam().head);
  bool started = false;
  KvoFwdlDevice& unit = haltedUnit(std::make_shared<TamperingClient>(
      simbus::makeInprocClient(bus), [&](uint64_t address, std::span<uint8_t> data, pv::IoResult&) {
        if (started && address == kResponseAddress) std::memcpy(data.data(), record.data(), 64);
      }));
  started = true;
  uint32_t block = 0;
  EXPECT_EQ(unit.DownloadStart(OBJ_PROGRAM, file_, block), GetParam().status);
  EXPECT_EQ(block, GetParam().maxBlock);
}

INSTANTIATE_TEST_SUITE_P(
    Records, StartResponseTest,
    ::testing::Values(
        // Word 0 and byte 7 are not part of the answer.
        ResponseCase{"BlockOf256",
                     {0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x00, 0x04, 0x5A, 0x00, 0x01, 0x00, 0x00},
                     KVOFWDL_STATUS_SUCCESS,
                     256},
        ResponseCase{"ErrorMinus5",
                     {0, 0, 0, 0, 0x02, 0x00, 0x04, 0x00, 0xFB, 0xFF, 0xFF, 0xFF},
                     KVOFWDL_STATUS_DEVICE_ERROR,
                     0},
        ResponseCase{"AnotherId",
                     {0, 0, 0, 0, 0x01, 0x00, 0x04, 0x00, 0x00, 0x01, 0x00, 0x00},
                     KVOFWDL_STATUS_START_TIMEOUT,
                     0},
        ResponseCase{"AnotherCode",
                     {0, 0, 0, 0, 0x02, 0x00, 0x05, 0x00, 0x00, 0x01, 0x00, 0x00},
                     KVOFWDL_STATUS_START_TIMEOUT,
                     0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fwdl::test
