// What a download makes sure of before it touches the unit (the whole file checks out) and
// after it has ended (the unit runs the file's firmware, its audio devices run again).
#include <regex>
#include <sstream>

#include "fwdl/library_api.h"
#include "fwdl/library_state.h"
#include "platform/unit_update_lock.h"
#include "platform/update_history.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

class DownloadGuardsTest : public UnitFixture {
 protected:
  void openUnit() {
    uint32_t units = 0;
    ASSERT_EQ(api::EnumerateDevices(pv::kInterfaceGuidText, &units), KVOFWDL_STATUS_SUCCESS);
    ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  }
  // Downloads StudioFile(1) to the open protocol-3 unit; the final status.
  KVOFWDL_STATUS download() {
    const std::string path = writeKwf(StudioFile(1));
    if (const KVOFWDL_STATUS started = api::StartDownload(path.c_str(), 0);
        started != KVOFWDL_STATUS_SUCCESS) {
      return started;
    }
    return finalStatus();
  }
  KVOFWDL_STATUS finalStatus() {
    WaitForDownload(Library().downloader);
    uint32_t bytes = 0;
    uint32_t total = 0;
    return api::GetDownloadStatus(&bytes, &total);
  }
};

// A damaged file: cut off, or one byte of an object changed behind a header that still checks
// out. Both versions name the CRCs of both objects.
struct DamagedFile {
  const char* what;
  uint32_t version;
  uint32_t keepBytes;  // 0: the whole file
  uint32_t flipAt;     // 0: nothing changed
  KVOFWDL_STATUS status;
  const char* error;
};

// StudioFile: the header (96 or 112 bytes), 12 bytes of info text, a 10000-byte image 1, a
// 700-byte CnE block, 4 bytes of padding.
const DamagedFile kDamaged[] = {
    {"v1 cut in image 1", 1, 112 + 12 + 5000, 0, KVOFWDL_STATUS_FILE_READ_ERROR,
     "reading image 1 of file '%s' failed"},
    {"v1 cut in the CnE block", 1, 112 + 12 + 10000 + 300, 0, KVOFWDL_STATUS_FILE_READ_ERROR,
     "reading CnE data of file '%s' failed"},
    {"v0 cut in image 1", 0, 96 + 12 + 5000, 0, KVOFWDL_STATUS_FILE_READ_ERROR,
     "reading image 1 of file '%s' failed"},
    {"v1 image 1 changed", 1, 0, 112 + 12 + 4321, KVOFWDL_STATUS_IMAGE_CRC_ERROR,
     "Unexpected crc value of image 1 in file '%s'"},
    {"v1 CnE changed", 1, 0, 112 + 12 + 10000 + 7, KVOFWDL_STATUS_CNE_CRC_ERROR,
     "Unexpected crc value of CnE data in file '%s'"},
    {"v0 image 1 changed", 0, 0, 96 + 12 + 1, KVOFWDL_STATUS_IMAGE_CRC_ERROR,
     "Unexpected crc value of image 1 in file '%s'"},
    {"v0 CnE changed", 0, 0, 96 + 12 + 10000 + 699, KVOFWDL_STATUS_CNE_CRC_ERROR,
     "Unexpected crc value of CnE data in file '%s'"},
};

