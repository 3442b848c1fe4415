// Transfers that the driver answers late or never: every wait of a boot-loader exchange and of
// a reset ends within the time-out it belongs to, and a download that meets one ends.
#include "fwdl/device_enumeration.h"
#include "fwdl/kwf_file.h"
#include "fwdl/library_api.h"
#include "fwdl/library_state.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;

constexpr uint32_t kNever = 0;            // a dropped transfer has no delay
constexpr uint32_t kLongAfter = 3600000;  // an answer an hour late
constexpr uint32_t kSlack = 20;           // one poll interval

class BoundedWaitTest : public UnitFixture {
 protected:
  KvoFwdlDevice& openUnit(uint32_t protocol) {
    serial_ = plug(protocol);
    EXPECT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
    EXPECT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
    return *enumeration_.OpenUnit();
  }

  // A protocol-1 unit halted in its boot loader, with a version-0 file for it.
  KvoFwdlDevice& haltedUnit() {
    KvoFwdlDevice& unit = openUnit(1);
    EXPECT_EQ(unit.ResetProt1and2(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_SUCCESS);
    EXPECT_EQ(file_.Open(writeKwf(StudioFile(0))), KVOFWDL_STATUS_SUCCESS);
    return unit;
  }

  // The transfer after `skip` others of `kind` is answered `delayMs` late, or never.
  void fault(TransferKind kind, uint32_t skip, uint32_t delayMs) {
    const FaultAction action = delayMs == kNever ? FaultAction::Drop : FaultAction::Delay;
    bus->addFault({.action = action,
                   .kind = kind,
                   .serial = serial_,
                   .skip = skip,
                   .count = 1,
                   .status = 0,
                   .delayMs = delayMs});
  }

  uint32_t since(uint32_t start) const { return clock.tickCount() - start; }

  DeviceEnumeration enumeration_;
  KwfFile file_;
  uint32_t serial_ = 0;
};

enum class Exchange { Start, Block, End };

struct ExchangeCase {
  const char* name;
  Exchange exchange;
  TransferKind kind;  // the transfer answered late or never: the request write, the block
                      // data or the response read
  uint32_t delayMs;
  KVOFWDL_STATUS status;
  uint32_t limitMs;  // the time-out of the exchange
};

class ExchangeWaitTest : public BoundedWaitTest,
                         public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(ExchangeWaitTest, EndsWithinTheTimeOutOfItsRequest) {
  const ExchangeCase& c = GetParam();
  KvoFwdlDevice& unit = haltedUnit();
  uint32_t block = 0;
  if (c.exchange != Exchange::Start) {
    ASSERT_EQ(unit.DownloadStart(OBJ_PROGRAM, file_, block), KVOFWDL_STATUS_SUCCESS);
  }
  fault(c.kind, 0, c.delayMs);
  const uint32_t start = clock.tickCount();
  const std::vector<uint8_t> data(16, 0x5A);
  uint32_t crc = 0;
  switch (c.exchange) {
    case Exchange::Start:
      EXPECT_EQ(unit.DownloadStart(OBJ_PROGRAM, file_, block), c.status);
      break;
    case Exchange::Block:
      EXPECT_EQ(unit.DownloadBlock(0, 0x400C0080, data.data(), 16), c.status);
      break;
    case Exchange::End:
      EXPECT_EQ(unit.DownloadEnd(crc), c.status);
      break;
  }
  EXPECT_LE(since(start), c.limitMs + kSlack);
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, ExchangeWaitTest,
    ::testing::Values(
        ExchangeCase{"StartRequestNeverAnswered", Exchange::Start, TransferKind::DownloadStart,
                     kNever, KVOFWDL_STATUS_DEVICE_WRITE_FAILED, 40000},
        ExchangeCase{"StartResponseNeverAnswered", Exchange::Start, TransferKind::BlockRead, kNever,
                     KVOFWDL_STATUS_START_TIMEOUT, 40000},
        ExchangeCase{"StartResponseAnHourLate", Exchange::Start, TransferKind::BlockRead,
                     kLongAfter, KVOFWDL_STATUS_START_TIMEOUT, 40000},
        ExchangeCase{"BlockDataNeverAnswered", Exchange::Block, TransferKind::BlockWrite, kNever,
                     KVOFWDL_STATUS_DEVICE_WRITE_FAILED, 1000},
        ExchangeCase{"BlockDataAnHourLate", Exchange::Block, TransferKind::BlockWrite, kLongAfter,
                     KVOFWDL_STATUS_DEVICE_WRITE_FAILED, 1000},
        ExchangeCase{"BlockRequestNeverAnswered", Exchange::Block, TransferKind::DownloadBlock,
                     kNever, KVOFWDL_STATUS_DEVICE_WRITE_FAILED, 1000},
        ExchangeCase{"BlockResponseNeverAnswered", Exchange::Block, TransferKind::BlockRead, kNever,
                     KVOFWDL_STATUS_BLOCK_TIMEOUT, 1000},
        ExchangeCase{"EndResponseNeverAnswered", Exchange::End, TransferKind::BlockRead, kNever,
                     KVOFWDL_STATUS_END_TIMEOUT, 70000}),
    [](const auto& info) { return std::string(info.param.name); });

struct ResetWaitCase {
  const char* name;
  uint32_t protocol;
  TransferKind kind;
  uint32_t skip;
  KVOFWDL_STATUS status;
  uint32_t limitMs;  // settling pause and reset time-out
};

class ResetWaitTest : public BoundedWaitTest,
                      public ::testing::WithParamInterface<ResetWaitCase> {};

TEST_P(ResetWaitTest, EndsWithinTheResetTimeOut) {
  const ResetWaitCase& c = GetParam();
  KvoFwdlDevice& unit = openUnit(c.protocol);
  fault(c.kind, c.skip, kNever);
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(c.protocol == 3 ? unit.ResetProt3(RESET_HALT_IN_BOOTLOADER)
                            : unit.ResetProt1and2(RESET_HALT_IN_BOOTLOADER),
            c.status);
  EXPECT_LE(since(start), c.limitMs + 100 + kSlack);
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, ResetWaitTest,
    ::testing::Values(
        ResetWaitCase{"Prot1RequestNeverAnswered", 1, TransferKind::Reset, 0,
                      KVOFWDL_STATUS_DEVICE_WRITE_FAILED, 60000},
        ResetWaitCase{"Prot1InformationNeverAnswered", 1, TransferKind::BlockRead, 0,
                      KVOFWDL_STATUS_RESET_TIMEOUT, 2000 + 60000},
        ResetWaitCase{"Prot1ForcedInformationNeverAnswered", 1, TransferKind::BlockRead, 1,
                      KVOFWDL_STATUS_DEVICE_READ_FAILED, 2000 + 60000},
        // The unit has left at once: the first read to meet the fault is the reopened one.
        ResetWaitCase{"Prot3ReopenedInformationNeverAnswered", 3, TransferKind::BlockRead, 0,
                      KVOFWDL_STATUS_DEVICE_READ_FAILED, 500 + 60000}),
    [](const auto& info) { return std::string(info.param.name); });

// A protocol-3 unit that ignores the reset and leaves the bus only in the last poll of a limit
// that is not a multiple of the poll interval: nothing remains for the reopen.
TEST_F(BoundedWaitTest, NothingRemainsToReopenAUnitThatLeavesAtTheLastPoll) {
  KvoFwdlDevice& unit = openUnit(3);
  ASSERT_EQ(unit.SetTimeout(TIMEOUT_RESET, 60050), KVOFWDL_STATUS_SUCCESS);
  bus->addFault({.action = FaultAction::NoAnswer, .kind = TransferKind::Reset, .serial = serial_});
  bus->addFault({.action = FaultAction::Remove,
                 .kind = TransferKind::BlockRead,
                 .serial = serial_,
                 .skip = 600});
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(unit.ResetProt3(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_RESET_TIMEOUT);
  EXPECT_LE(since(start), 500u + 60100u + 50u);
  EXPECT_TRUE(logged("ERROR: reopen failed, err=2. Timeout=0 ms"));
}

// The worker held for good by an unanswered response: the library refused every change and
// could not be unloaded.
TEST_F(BoundedWaitTest, ADownloadWhoseResponseNeverComesEndsAndFreesTheLibrary) {
  serial_ = plug(1);
  uint32_t count = 0;
  ASSERT_EQ(api::EnumerateDevices(pv::kInterfaceGuidText, &count), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  // Two reads of the information block after the reset, then the download-start response.
  fault(TransferKind::BlockRead, 2, kNever);
  ASSERT_EQ(api::StartDownload(writeKwf(StudioFile(0)).c_str(), 0), KVOFWDL_STATUS_SUCCESS);
  WaitForDownload(Library().downloader);
  uint32_t bytes = 0;
  uint32_t total = 0;
  EXPECT_EQ(api::GetDownloadStatus(&bytes, &total), KVOFWDL_STATUS_START_TIMEOUT);
  EXPECT_EQ(api::CloseDevice(), KVOFWDL_STATUS_SUCCESS);
}

}  // namespace
}  // namespace fwdl::test
