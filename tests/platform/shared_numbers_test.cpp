// The numbers the product and the simulated unit share through platform/: coefficient
// indices and values, the information block's layout, the driver's control codes, statuses and
// record sizes. Each is compared with the number written out here, so that a changed header
// cannot carry both sides along with it.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/unit_coefficient_map.h"
#include "platform/unit_info_block.h"
#include "platform/vhpd_protocol.h"

namespace {

namespace coeff = platform::coeff;
namespace info = platform::unit_info;
namespace pv = platform::vhpd;

struct Number {
  const char* name;
  uint64_t inHeader;
  uint64_t expected;
};

void ExpectAll(std::initializer_list<Number> numbers) {
  for (const Number& n : numbers) EXPECT_EQ(n.inHeader, n.expected) << n.name;
}

TEST(SharedNumbersTest, CoefficientIndicesAndValues) {
  ExpectAll({
      {"COEFF_INPUT_MIX", coeff::COEFF_INPUT_MIX, 0},
      {"COEFF_INPUT_MIX_COUNT", coeff::COEFF_INPUT_MIX_COUNT, 52},
      {"COEFF_ROUTING", coeff::COEFF_ROUTING, 52},
      {"COEFF_ROUTING_COUNT", coeff::COEFF_ROUTING_COUNT, 28},
      {"routing outputs 1+2", coeff::COEFF_ROUTING_DESTINATION[0], 52},
      {"routing outputs 3+4", coeff::COEFF_ROUTING_DESTINATION[1], 56},
      {"routing outputs 5+6", coeff::COEFF_ROUTING_DESTINATION[2], 62},
      {"routing outputs 7+8", coeff::COEFF_ROUTING_DESTINATION[3], 68},
      {"routing S/PDIF out", coeff::COEFF_ROUTING_DESTINATION[4], 74},
      {"COEFF_OUTPUT_WORD", coeff::COEFF_OUTPUT_WORD, 80},
      {"COEFF_SAMPLE_RATE", coeff::COEFF_SAMPLE_RATE, 84},
      {"COEFF_FOLLOW_MASK", coeff::COEFF_FOLLOW_MASK, 85},
      {"COEFF_HW_KNOB", coeff::COEFF_HW_KNOB, 86},
      {"COEFF_HW_DIM", coeff::COEFF_HW_DIM, 87},
      {"COEFF_HW_MUTE", coeff::COEFF_HW_MUTE, 88},
      {"COEFF_TEST", coeff::COEFF_TEST, 90},
      {"COEFF_PSU", coeff::COEFF_PSU, 91},
      {"COEFF_SYNC", coeff::COEFF_SYNC, 93},
      {"COEFF_NAME", coeff::COEFF_NAME, 94},
      {"COEFF_NAME_WORDS", coeff::COEFF_NAME_WORDS, 4},
      {"COEFF_PHANTOM_1_4", coeff::COEFF_PHANTOM_1_4, 98},
      {"COEFF_PHANTOM_5_8", coeff::COEFF_PHANTOM_5_8, 99},
      {"COEFF_INSERT_INPUT_1", coeff::COEFF_INSERT_INPUT_1, 100},
      {"COEFF_INSERT_INPUT_2", coeff::COEFF_INSERT_INPUT_2, 101},
      {"COEFF_IDENTIFY", coeff::COEFF_IDENTIFY, 102},
      {"COEFF_AC3", coeff::COEFF_AC3, 103},
      {"COEFF_MIDI_THROUGH", coeff::COEFF_MIDI_THROUGH, 104},
      {"COEFF_SAVE_TO_CNE", coeff::COEFF_SAVE_TO_CNE, 108},
      {"COEFF_DIGIPS", coeff::COEFF_DIGIPS, 110},
      {"COEFF_STANDALONE", coeff::COEFF_STANDALONE, 111},
      {"COEFF_REDUCED_MODEL", coeff::COEFF_REDUCED_MODEL, 112},
      {"COEFF_RELEASE_STANDALONE", coeff::COEFF_RELEASE_STANDALONE, 114},
      {"COEFF_OPENED", coeff::COEFF_OPENED, 117},
      {"COEFF_HW_MONITORING", coeff::COEFF_HW_MONITORING, 118},
      {"release from standalone", coeff::kReleaseStandaloneValue, 0xA5A5},
      {"opened", coeff::kOpenedValue, 18},
      {"status word: play OK", coeff::digips::kPlayOk, 0x1},
      {"status word: record OK", coeff::digips::kRecordOk, 0x2},
      {"status word: write OK", coeff::digips::kWriteOk, 0x4},
      {"status word: standalone", coeff::digips::kStandalone, 0x8},
      {"status word: S/PDIF lock", 1u << coeff::digips::kSpdifLockShift, 0x100},
      {"status word: ADAT 1 lock", 1u << coeff::digips::kAdat1LockShift, 0x10000},
      {"status word: ADAT 2 lock", 1u << coeff::digips::kAdat2LockShift, 0x1000000},
  });
}

TEST(SharedNumbersTest, InformationBlockLayout) {
  ExpectAll({
      {"size", info::kSize, 104},
      {"address", pv::busAddress(info::kAddressHigh, info::kAddressLow), 0xFFFFC8020000},
      {"ManufacturerId", info::kManufacturerId, 0},
      {"ProtocolVersion", info::kProtocolVersion, 8},
      {"BootloaderMode", info::kBootloaderMode, 12},
      {"GuidHigh", info::kGuidHigh, 16},
      {"GuidLow", info::kGuidLow, 20},
      {"HardwareModelID", info::kHardwareModelId, 24},
      {"AuxWord1", info::kAuxWord1, 28},
      {"BuildStamp1", info::kBuildStamp1, 32},
      {"SoftwareId", info::kSoftwareId, 48},
      {"FirmwareVersion", info::kFirmwareVersion, 52},
      {"AuxWord2", info::kAuxWord2, 56},
      {"MaxImageLength", info::kMaxImageLength, 60},
      {"BuildStamp2", info::kBuildStamp2, 64},
      {"BuildStamp3", info::kBuildStamp3, 80},
      {"AuxWord3", info::kAuxWord3, 96},
      {"AuxWord4", info::kAuxWord4, 100},
      {"Velmora PRO Studio", info::kModelStudio, 0x13},
      {"Velmora PRO Compact", info::kModelCompact, 0x14},
  });
  EXPECT_EQ(std::string(info::kManufacturer), "tarnwick");
}

TEST(SharedNumbersTest, DriverControlCodesStatusesAndRecords) {
  ExpectAll({
      {"IOCTL_VHPD_GET_DRIVER_INFO", pv::IOCTL_VHPD_GET_DRIVER_INFO, 0x80882804},
      {"IOCTL_VHPD_GET_STREAM_COUNTERS", pv::IOCTL_VHPD_GET_STREAM_COUNTERS, 0x80882808},
      {"IOCTL_VHPD_GET_SAMPLE_RATE", pv::IOCTL_VHPD_GET_SAMPLE_RATE, 0x808828C0},
      {"IOCTL_VHPD_SET_SAMPLE_RATE", pv::IOCTL_VHPD_SET_SAMPLE_RATE, 0x808828C4},
      {"IOCTL_VHPD_START_ALL_DEVICES", pv::IOCTL_VHPD_START_ALL_DEVICES, 0x80882A00},
      {"IOCTL_VHPD_STOP_ALL_DEVICES", pv::IOCTL_VHPD_STOP_ALL_DEVICES, 0x80882A04},
      {"IOCTL_VHPD_GET_DEVICE_PROPERTIES", pv::IOCTL_VHPD_GET_DEVICE_PROPERTIES, 0x80882B00},
      {"IOCTL_VHPD_GET_DEVICE_FLAGS", pv::IOCTL_VHPD_GET_DEVICE_FLAGS, 0x80882C08},
      {"IOCTL_VHPD_GET_RESET_GENERATION_COUNT", pv::IOCTL_VHPD_GET_RESET_GENERATION_COUNT,
       0x80882C1C},
      {"IOCTL_VHPD_ASYNC_WRITE", pv::IOCTL_VHPD_ASYNC_WRITE, 0x80882C51},
      {"IOCTL_VHPD_ASYNC_READ", pv::IOCTL_VHPD_ASYNC_READ, 0x80882C56},
      {"IOCTL_VHPD_FCP_TRANSACTION", pv::IOCTL_VHPD_FCP_TRANSACTION, 0x80883004},
      {"KVO_STATUS_DRIVER_NOT_OPEN", pv::KVO_STATUS_DRIVER_NOT_OPEN, 0xE0000013},
      {"KVO_STATUS_VERSION_MISMATCH", pv::KVO_STATUS_VERSION_MISMATCH, 0xE0000014},
      {"KVO_STATUS_ALREADY_OPEN", pv::KVO_STATUS_ALREADY_OPEN, 0xE0000030},
      {"KVO_STATUS_DEVICE_REMOVED", pv::KVO_STATUS_DEVICE_REMOVED, 0xE0000050},
      {"KVO_STATUS_NO_EVENT", pv::KVO_STATUS_NO_EVENT, 0xE0000100},
      {"KVO_STATUS_FRAME_TOO_LONG", pv::KVO_STATUS_FRAME_TOO_LONG, 0xE0000300},
      {"KVO_STATUS_LENGTH_MISMATCH", pv::KVO_STATUS_LENGTH_MISMATCH, 0xE0000304},
      {"VHPD_STATUS_INVALID_GEN_COUNT", pv::VHPD_STATUS_INVALID_GEN_COUNT, 0xE0000351},
      {"KVO_STATUS_OPEN_FAILED", pv::KVO_STATUS_OPEN_FAILED, 0xE0008001},
      {"KVO_STATUS_NOT_OPEN", pv::KVO_STATUS_NOT_OPEN, 0xE0008002},
      {"KVO_STATUS_TIMEOUT", pv::KVO_STATUS_TIMEOUT, 0xE0008003},
      {"KVO_STATUS_INVALID_PARAMETER", pv::KVO_STATUS_INVALID_PARAMETER, 0xE0008008},
      {"KVO_STATUS_NO_MORE_ITEMS", pv::KVO_STATUS_NO_MORE_ITEMS, 0xE0008010},
      {"KVO_STATUS_NO_MEMORY", pv::KVO_STATUS_NO_MEMORY, 0xE0008020},
      {"AsyncRequest", pv::kAsyncRequestSize, 16},
      {"FcpRequest", pv::kFcpRequestSize, 520},
      {"FcpResponse", pv::kFcpResponseSize, 516},
      {"FCP frame", pv::kFcpMaxFrame, 512},
      {"FCP time-out", pv::kFcpTimeoutMs, 4000},
      {"driver information", pv::kDriverInfoSize, 12},
      {"sample-rate record (get)", pv::kSampleRateGetSize, 44},
      {"sample-rate record (set)", pv::kSampleRateSetSize, 8},
      {"streaming counters", pv::kStreamCountersSize, 8},
      {"device flags", pv::kDeviceFlagsSize, 4},
      {"device properties", pv::kDevicePropertiesSize, 432},
      {"device properties text 1", pv::kDevicePropertiesText1Offset, 88},
      {"device properties text 1 size", pv::kDevicePropertiesText1Size, 256},
      {"device properties text 2", pv::kDevicePropertiesText2Offset, 344},
      {"device properties text 2 size", pv::kDevicePropertiesText2Size, 80},
      {"generation count", pv::kGenerationCountSize, 4},
  });
  EXPECT_EQ(std::string(pv::kInterfaceGuidText), "{D4647551-A610-4623-AD1E-2F4A94EFE734}");
}

// The record of a transfer to the boot loader's request window, byte by byte.
TEST(SharedNumbersTest, AnAsyncRequestIsTheOffsetLittleEndianThenEightZeros) {
  const std::array<uint8_t, 16> expected = {0x00, 0x10, 0x02, 0xC8, 0xFF, 0xFF, 0x00, 0x00,
                                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(pv::makeAsyncRequest(0x0000FFFFC8021000), expected);
  EXPECT_EQ(pv::asyncRequestAddress(expected.data()), 0x0000FFFFC8021000u);
}

}  // namespace
