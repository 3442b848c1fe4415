// A download after another one, and a worker whose job throws: the unit and its audio devices
// are never left half-way, and the worker always ends with a status.
#include <stdexcept>

#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "fwdl/library_api.h"
#include "fwdl/library_state.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

class DownloadLifecycleTest : public UnitFixture {
 protected:
  KVOFWDL_STATUS finalStatus() {
    WaitForDownload(Library().downloader);
    uint32_t bytes = 0;
    uint32_t total = 0;
    return api::GetDownloadStatus(&bytes, &total);
  }
};

// The device node was cycled at the end of the first download: the unit object has no handle
// left, so a second start is refused before the audio devices are stopped.
TEST_F(DownloadLifecycleTest, ASecondStartOnTheCycledUnitIsRefusedBeforeAnythingStops) {
  plug(3);
  bus->setStreaming(true);
  const std::string path = writeKwf(StudioFile(1));
  uint32_t units = 0;
  ASSERT_EQ(api::EnumerateDevices(pv::kInterfaceGuidText, &units), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::StartDownload(path.c_str(), 0), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(finalStatus(), KVOFWDL_STATUS_SUCCESS);

  EXPECT_EQ(api::StartDownload(path.c_str(), 0), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_EQ(finalStatus(), KVOFWDL_STATUS_SUCCESS) << "the last download's result stays";
  EXPECT_TRUE(streaming());
  EXPECT_EQ(count("INFO: stopping device..."), 1u);
  uint32_t conditions = 0;
  EXPECT_EQ(api::CheckDownload(path.c_str(), &conditions), KVOFWDL_STATUS_DEVICE_NOT_OPEN);

  // Closed and opened again, the unit takes the next download.
  ASSERT_EQ(api::CloseDevice(), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::EnumerateDevices(pv::kInterfaceGuidText, &units), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::StartDownload(path.c_str(), 0), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(finalStatus(), KVOFWDL_STATUS_SUCCESS);
}

// A downloader whose job throws what the standard library may throw (out of memory, say).
class ThrowingDownloader final : public KvoFwdlDownloader {
 public:
  using KvoFwdlDownloader::KvoFwdlDownloader;
  KVOFWDL_STATUS Download() override { throw std::runtime_error("out of something"); }
};

TEST_F(DownloadLifecycleTest, AJobThatThrowsEndsTheWorkerWithAFailure) {
  plug(3);
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  ThrowingDownloader downloader(enumeration);
  ASSERT_EQ(
      downloader.StartDownload(writeKwf(StudioFile(1)), enumeration.OpenUnit(), MODE_PROGRAM, 0),
      KVOFWDL_STATUS_SUCCESS);
  WaitForDownload(downloader);
  EXPECT_EQ(downloader.Status().Status(), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(downloader.Mode(), MODE_NONE);
  EXPECT_TRUE(
      logged("ERROR: ThreadRoutine: download ended by an unexpected exception: out of something"));
}

}  // namespace
}  // namespace fwdl::test
