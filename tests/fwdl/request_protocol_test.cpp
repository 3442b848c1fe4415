// The boot loader's request/response protocol: request ids and codes, polling the response
// window, time-outs, and the download primitives on top.
#include <cstring>

#include "fwdl/device_enumeration.h"
#include "fwdl/download_status.h"
#include "fwdl/kwf_file.h"
#include "tests/fwdl/tampering_client.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;

// A unit opened and halted in its boot loader, with a version-0 file for it.
class RequestProtocolTest : public UnitFixture {
 protected:
  // Plugs a unit of `protocol` with its boot loader prepared by `prepare`, opens and halts it.
  KvoFwdlDevice& haltedUnit(uint32_t protocol = 1,
                            const std::function<void(simbus::SimBootloader&)>& prepare = {}) {
    serial_ = plug(protocol);
    if (prepare) bus->withUnit(serial_, [&](simbus::SimUnit& u) { prepare(u.bootloader()); });
    EXPECT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
    EXPECT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
    KvoFwdlDevice& unit = *enumeration_.OpenUnit();
    EXPECT_EQ(protocol == 3 ? unit.ResetProt3(RESET_HALT_IN_BOOTLOADER)
                            : unit.ResetProt1and2(RESET_HALT_IN_BOOTLOADER),
              KVOFWDL_STATUS_SUCCESS);
    return unit;
  }

  KwfFile& openFile(const tools::kwf::KwfSpec& spec) {
    EXPECT_EQ(file_.Open(writeKwf(spec)), KVOFWDL_STATUS_SUCCESS);
    return file_;
  }

  void fault(FaultAction action, TransferKind kind, uint32_t skip = 0, uint32_t status = 0,
             uint32_t delayMs = 0) {
    bus->addFault({.action = action,
                   .kind = kind,
                   .serial = serial_,
                   .skip = skip,
                   .count = 1,
                   .status = status,
                   .delayMs = delayMs});
  }

  uint64_t writes() { return bus->transferCounts(serial_)->blockWrite; }

  // The code of the request the response window answers last.
  uint32_t lastAnsweredCode(KvoFwdlDevice& unit) {
    BootloaderRecord response{};
    EXPECT_EQ(unit.Read(kResponseAddress, response.data(), response.size(), kWaitForever),
              platform::win_error::Success);
    return response[6];
  }

  DeviceEnumeration enumeration_;
  KwfFile file_;
  DownloadStatus progress_;
  uint32_t serial_ = 0;
};