TEST_F(DownloadGuardsTest, ADamagedFileIsTurnedDownEverywhereAndTheUnitIsNeverTouched) {
  for (const DamagedFile& damaged : kDamaged) {
    SCOPED_TRACE(damaged.what);
    const uint32_t serial = plug(damaged.version == 1 ? 3 : 2);
    std::vector<uint8_t> bytes = tools::kwf::BuildKwf(StudioFile(damaged.version)).value();
    if (damaged.keepBytes != 0) bytes.resize(damaged.keepBytes);
    if (damaged.flipAt != 0) bytes.at(damaged.flipAt) ^= 0x5A;
    const std::string path = scratch_ / "damaged.kwf";
    WriteFile(path, bytes);
    char error[256];
    std::snprintf(error, sizeof error, damaged.error, path.c_str());

    KVOFWDL_KWF_FILE_INFO info{};
    EXPECT_EQ(api::GetKwfFileInfo(path.c_str(), &info), damaged.status);
    openUnit();
    uint32_t conditions = 0;
    EXPECT_EQ(api::CheckDownload(path.c_str(), &conditions), damaged.status);
    EXPECT_EQ(conditions, 0xFFFFFFFFu);
    EXPECT_EQ(api::StartDownload(path.c_str(), KVOFWDL_START_ALWAYS_CNE), damaged.status);
    EXPECT_FALSE(Library().downloader.IsDownloadRunning());
    EXPECT_TRUE(logged(std::string("ERROR: ") + error));
    EXPECT_FALSE(logged("INFO: stopping device..."));
    EXPECT_FALSE(unitState(serial).bootloader().halted());
    EXPECT_EQ(unitState(serial).firmware(), kUnitFirmware);

    ASSERT_EQ(api::CloseDevice(), KVOFWDL_STATUS_SUCCESS);
    bus->unplug(serial);
  }
}

TEST_F(DownloadGuardsTest, TheShippedFileCutOffIsTurnedDown) {
  const uint32_t serial = plug(3);
  std::vector<uint8_t> bytes(1351680);
  {
    FILE* shipped = std::fopen(STUDIO_KWF, "rb");
    ASSERT_NE(shipped, nullptr);
    ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), shipped), bytes.size());
    std::fclose(shipped);
  }
  bytes.resize(700000);
  const std::string path = scratch_ / "cut.kwf";
  WriteFile(path, bytes);
  openUnit();
  EXPECT_EQ(api::StartDownload(path.c_str(), KVOFWDL_START_ALWAYS_CNE),
            KVOFWDL_STATUS_FILE_READ_ERROR);
  EXPECT_FALSE(unitState(serial).bootloader().halted());
}

// Windows refuses a node change to a process that is not an elevated administrator; the node
// is cycled only after the firmware is written, so the rights are asked for first.
TEST_F(DownloadGuardsTest, WithoutTheRightsToCycleTheNodeTheUnitIsNeverTouched) {
  const uint32_t serial = plug(3);
  bus->setStreaming(true);
  bus->setDeviceNodeChangesAllowed(false);
  openUnit();
  EXPECT_EQ(download(), KVOFWDL_STATUS_FAILED);
  EXPECT_TRUE(
      logged("ERROR: Download: the unit's device node cannot be disabled and enabled without "
             "administrator rights: error = 0x00000005; the unit was not touched"));
  EXPECT_FALSE(logged("INFO: stopping device..."));
  EXPECT_EQ(unitState(serial).firmware(), kUnitFirmware);
  EXPECT_FALSE(unitState(serial).bootloader().halted());
  EXPECT_TRUE(streaming());
}

// The audio devices were stopped for the unit; a unit that fails does not keep them off.
TEST_F(DownloadGuardsTest, AfterAFailedWriteTheAudioDevicesRunAgain) {
  const uint32_t serial = plug(3);
  bus->setStreaming(true);
  openUnit();
  bus->addFault({.action = simbus::FaultAction::Error,
                 .kind = simbus::TransferKind::DownloadBlock,
                 .serial = serial,
                 .skip = 1,
                 .status = 0xFFFFFFFFu});
  EXPECT_EQ(download(), KVOFWDL_STATUS_DEVICE_ERROR);
  EXPECT_TRUE(logged("INFO: Download: audio devices started again after the failure"));
  EXPECT_TRUE(streaming());
}

