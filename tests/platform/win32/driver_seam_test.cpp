// The Windows driver backend where it meets Windows. No bus driver is installed here, so the
// calls that need one are tested for their answers without it, the control codes and records
// against the Windows headers, and the overlapped request path on a named pipe, whose
// transact request stays pending until the other end answers, just as a driver's would.
#include "platform/win32/vhpd_driver.h"

#include <setupapi.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/clock.h"
#include "platform/vhpd_protocol.h"

#ifndef FSCTL_PIPE_TRANSCEIVE
#define FSCTL_PIPE_TRANSCEIVE \
  CTL_CODE(FILE_DEVICE_NAMED_PIPE, 5, METHOD_NEITHER, FILE_READ_DATA | FILE_WRITE_DATA)
#endif

namespace platform::vhpd {
namespace {

namespace we = win_error;

TEST(Win32DriverSeamTest, ControlCodesAreTheDriversDeviceTypeFunctionsAndMethods) {
  struct Case {
    uint32_t code;
    uint32_t function;
    uint32_t method;
  };
  const Case cases[] = {
      {IOCTL_VHPD_GET_DRIVER_INFO, 0xA01, METHOD_BUFFERED},
      {IOCTL_VHPD_GET_STREAM_COUNTERS, 0xA02, METHOD_BUFFERED},
      {IOCTL_VHPD_GET_SAMPLE_RATE, 0xA30, METHOD_BUFFERED},
      {IOCTL_VHPD_SET_SAMPLE_RATE, 0xA31, METHOD_BUFFERED},
      {IOCTL_VHPD_START_ALL_DEVICES, 0xA80, METHOD_BUFFERED},
      {IOCTL_VHPD_STOP_ALL_DEVICES, 0xA81, METHOD_BUFFERED},
      {IOCTL_VHPD_GET_DEVICE_PROPERTIES, 0xAC0, METHOD_BUFFERED},
      {IOCTL_VHPD_GET_DEVICE_FLAGS, 0xB02, METHOD_BUFFERED},
      {IOCTL_VHPD_GET_RESET_GENERATION_COUNT, 0xB07, METHOD_BUFFERED},
      {IOCTL_VHPD_ASYNC_WRITE, 0xB14, METHOD_IN_DIRECT},
      {IOCTL_VHPD_ASYNC_READ, 0xB15, METHOD_OUT_DIRECT},
      {IOCTL_VHPD_FCP_TRANSACTION, 0xC01, METHOD_BUFFERED},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.code,
              static_cast<uint32_t>(CTL_CODE(0x8088, c.function, c.method, FILE_ANY_ACCESS)))
        << std::hex << c.code;
  }
}

TEST(Win32DriverSeamTest, RecordsAndFlagsMatchTheWindowsHeaders) {
  const GUID guid = win32::toWindowsGuid(kInterfaceGuid);
  static_assert(sizeof(GUID) == 16);
  uint8_t bytes[16];
  std::memcpy(bytes, &guid, sizeof bytes);
  // {D4647551-A610-4623-AD1E-2F4A94EFE734}: three little-endian fields, then 8 bytes.
  const uint8_t expected[16] = {0x51, 0x75, 0x64, 0xD4, 0x10, 0xA6, 0x23, 0x46,
                                0xAD, 0x1E, 0x2F, 0x4A, 0x94, 0xEF, 0xE7, 0x34};
  EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);

  EXPECT_EQ(sizeof(SP_CLASSINSTALL_HEADER), 8u);
  EXPECT_EQ(DIF_PROPERTYCHANGE, 18u);
  EXPECT_EQ(static_cast<uint32_t>(DeviceNodeChange::Enable), static_cast<uint32_t>(DICS_ENABLE));
  EXPECT_EQ(static_cast<uint32_t>(DeviceNodeChange::Disable), static_cast<uint32_t>(DICS_DISABLE));
  EXPECT_EQ(DICS_FLAG_GLOBAL, 1u);
  // The 64-bit SetupAPI records (the 32-bit ones are 28 and 5 bytes).
  EXPECT_EQ(sizeof(SP_DEVINFO_DATA), 32u);
  EXPECT_EQ(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A), 8u);

  const auto request = makeAsyncRequest(busAddress(0xFFFF, 0xC8020000));
  const uint8_t packed[16] = {0x00, 0x00, 0x02, 0xC8, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(request.data(), packed, sizeof packed), 0);
}