TEST_F(RequestProtocolTest, AStartAnswersTheLargestBlockTheUnitTakes) {
  KvoFwdlDevice& unit = haltedUnit();
  uint32_t block = 0;
  ASSERT_EQ(unit.DownloadStart(OBJ_PROGRAM, openFile(StudioFile(0)), block),
            KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(block, 0x800u);
}

TEST_F(RequestProtocolTest, AnyWordZeroOfAResponseIsAccepted) {
  haltedUnit();
  pv::ScopedClient odd(std::make_shared<TamperingClient>(
      simbus::makeInprocClient(bus), [](uint64_t address, std::span<uint8_t> data, auto&) {
        if (address == kResponseAddress) std::memcpy(data.data(), "\xDE\xAD\xBE\xEF", 4);
      }));
  enumeration_.CloseDevice();
  ASSERT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  uint32_t block = 0;
  EXPECT_EQ(enumeration_.OpenUnit()->DownloadStart(OBJ_PROGRAM, openFile(StudioFile(0)), block),
            KVOFWDL_STATUS_SUCCESS);
}

struct StartAnswerCase {
  const char* name;
  uint32_t answer;  // the unit's word 8
  KVOFWDL_STATUS status;
  const char* entry;
};

class StartAnswerTest : public RequestProtocolTest,
                        public ::testing::WithParamInterface<StartAnswerCase> {};

TEST_P(StartAnswerTest, IsABlockSizeOrAnError) {
  KvoFwdlDevice& unit = haltedUnit();
  fault(FaultAction::Error, TransferKind::DownloadStart, 0, GetParam().answer);
  uint32_t block = 0;
  EXPECT_EQ(unit.DownloadStart(OBJ_PROGRAM, openFile(StudioFile(0)), block), GetParam().status);
  EXPECT_TRUE(logged(GetParam().entry)) << ::testing::PrintToString(entries());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, StartAnswerTest,
    ::testing::Values(StartAnswerCase{"Minus5", 0xFFFFFFFB, KVOFWDL_STATUS_DEVICE_ERROR,
                                      "ERROR: DownloadStart: device responds with error code -5"},
                      StartAnswerCase{"Zero", 0, KVOFWDL_STATUS_DEVICE_ERROR,
                                      "ERROR: DownloadStart: device accepts blocks of 0 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RequestProtocolTest, AnUnknownCodeFailsWithoutWritingOrUsingAnId) {
  logData();
  KvoFwdlDevice& unit = haltedUnit();
  const std::string resetId = "DATA: ReadResponse: response (ID = 2) accepted.";
  const uint64_t before = writes();
  BootloaderRequest request{};
  EXPECT_EQ(unit.WriteRequest(3, request), KVOFWDL_STATUS_DEVICE_WRITE_FAILED);
  EXPECT_EQ(writes(), before);
  EXPECT_TRUE(logged("ERROR: WriteRequest: unexpected request command code 0x03"));
  uint32_t block = 0;
  ASSERT_EQ(unit.DownloadStart(OBJ_PROGRAM, openFile(StudioFile(0)), block),
            KVOFWDL_STATUS_SUCCESS);
  EXPECT_TRUE(logged(resetId)) << "the reset took id 1, the start the next";
}

TEST_F(RequestProtocolTest, AnAnswerToAnOlderRequestIsIgnoredUntilTheTimeOut) {
  KvoFwdlDevice& unit = haltedUnit();
  fault(FaultAction::NoAnswer, TransferKind::DownloadBlock, 1);
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(unit.DownloadObject(OBJ_PROGRAM, openFile(StudioFile(0)), progress_),
            KVOFWDL_STATUS_BLOCK_TIMEOUT);
  EXPECT_TRUE(logged("INFO: ReadResponse: ignore received response of command 0x05 (ID = 3)"));
  EXPECT_TRUE(logged(
      "ERROR: ReadResponse: Read with command 0x05 failed with timeout for given timeout period "
      "of 1000 ms."));
  EXPECT_GE(clock.tickCount() - start, 1000u);
  EXPECT_EQ(progress_.BytesDownloaded(), 2048u);
  EXPECT_EQ(lastAnsweredCode(unit), REQ_DOWNLOAD_END) << "a failed block ends the download";
}

TEST_F(RequestProtocolTest, ALateAnswerWithinTheTimeOutIsTaken) {
  KvoFwdlDevice& unit = haltedUnit();
  fault(FaultAction::Late, TransferKind::DownloadStart, 0, 0, 30000);
  uint32_t block = 0;
  EXPECT_EQ(unit.DownloadStart(OBJ_PROGRAM, openFile(StudioFile(0)), block),
            KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(unit.SetTimeout(TIMEOUT_DOWNLOAD_END, 100), KVOFWDL_STATUS_SUCCESS);
  fault(FaultAction::Late, TransferKind::DownloadEnd, 0, 0, 500);
  uint32_t crc = 0;
  EXPECT_EQ(unit.DownloadEnd(crc), KVOFWDL_STATUS_END_TIMEOUT);
}

TEST_F(RequestProtocolTest, TheTimeOutCountsAcrossTheWrapOfTheTickCounter) {
  KvoFwdlDevice& unit = haltedUnit();
  clock.set(0xFFFFFF00);
  fault(FaultAction::NoAnswer, TransferKind::DownloadStart);
  uint32_t block = 0;
  EXPECT_EQ(unit.DownloadStart(OBJ_PROGRAM, openFile(StudioFile(0)), block),
            KVOFWDL_STATUS_START_TIMEOUT);
  const uint32_t waited = clock.tickCount() - 0xFFFFFF00;
  EXPECT_GE(waited, 40000u);
  EXPECT_LT(waited, 40040u);
}

TEST_F(RequestProtocolTest, ARemovedUnitEndsThePollingAtOnce) {
  KvoFwdlDevice& unit = haltedUnit();
  fault(FaultAction::Remove, TransferKind::BlockRead);
  const uint32_t start = clock.tickCount();
  uint32_t block = 0;
  EXPECT_EQ(unit.DownloadStart(OBJ_PROGRAM, openFile(StudioFile(0)), block),
            KVOFWDL_STATUS_DEVICE_READ_FAILED);
  EXPECT_EQ(clock.tickCount(), start);
  EXPECT_TRUE(logged("ERROR: ReadResponse: Read failed with KVO_STATUS = 0xE0000050"));
}

TEST_F(RequestProtocolTest, AnImageLargerThanTheUnitTakesIsRefusedBeforeAnythingIsSent) {
  KvoFwdlDevice& unit = haltedUnit(1, [](simbus::SimBootloader& b) { b.setMaxImageLength(9999); });
  const uint64_t before = writes();
  EXPECT_EQ(unit.DownloadObject(OBJ_PROGRAM, openFile(StudioFile(0)), progress_),
            KVOFWDL_STATUS_IMAGE_TOO_LARGE);
  EXPECT_EQ(writes(), before);
  EXPECT_TRUE(logged(
      "ERROR: DownloadObject: KWF file image is too large ->lenght = 10000, max length accepted "
      "by the device = 9999."));
}

TEST_F(RequestProtocolTest, AnObjectOfWholeBlocksEndsWithAFullBlock) {
  KvoFwdlDevice& unit = haltedUnit();
  tools::kwf::KwfSpec spec = StudioFile(0);
  spec.image1 = tools::kwf::GeneratedPayload(3 * 2048, 9);
  ASSERT_EQ(unit.DownloadObject(OBJ_PROGRAM, openFile(spec), progress_), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(progress_.BytesDownloaded(), 3u * 2048);
  size_t blocks = 0;
  for (const std::string& entry : entries()) {
    if (entry.starts_with("INFO: executing download block:")) {
      ++blocks;
      EXPECT_NE(entry.find("block size = 2048,"), std::string::npos) << entry;
    }
  }
  EXPECT_EQ(blocks, 3u);
}

struct ObjectCase {
  const char* name;
  uint32_t objectType;
  std::function<void(tools::kwf::KwfSpec&)> change;
  KVOFWDL_STATUS status;
};

class ObjectTest : public RequestProtocolTest, public ::testing::WithParamInterface<ObjectCase> {};

TEST_P(ObjectTest, NeedsItsObjectInTheFile) {
  KvoFwdlDevice& unit = haltedUnit();
  tools::kwf::KwfSpec spec = StudioFile(0);
  GetParam().change(spec);
  EXPECT_EQ(unit.DownloadObject(GetParam().objectType, openFile(spec), progress_),
            GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Objects, ObjectTest,
    ::testing::Values(
        ObjectCase{"Program", OBJ_PROGRAM, [](auto&) {}, KVOFWDL_STATUS_SUCCESS},
        ObjectCase{"CnE", OBJ_CNE, [](auto&) {}, KVOFWDL_STATUS_SUCCESS},
        ObjectCase{"Bootloader", OBJ_BOOTLOADER, [](auto&) {}, KVOFWDL_STATUS_SUCCESS},
        ObjectCase{"NoImage", OBJ_PROGRAM, [](auto& s) { s.image1.reset(); },
                   KVOFWDL_STATUS_NO_IMAGE_DATA},
        ObjectCase{"EmptyImage", OBJ_PROGRAM, [](auto& s) { s.image1.emplace(); },
                   KVOFWDL_STATUS_NO_IMAGE_DATA},
        ObjectCase{"NoCnE", OBJ_CNE, [](auto& s) { s.cnE.reset(); }, KVOFWDL_STATUS_NO_CNE_DATA},
        ObjectCase{"EmptyCnE", OBJ_CNE, [](auto& s) { s.cnE.emplace(); },
                   KVOFWDL_STATUS_NO_CNE_DATA},
        ObjectCase{"NotImplemented", 2, [](auto&) {}, KVOFWDL_STATUS_UNEXPECTED},
        ObjectCase{"Unexpected", 6, [](auto&) {}, KVOFWDL_STATUS_UNEXPECTED},
        ObjectCase{"BadImageCrc", OBJ_PROGRAM, [](auto& s) { s.image1Crc = 1; },
                   KVOFWDL_STATUS_IMAGE_CRC_ERROR}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RequestProtocolTest, ACrcOtherThanTheFilesEndsTheObjectWith34) {
  KvoFwdlDevice& unit = haltedUnit();
  fault(FaultAction::WrongCrc, TransferKind::DownloadEnd);
  EXPECT_EQ(unit.DownloadObject(OBJ_PROGRAM, openFile(StudioFile(0)), progress_),
            KVOFWDL_STATUS_DEVICE_CRC_MISMATCH);
}

TEST_F(RequestProtocolTest, ABlockAnsweredForAnotherSequenceNumberIsUnexpected) {
  haltedUnit();
  pv::ScopedClient odd(std::make_shared<TamperingClient>(
      simbus::makeInprocClient(bus), [](uint64_t address, std::span<uint8_t> data, auto&) {
        if (address == kResponseAddress && data[6] == REQ_DOWNLOAD_BLOCK) data[8] ^= 1;
      }));
  enumeration_.CloseDevice();
  ASSERT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(
      enumeration_.OpenUnit()->DownloadObject(OBJ_PROGRAM, openFile(StudioFile(0)), progress_),
      KVOFWDL_STATUS_UNEXPECTED);
  EXPECT_TRUE(logged(
      "ERROR: DownloadBlock: request sequence number 0 differs from response sequence number 1"));
}

TEST_F(RequestProtocolTest, AShortReadIsALengthMismatchAndLeavesTheBufferZero) {
  haltedUnit();
  pv::ScopedClient shortReads(std::make_shared<TamperingClient>(
      simbus::makeInprocClient(bus), [](uint64_t address, std::span<uint8_t>, pv::IoResult& r) {
        if (address == kResponseAddress) r.bytesReturned -= 4;
      }));
  enumeration_.CloseDevice();
  ASSERT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  BootloaderRecord response;
  response.fill(0xAA);
  EXPECT_EQ(enumeration_.OpenUnit()->Read(kResponseAddress, response.data(), response.size(),
                                          kWaitForever),
            pv::KVO_STATUS_LENGTH_MISMATCH);
  EXPECT_EQ(response, BootloaderRecord{});
  EXPECT_TRUE(logged("ERROR: Read: AsyncReadSync: bytes to read = 64, bytes received = 60."));
  KvoFwdlDevice closed;
  EXPECT_EQ(closed.Read(kResponseAddress, response.data(), response.size(), kWaitForever),
            pv::KVO_STATUS_NOT_OPEN);
}

TEST_F(RequestProtocolTest, TimeOutsAreSixAndProgramGuidAndPersistentParametersAreAnswered) {
  KvoFwdlDevice& unit = haltedUnit();
  EXPECT_EQ(unit.SetTimeout(5, 1), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(unit.Timeout(5), 1u);
  EXPECT_EQ(unit.SetTimeout(6, 1000), KVOFWDL_STATUS_UNKNOWN_TIMEOUT_PARAMETER);
  EXPECT_TRUE(logged("ERROR: unknown timeout parameter"));
  EXPECT_EQ(unit.ProgramGuid(1, 2), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(unit.InitPersParams(), KVOFWDL_STATUS_SUCCESS);
  uint32_t generation = 0;
  EXPECT_EQ(unit.GetResetGenCount(generation), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(generation, bus->generation());
  KvoFwdlDevice closed;
  EXPECT_EQ(closed.ProgramGuid(1, 2), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_EQ(closed.GetResetGenCount(generation), KVOFWDL_STATUS_DEVICE_READ_FAILED);
}

}  // namespace
}  // namespace fwdl::test
