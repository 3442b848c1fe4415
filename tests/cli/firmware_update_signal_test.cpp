// velmoractl firmware update and a SIGTERM while the firmware is written, in a forked child
// with the download library's internals on the child's bus and fake clock.
#include <signal.h>

#include "cli/firmware_library.h"
#include "cli_fixture.h"
#include "fwdl/library_api.h"
#include "fwdl/logging/library_log.h"
#include "tests/support/child_process.h"

namespace velmoractl::test {
namespace {

// The download status as the library reports it; the first reading also brings a SIGTERM,
// as if the user pressed for the end right after the download started.
KVOFWDL_STATUS StatusWithSigterm(uint32_t* bytes, uint32_t* total) {
  static bool sent = false;
  if (!sent) {
    sent = true;
    ::raise(SIGTERM);
  }
  return fwdl::api::GetDownloadStatus(bytes, total);
}

constexpr FirmwareLibrary kInternals{
    fwdl::api::EnableLogging, fwdl::api::GetKwfFileInfo, fwdl::api::EnumerateDevices,
    fwdl::api::GetDeviceInfo, fwdl::api::OpenDevice,     fwdl::api::CheckDownload,
    fwdl::api::StartDownload, StatusWithSigterm,         fwdl::api::CloseDevice,
};

class FirmwareUpdateSignalTest : public CliFixture {};

TEST_F(FirmwareUpdateSignalTest, ASigtermDuringTheDownloadIsActedOnOnlyAfterItsEnd) {
  bus->plug({simbus::Model::Studio, 0, simbus::kDefaultSerialHigh, 3, 0x02000FA0});
  const platform::test::ChildEnd end = platform::test::runInChild([&] {
    fwdl::InitLogging("");
    ScopedFirmwareLibrary useInternals{kInternals};
    firmwareUpdateCommand({STUDIO_KWF});
    // Not reached: the held SIGTERM ends the child as the command returns.
    platform::test::say("returned\n");
  });
  ASSERT_TRUE(end.ended);
  const size_t said = end.output.find(
      "velmoractl: firmware is being written; the signal is acted on when the download has "
      "ended\n");
  const size_t finished = end.output.find("firmware update finished: status 0");
  EXPECT_NE(said, std::string::npos) << end.output;
  EXPECT_NE(finished, std::string::npos) << end.output;
  EXPECT_LT(said, finished) << end.output;
  EXPECT_EQ(end.output.find("returned"), std::string::npos) << end.output;
  EXPECT_TRUE(end.signalled) << end.output;
  EXPECT_EQ(end.signal, SIGTERM);
}

}  // namespace
}  // namespace velmoractl::test