TEST(Win32DriverSeamTest, ErrorsPassThroughAndNamesNobodyAnswersAreNotFound) {
  struct Case {
    DWORD lastError;
    uint32_t result;
  };
  const Case cases[] = {
      {ERROR_FILE_NOT_FOUND, we::FileNotFound},
      {ERROR_BAD_NETPATH, we::FileNotFound},
      {ERROR_INVALID_NAME, we::FileNotFound},
      {ERROR_ACCESS_DENIED, we::AccessDenied},
      {ERROR_OPERATION_ABORTED, we::OperationAborted},
      {ERROR_SUCCESS, we::GenFailure},  // a failure must never read as success
      {KVO_STATUS_DEVICE_REMOVED, KVO_STATUS_DEVICE_REMOVED},
      {VHPD_STATUS_INVALID_GEN_COUNT, VHPD_STATUS_INVALID_GEN_COUNT},
  };
  for (const Case& c : cases) EXPECT_EQ(win32::fromLastError(c.lastError), c.result) << c.lastError;
}

TEST(Win32DriverSeamTest, WithoutTheDriverThereAreNoUnitsAndNothingOpens) {
  const auto driver = win32::makeDriverClient();
  std::vector<std::string> paths{"stale"};
  EXPECT_EQ(driver->presentInterfaces(kInterfaceGuid, paths), we::Success);
  EXPECT_TRUE(paths.empty());
  std::unique_ptr<DeviceHandle> handle;
  EXPECT_EQ(
      driver->open(std::string("\\\\.\\") + kInterfaceGuidText, OpenMode::Synchronous, handle),
      we::FileNotFound);
  EXPECT_EQ(handle, nullptr);
  std::vector<PresentInterface> nodes(1);
  EXPECT_EQ(driver->presentDeviceNodes(kInterfaceGuid, nodes), we::Success);
  EXPECT_TRUE(nodes.empty());
  // The bus-change window comes and goes.
  EXPECT_NE(driver->subscribeBusChanges([] {}), nullptr);
}

// The restart itself would end the Wine session; the privilege it needs is asked for alone.
TEST(Win32DriverSeamTest, TheShutdownPrivilegeOfTheRestartCanBeEnabled) {
  EXPECT_EQ(win32::enableShutdownPrivilege(), we::Success);
}

// The driver's settings key made the way its installer would, removed afterwards.
class SettingsKey {
 public:
  explicit SettingsKey(const char* path) : path_(path) {
    HKEY key = nullptr;
    created_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               &key, nullptr) == ERROR_SUCCESS;
    if (created_) RegCloseKey(key);
  }
  ~SettingsKey() {
    if (created_) RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_);
  }
  bool created() const { return created_; }

 private:
  const char* path_;
  bool created_ = false;
};

TEST(Win32DriverSeamTest, TheStoredSampleRateIsADwordUnderTheModelsKey) {
  const auto driver = win32::makeDriverClient();
  uint32_t rate = 0;
  EXPECT_EQ(driver->openDriverSettingsKey(kCompactSettingsKey), we::FileNotFound);
  EXPECT_EQ(driver->readDriverSetting(kCompactSettingsKey, kSampleRateValue, rate),
            we::FileNotFound);
  EXPECT_EQ(driver->writeDriverSetting(kCompactSettingsKey, kSampleRateValue, 48000),
            we::FileNotFound);

  SettingsKey key(kStudioSettingsKey);
  ASSERT_TRUE(key.created());
  EXPECT_EQ(driver->openDriverSettingsKey(kStudioSettingsKey), we::Success);
  EXPECT_EQ(driver->readDriverSetting(kStudioSettingsKey, kSampleRateValue, rate),
            we::FileNotFound);
  ASSERT_EQ(driver->writeDriverSetting(kStudioSettingsKey, kSampleRateValue, 96000), we::Success);
  ASSERT_EQ(driver->readDriverSetting(kStudioSettingsKey, kSampleRateValue, rate), we::Success);
  EXPECT_EQ(rate, 96000u);

  // A value of another type is no rate of ours.
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kStudioSettingsKey, 0, KEY_SET_VALUE, &raw),
            ERROR_SUCCESS);
  RegSetValueExA(raw, kSampleRateValue, 0, REG_SZ, reinterpret_cast<const BYTE*>("48000"), 6);
  RegCloseKey(raw);
  EXPECT_EQ(driver->readDriverSetting(kStudioSettingsKey, kSampleRateValue, rate),
            we::InvalidParameter);
  EXPECT_EQ(rate, 96000u);
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kStudioSettingsKey, 0, KEY_SET_VALUE, &raw);
  RegDeleteValueA(raw, kSampleRateValue);
  RegCloseKey(raw);
}

