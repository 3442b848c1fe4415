// Whole downloads on the worker thread: both boot-loader protocols to success and to a restart
// wanted, the shipped files, and how failures end them.
#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;

class DownloaderTest : public UnitFixture {
 protected:
  // Opens the unit `serial` (the only one) and downloads `path` to it; the final status.
  KVOFWDL_STATUS download(const std::string& path, uint32_t flags = 0,
                          uint32_t mode = MODE_PROGRAM) {
    EXPECT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
    EXPECT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
    const KVOFWDL_STATUS started =
        downloader_.StartDownload(path, enumeration_.OpenUnit(), mode, flags);
    if (started != KVOFWDL_STATUS_SUCCESS) return started;
    WaitForDownload(downloader_);
    return downloader_.Status().Status();
  }

  DeviceEnumeration enumeration_;
  KvoFwdlDownloader downloader_{enumeration_};
};

struct FullCase {
  const char* name;
  uint32_t protocol;
  uint32_t installFlags;
  KVOFWDL_STATUS status;
};

class FullDownloadTest : public DownloaderTest, public ::testing::WithParamInterface<FullCase> {};

TEST_P(FullDownloadTest, LeavesTheUnitRunningItsNewFirmware) {
  const FullCase& c = GetParam();
  const uint32_t serial = plug(c.protocol);
  bus->setInstallFlags(c.installFlags);
  bus->setStreaming(true);
  const tools::kwf::KwfSpec spec = StudioFile(c.protocol == 3 ? 1 : 0);
  const std::string path = writeKwf(spec);
  EXPECT_EQ(download(path), c.status);
  EXPECT_EQ(bus->units()[0].firmware, kNewFirmware);
  EXPECT_FALSE(unitState(serial).bootloader().halted());
  EXPECT_TRUE(streaming());
  EXPECT_EQ(downloader_.Mode(), MODE_NONE);
  const uint32_t total = c.protocol == 3 ? static_cast<uint32_t>(tools::kwf::BuildKwf(spec)->size())
                                         : static_cast<uint32_t>(spec.image1->size());
  EXPECT_EQ(downloader_.Status().TotalBytes(), total);
  EXPECT_EQ(downloader_.Status().BytesDownloaded(), total);
  EXPECT_EQ(logged("INFO: ]KvoFwdlDownloader::Download"), c.status == KVOFWDL_STATUS_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, FullDownloadTest,
    ::testing::Values(FullCase{"Prot1", 1, 0, KVOFWDL_STATUS_SUCCESS},
                      FullCase{"Prot2", 2, 0, KVOFWDL_STATUS_SUCCESS},
                      FullCase{"Prot3", 3, 0, KVOFWDL_STATUS_SUCCESS},
                      FullCase{"Prot1RestartWanted", 1, 0x100, KVOFWDL_STATUS_REBOOT_REQUIRED},
                      FullCase{"Prot3RestartWanted", 3, 0x80, KVOFWDL_STATUS_REBOOT_REQUIRED}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloaderTest, TheShippedStudioFileGoesWholeToAProtocol3Unit) {
  plug(3);
  EXPECT_EQ(download(STUDIO_KWF), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(downloader_.Status().TotalBytes(), 1351680u);
  EXPECT_EQ(downloader_.Status().BytesDownloaded(), 1351680u);
  EXPECT_EQ(bus->units()[0].firmware, 0x020110CCu);  // 2.1.4300
}

TEST_F(DownloaderTest, TheCnEBlockGoesAlongWhenTheUnitsSoftwareIdDiffers) {
  const uint32_t serial = plug(3);
  bus->withUnit(serial, [](simbus::SimUnit& u) { u.setSoftwareId(0); });
  EXPECT_EQ(download(writeKwf(StudioFile(1))), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(unitState(serial).softwareId(), 3u);
  EXPECT_EQ(count("INFO: executing download start..."), 2u);
}

TEST_F(DownloaderTest, AlwaysCnESendsBothObjectsOfAVersion0File) {
  const uint32_t serial = plug(1);
  bus->withUnit(serial, [](simbus::SimUnit& u) { u.setSoftwareId(9); });
  EXPECT_EQ(download(writeKwf(StudioFile(0)), KVOFWDL_START_ALWAYS_CNE, MODE_PROGRAM_AND_CNE),
            KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(unitState(serial).softwareId(), 3u);
  EXPECT_EQ(downloader_.Status().TotalBytes(), 10000u + 700u);
}

TEST_F(DownloaderTest, AMissingCnEBlockEndsTheDownloadBeforeTheUnitIsTouched) {
  const uint32_t serial = plug(3);
  bus->withUnit(serial, [](simbus::SimUnit& u) { u.setSoftwareId(0); });
  tools::kwf::KwfSpec spec = StudioFile(1);
  spec.cnE.reset();
  const std::string path = writeKwf(spec);
  ASSERT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  const auto before = bus->transferCounts(serial);
  ASSERT_EQ(downloader_.StartDownload(path, enumeration_.OpenUnit(), MODE_PROGRAM, 0),
            KVOFWDL_STATUS_SUCCESS);
  WaitForDownload(downloader_);
  EXPECT_EQ(downloader_.Status().Status(), KVOFWDL_STATUS_NO_CNE_DATA);
  EXPECT_EQ(bus->transferCounts(serial), before);
  EXPECT_FALSE(logged("INFO: stopping device..."));
}

TEST_F(DownloaderTest, AFileForAnotherProtocolIsRefused) {
  plug(1);
  EXPECT_EQ(download(writeKwf(StudioFile(1))), KVOFWDL_STATUS_INCOMPATIBLE_HARDWARE);
  EXPECT_TRUE(logged("ERROR: download aborted due to incompatible hardware"));
}

TEST_F(DownloaderTest, ADowngradeIsNoReasonToStop) {
  plug(3, 0x03000000);
  EXPECT_EQ(download(writeKwf(StudioFile(1))), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bus->units()[0].firmware, kNewFirmware);
}

TEST_F(DownloaderTest, NeitherAMissingFileNorAMissingUnitStartsAWorker) {
  plug(3);
  ASSERT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(downloader_.StartDownload(scratch_ / "missing.kwf", nullptr, MODE_PROGRAM, 0),
            KVOFWDL_STATUS_FILE_NOT_FOUND);
  EXPECT_EQ(downloader_.StartDownload(writeKwf(StudioFile(1)), nullptr, MODE_PROGRAM, 0),
            KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_FALSE(downloader_.IsDownloadRunning());
  EXPECT_EQ(downloader_.Status().Status(), KVOFWDL_STATUS_SUCCESS);
}

TEST_F(DownloaderTest, ASecondStartWhileOneRunsChangesNothing) {
  plug(3);
  GatedClock gated;
  platform::ScopedClock useGated(gated);
  gated.holdAt(3000);
  const std::string path = writeKwf(StudioFile(1));
  ASSERT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(downloader_.StartDownload(path, enumeration_.OpenUnit(), MODE_PROGRAM, 0),
            KVOFWDL_STATUS_SUCCESS);
  gated.waitUntilHeld();
  EXPECT_EQ(downloader_.StartDownload(path, enumeration_.OpenUnit(), MODE_PROGRAM, 0),
            KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS);
  EXPECT_EQ(downloader_.Start(), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(downloader_.Status().Status(), KVOFWDL_STATUS_DOWNLOAD_RUNNING);
  gated.release();
  WaitForDownload(downloader_);
  EXPECT_EQ(downloader_.Status().Status(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_TRUE(logged("ERROR: Start: thread is already running"));
}

// A protocol-3 unit may not answer the first block in time; later blocks must succeed.
struct BlockFaultCase {
  const char* name;
  FaultAction action;
  uint32_t skip;  // blocks before the one affected
  uint32_t delayMs;
  KVOFWDL_STATUS status;
};

class StreamBlockTest : public DownloaderTest,
                        public ::testing::WithParamInterface<BlockFaultCase> {};

TEST_P(StreamBlockTest, OnlyTheFirstBlockMayFail) {
  const BlockFaultCase& c = GetParam();
  const uint32_t serial = plug(3);
  bus->addFault({.action = c.action,
                 .kind = TransferKind::DownloadBlock,
                 .serial = serial,
                 .skip = c.skip,
                 .count = 1,
                 .status = 0xFFFFFFF0,
                 .delayMs = c.delayMs});
  EXPECT_EQ(download(writeKwf(StudioFile(1))), c.status);
  if (c.status != KVOFWDL_STATUS_SUCCESS) {
    // The second block starts after the unit's 2048-byte first one.
    char entry[96];
    std::snprintf(entry, sizeof entry,
                  "ERROR: download data block 1 failed: status 0x%08X, offset 0x800", c.status);
    EXPECT_TRUE(logged(entry)) << entry;
    EXPECT_EQ(bus->units()[0].firmware, kUnitFirmware);
    EXPECT_TRUE(unitState(serial).bootloader().halted()) << "left in its boot loader";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, StreamBlockTest,
    ::testing::Values(
        BlockFaultCase{"FirstLate", FaultAction::Late, 0, 1500, KVOFWDL_STATUS_SUCCESS},
        BlockFaultCase{"FirstRefused", FaultAction::Error, 0, 0, KVOFWDL_STATUS_DEVICE_ERROR},
        BlockFaultCase{"SecondRefused", FaultAction::Error, 1, 0, KVOFWDL_STATUS_DEVICE_ERROR},
        BlockFaultCase{"SecondLate", FaultAction::Late, 1, 1500, KVOFWDL_STATUS_BLOCK_TIMEOUT}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fwdl::test
