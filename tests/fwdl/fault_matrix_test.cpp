// A unit that leaves the bus at any phase of a download: the download ends with the status of
// that phase, the worker finishes and nothing waits for ever.
#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::testing {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;

struct Phase {
  const char* name;
  TransferKind kind;              // the transfer during which the unit leaves
  uint32_t skip;                  // transfers of that kind before it
  KVOFWDL_STATUS objectProtocol;  // the final status under protocol 1
  KVOFWDL_STATUS streamProtocol;  // under protocol 3
};

struct MatrixCase {
  Phase phase;
  uint32_t protocol;
};

void PrintTo(const MatrixCase& c, std::ostream* out) {
  *out << c.phase.name << "/protocol " << c.protocol;
}

class FaultMatrixTest : public UnitFixture, public ::testing::WithParamInterface<MatrixCase> {};

TEST_P(FaultMatrixTest, TheUnitLeavingEndsTheDownloadWithItsStatus) {
  const MatrixCase& c = GetParam();
  const uint32_t serial = plug(c.protocol);
  const std::string path = writeKwf(StudioFile(c.protocol == 3 ? 1 : 0));
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  bus->addFault({FaultAction::Remove, c.phase.kind, serial, c.phase.skip});
  KvoFwdlDownloader downloader(enumeration);
  ASSERT_EQ(downloader.StartDownload(path, enumeration.OpenUnit(), MODE_PROGRAM, 0),
            KVOFWDL_STATUS_SUCCESS);
  WaitForDownload(downloader);
  EXPECT_EQ(downloader.Status().Status(),
            c.protocol == 3 ? c.phase.streamProtocol : c.phase.objectProtocol);
  EXPECT_FALSE(bus->units()[0].onBus);
  EXPECT_EQ(bus->units()[0].firmware, kUnitFirmware);
  EXPECT_EQ(downloader.Mode(), MODE_NONE);
}

constexpr Phase kPhases[] = {
    // A protocol-3 reset request that cannot be confirmed is not a failure of its own: the
    // unit is waited for until the reset time-out.
    {"ResetIntoTheBootLoader", TransferKind::Reset, 0, KVOFWDL_STATUS_DEVICE_WRITE_FAILED,
     KVOFWDL_STATUS_RESET_TIMEOUT},
    {"DownloadStart", TransferKind::DownloadStart, 0, KVOFWDL_STATUS_DEVICE_WRITE_FAILED,
     KVOFWDL_STATUS_DEVICE_WRITE_FAILED},
    {"FirstBlock", TransferKind::DownloadBlock, 0, KVOFWDL_STATUS_DEVICE_WRITE_FAILED,
     KVOFWDL_STATUS_DEVICE_WRITE_FAILED},
    {"ThirdBlock", TransferKind::DownloadBlock, 2, KVOFWDL_STATUS_DEVICE_WRITE_FAILED,
     KVOFWDL_STATUS_DEVICE_WRITE_FAILED},
    {"BlockData", TransferKind::BlockWrite, 6, KVOFWDL_STATUS_DEVICE_WRITE_FAILED,
     KVOFWDL_STATUS_DEVICE_WRITE_FAILED},
    {"BlockAnswer", TransferKind::BlockRead, 4, KVOFWDL_STATUS_DEVICE_READ_FAILED,
     KVOFWDL_STATUS_DEVICE_READ_FAILED},
    {"DownloadEnd", TransferKind::DownloadEnd, 0, KVOFWDL_STATUS_DEVICE_WRITE_FAILED,
     KVOFWDL_STATUS_DEVICE_WRITE_FAILED},
    {"ResetIntoTheApplication", TransferKind::Reset, 1, KVOFWDL_STATUS_DEVICE_WRITE_FAILED,
     KVOFWDL_STATUS_RESET_TIMEOUT},
};

std::vector<MatrixCase> AllCases() {
  std::vector<MatrixCase> cases;
  for (const Phase& phase : kPhases) {
    for (uint32_t protocol : {1u, 3u}) cases.push_back({phase, protocol});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Phases, FaultMatrixTest, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) {
                           return std::string(info.param.phase.name) + "Protocol" +
                                  std::to_string(info.param.protocol);
                         });

}  // namespace
}  // namespace fwdl::testing