// Both ends of a message pipe; the client end in message mode, opened overlapped, as a
// DeviceHandle.
class PipeDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = "\\\\.\\pipe\\velmora-seam-" + std::to_string(GetCurrentProcessId()) +
                             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    server_ = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX,
                               PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 4096, 4096,
                               0, nullptr);
    ASSERT_NE(server_, INVALID_HANDLE_VALUE);
    HANDLE client = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(client, INVALID_HANDLE_VALUE);
    DWORD mode = PIPE_READMODE_MESSAGE;
    ASSERT_TRUE(SetNamedPipeHandleState(client, &mode, nullptr, nullptr));
    device_ = win32::adoptDevice(client, OpenMode::Overlapped);
  }
  void TearDown() override {
    device_.reset();
    if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
  }

  // The other end: reads one request and answers it.
  std::string answer(const std::string& reply) {
    char request[256];
    DWORD got = 0;
    if (!ReadFile(server_, request, sizeof request, &got, nullptr)) return "read failed";
    DWORD written = 0;
    WriteFile(server_, reply.data(), static_cast<DWORD>(reply.size()), &written, nullptr);
    return std::string(request, got);
  }

  HANDLE server_ = INVALID_HANDLE_VALUE;
  std::unique_ptr<DeviceHandle> device_;
};

TEST_F(PipeDevice, APendingRequestCompletesWithTheAnswerInTheOutputBuffer) {
  const std::string request = "request";
  uint8_t output[16] = {};
  IoCall call = device_->ioControl(
      FSCTL_PIPE_TRANSCEIVE,
      std::span(reinterpret_cast<const uint8_t*>(request.data()), request.size()), output);
  std::string seen;
  std::thread other([&] { seen = answer("reply"); });
  const IoResult result = completeIo(std::move(call));
  other.join();
  EXPECT_EQ(seen, "request");
  EXPECT_EQ(result.error, we::Success);
  ASSERT_EQ(result.bytesReturned, 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(output), 5), "reply");
}

TEST_F(PipeDevice, ABoundedWaitCancelsTheRequestAndReportsTheTimeOut) {
  FakeClock fake;
  ScopedClock useFake(fake);
  const uint8_t request[4] = {1, 2, 3, 4};
  uint8_t output[16] = {};
  IoCall call = device_->ioControl(FSCTL_PIPE_TRANSCEIVE, request, output);
  ASSERT_TRUE(call.isPending());
  const uint32_t start = fake.tickCount();
  const IoResult result = completeIo(std::move(call), 250);
  EXPECT_EQ(result.error, we::WaitTimeout);
  EXPECT_GE(ticksElapsed(start, fake.tickCount()), 250u);
}

TEST_F(PipeDevice, ARequestTheDeviceRefusesFailsAtOnce) {
  uint8_t output[4] = {};
  const IoCall call = device_->ioControl(IOCTL_VHPD_GET_DRIVER_INFO, {}, output);
  EXPECT_FALSE(call.isPending());
  EXPECT_NE(call.immediate.error, we::Success);
}

}  // namespace
}  // namespace platform::vhpd

// This test program has no simulated bus linked in: its driver is the real one.
std::shared_ptr<platform::vhpd::VhpdClient> platform::vhpd::makeDefaultClient() {
  return win32::makeDriverClient();
}
