// The start flags of KVOFWDL_StartDownload: the CnE block always, and the hardware and vendor
// checks skipped.
#include "fwdl/library_api.h"
#include "fwdl/library_state.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

struct FlagsCase {
  const char* name;
  uint32_t flags;
  uint32_t hardware;  // CompatibleHardwareVersion of the file; the unit is a Studio (0x13)
  uint32_t vendor;    // NodeVendorId of the file
  KVOFWDL_STATUS status;
  size_t starts;  // download-start requests sent
};

class StartFlagsTest : public UnitFixture, public ::testing::WithParamInterface<FlagsCase> {};

TEST_P(StartFlagsTest, DecideWhatIsCheckedAndSent) {
  const FlagsCase& c = GetParam();
  plug(3);
  tools::kwf::KwfSpec spec = StudioFile(1);
  spec.compatibleHardwareVersion = c.hardware;
  spec.nodeVendorId = c.vendor;
  const std::string path = writeKwf(spec);
  uint32_t units = 0;
  ASSERT_EQ(api::EnumerateDevices(pv::kInterfaceGuidText, &units), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::StartDownload(path.c_str(), c.flags), KVOFWDL_STATUS_SUCCESS);
  WaitForDownload(Library().downloader);
  uint32_t bytes = 0;
  uint32_t total = 0;
  EXPECT_EQ(api::GetDownloadStatus(&bytes, &total), c.status);
  EXPECT_EQ(count("INFO: executing download start..."), c.starts);
  EXPECT_EQ(bus->units()[0].firmware,
            c.status == KVOFWDL_STATUS_SUCCESS ? kNewFirmware : kUnitFirmware);
}

constexpr uint32_t kCompact = 0x14;
constexpr uint32_t kOtherVendor = 0x123456;

INSTANTIATE_TEST_SUITE_P(
    Flags, StartFlagsTest,
    ::testing::Values(
        FlagsCase{"None", 0, 0x13, kVendor, KVOFWDL_STATUS_SUCCESS, 1},
        FlagsCase{"AlwaysCnE", KVOFWDL_START_ALWAYS_CNE, 0x13, kVendor, KVOFWDL_STATUS_SUCCESS, 2},
        FlagsCase{"OtherHardware", 0, kCompact, kVendor, KVOFWDL_STATUS_INCOMPATIBLE_HARDWARE, 0},
        FlagsCase{"OtherHardwareSkipped", KVOFWDL_START_SKIP_HARDWARE_CHECK, kCompact, kVendor,
                  KVOFWDL_STATUS_SUCCESS, 1},
        FlagsCase{"OtherVendor", 0, 0x13, kOtherVendor, KVOFWDL_STATUS_INCOMPATIBLE_HARDWARE, 0},
        FlagsCase{"OtherVendorSkipped", KVOFWDL_START_SKIP_VENDOR_CHECK, 0x13, kOtherVendor,
                  KVOFWDL_STATUS_SUCCESS, 1},
        FlagsCase{"OtherHardwareWithOnlyTheVendorSkipped", KVOFWDL_START_SKIP_VENDOR_CHECK,
                  kCompact, kVendor, KVOFWDL_STATUS_INCOMPATIBLE_HARDWARE, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fwdl::test