// Success means the unit runs the file's firmware once it is back in its application.
TEST_F(DownloadGuardsTest, AUnitBackWithItsOldFirmwareIsAFailureThatSaysWhatItRuns) {
  const uint32_t serial = plug(3);
  bus->setStreaming(true);
  openUnit();
  bus->addFault({.action = simbus::FaultAction::KeepsOld,
                 .kind = simbus::TransferKind::Reset,
                 .serial = serial,
                 .skip = 1});
  EXPECT_EQ(download(), KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED);
  EXPECT_EQ(KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED, 45u);
  EXPECT_TRUE(
      logged("ERROR: Download: the unit runs firmware 0x02000FA0 after the update, not "
             "0x02014000 of the file"));
  EXPECT_EQ(unitState(serial).firmware(), kUnitFirmware);
  EXPECT_TRUE(streaming());

  // The same unit updated for real says so.
  bus->clearFaults();
  ASSERT_EQ(api::CloseDevice(), KVOFWDL_STATUS_SUCCESS);
  openUnit();
  EXPECT_EQ(download(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_TRUE(logged("INFO: Download: the unit runs firmware 0x02014000 of the file"));
}

// One writer per unit across processes: while another program's download holds the unit's
// lock, a start is refused before anything reaches the unit; the worker lets go at its end.
TEST_F(DownloadGuardsTest, ASecondDownloadOfTheSameUnitIsRefusedAtOnce) {
  const uint32_t serial = plug(3);
  openUnit();
  const std::string path =
      simbus::SimBus::devicePath(uint64_t{simbus::kDefaultSerialHigh} << 32 | serial);
  uint32_t error = 0;
  auto otherProgram = platform::lockUnitForUpdate(path, error);
  ASSERT_NE(otherProgram, nullptr);
  const std::string file = writeKwf(StudioFile(1));
  EXPECT_EQ(api::StartDownload(file.c_str(), 0), KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS);
  EXPECT_TRUE(logged("ERROR: StartDownload: the unit " + path +
                     " is being updated by another program (lock " +
                     platform::unitUpdateLockName(path) + " held)"));
  EXPECT_FALSE(logged("INFO: stopping device..."));
  EXPECT_FALSE(unitState(serial).bootloader().halted());

  // Device paths compare without case, as Windows compares them.
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(platform::unitIsBeingUpdated(upper));

  otherProgram.reset();
  ASSERT_EQ(api::StartDownload(file.c_str(), 0), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(finalStatus(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_FALSE(platform::unitIsBeingUpdated(path)) << "let go at the end";
}

// Every download that ran leaves one line in the history in the user's data folder: time, unit,
// firmware before and after, result. A file turned down before the unit was touched leaves
// none.
TEST_F(DownloadGuardsTest, EachDownloadLeavesALineInTheHistory) {
  platform::test::ScopedEnv dataHome{"XDG_DATA_HOME", scratch_ / "data"};
  const uint32_t serial = plug(3);
  bus->addFault({.action = simbus::FaultAction::KeepsOld,
                 .kind = simbus::TransferKind::Reset,
                 .serial = serial,
                 .skip = 1});
  openUnit();
  EXPECT_EQ(download(), KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED);
  ASSERT_EQ(api::CloseDevice(), KVOFWDL_STATUS_SUCCESS);
  bus->clearFaults();
  openUnit();
  EXPECT_EQ(download(), KVOFWDL_STATUS_SUCCESS);
  std::vector<uint8_t> damaged = tools::kwf::BuildKwf(StudioFile(1)).value();
  damaged.resize(500);
  WriteFile(scratch_ / "cut.kwf", damaged);
  EXPECT_NE(api::StartDownload((scratch_ / "cut.kwf").c_str(), 0), KVOFWDL_STATUS_SUCCESS);

  const std::string history = ReadText(scratch_ / "data/VelmoraProFirmwareHistory.txt");
  const std::regex line(
      R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\tunit (\d+)\tfrom ([^\t]+)\tto ([^\t]+)\tstatus (.+))");
  std::vector<std::string> fields;
  std::istringstream lines(history);
  for (std::string text; std::getline(lines, text);) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    fields.push_back(m[1].str() + " " + m[2].str() + " " + m[3].str() + " " + m[4].str());
  }
  const std::string unit = std::to_string(serial);
  EXPECT_EQ(fields, (std::vector<std::string>{
                        unit + " 2.0.4000 2.0.4000 45 failed",
                        unit + " 2.0.4000 2.1.16384 0 succeeded",
                    }));
}

}  // namespace
}  // namespace fwdl::test
