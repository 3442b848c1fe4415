// The library's internals against units on a simulated bus in this process, on a fake clock,
// with the library log going to a file of the test's own.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fwdl/downloader.h"
#include "fwdl/library_api.h"
#include "fwdl/logging/library_log.h"
#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "tests/fwdl/fwdl_test_support.h"
#include "tests/support/bus_harness.h"
#include "tools/kwf/kwf_builder.h"

namespace fwdl::test {

namespace pv = platform::vhpd;

inline constexpr uint32_t kUnitFirmware = 0x02000FA0;  // 2.0.4000, a simulated unit's default
inline constexpr uint32_t kNewFirmware = 0x02014000;
inline constexpr uint32_t kVendor = 0x7A1394;  // the upper 24 bits of the units' unique ids

// A clock on which sleeping is instant, except one sleep of a chosen length that waits until
// the test lets it go: a worker can be held in the middle of its job.
class GatedClock final : public platform::Clock {
 public:
  uint32_t tickCount() const override { return time_.tickCount(); }
  void sleep(uint32_t milliseconds) override {
    std::unique_lock lock(mutex_);
    if (gate_ == milliseconds && !passed_) {
      held_ = true;
      changed_.notify_all();
      changed_.wait(lock, [&] { return passed_; });
    }
    lock.unlock();
    time_.advance(milliseconds);
  }

  // The first sleep of `milliseconds` from now on waits for release().
  void holdAt(uint32_t milliseconds) {
    std::lock_guard lock(mutex_);
    gate_ = milliseconds;
  }
  void waitUntilHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return held_; });
  }
  void release() {
    std::lock_guard lock(mutex_);
    passed_ = true;
    changed_.notify_all();
  }

 private:
  platform::FakeClock time_{1000};
  std::mutex mutex_;
  std::condition_variable changed_;
  uint32_t gate_ = 0;
  bool held_ = false;
  bool passed_ = false;
};

// The longest a download may take on the process clock, faults and time-outs included: well
// beyond any sum of the library's limits, far below a wait that never ends.
inline constexpr uint32_t kDownloadWaitLimitMs = 30 * 60 * 1000;

// Blocks until a started download has ended. A worker that runs on past the limit on the
// process clock, or that stops the clock and runs on for a minute of real time, can be neither
// joined nor stopped: the test fails and the test program ends instead of hanging.
inline void WaitForDownload(const Downloader& downloader) {
  platform::Clock& clock = platform::clock();
  const uint32_t start = clock.tickCount();
  const auto realStart = std::chrono::steady_clock::now();
  while (downloader.IsDownloadRunning()) {
    const bool overClock = platform::ticksElapsed(start, clock.tickCount()) > kDownloadWaitLimitMs;
    const bool overReal = std::chrono::steady_clock::now() - realStart > std::chrono::minutes(1);
    if (overClock || overReal) {
      ADD_FAILURE() << "the download did not end within its bound";
      std::fprintf(stderr, "FAILED: %s: the download never ended\n",
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
      std::fflush(nullptr);
      std::_Exit(1);
    }
    std::this_thread::yield();
  }
}

// A firmware file that fits a simulated Velmora PRO Studio with protocol `version` + 2 (a
// version-0 file for protocols 1 and 2, version 1 for protocol 3), newer than its firmware.
inline tools::kwf::KwfSpec StudioFile(uint32_t version) {
  tools::kwf::KwfSpec spec;
  spec.version = version;
  spec.buildDate = "20250102";
  spec.buildTime = "030405  ";
  spec.softwareId = 3;
  spec.firmwareVersion = kNewFirmware;
  spec.compatibleHardwareVersion = 0x13;
  spec.nodeVendorId = kVendor;
  spec.image1Address = 0x400C0080;
  spec.infoText = std::string("Studio test", 12);
  spec.image1 = tools::kwf::GeneratedPayload(10000, 5);
  spec.cnE = tools::kwf::GeneratedPayload(700, 6);
  spec.trailer = {0xFF, 0xFF, 0xFF, 0xFF};
  return spec;
}

class UnitFixture : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  UnitFixture() {
    InitLogging("");
    EnableLogFile(logPath_);
  }
  ~UnitFixture() override {
    api::TearDown();
    ShutdownLogging();
  }

  // Plugs a Studio of boot-loader `protocol`; its serial.
  uint32_t plug(uint32_t protocol = 3, uint32_t firmware = kUnitFirmware) {
    return bus->plug({simbus::Model::Studio, 0, simbus::kDefaultSerialHigh, protocol, firmware})
        .value();
  }

  // Writes the file of `spec` into the scratch folder; its path.
  std::string writeKwf(const tools::kwf::KwfSpec& spec, const std::string& name = "test.kwf") {
    const std::string path = scratch_ / name;
    WriteFile(path, tools::kwf::BuildKwf(spec).value());
    return path;
  }

  // Logs DATA entries too: requests, responses and transfers.
  void logData() {
    const std::string config = scratch_ / "fwdl.cfg";
    WriteText(config,
              "[LogType0]\nName=ERROR\nEnabled=1\n[LogType1]\nName=WARNING\nEnabled=1\n"
              "[LogType2]\nName=INFO\nEnabled=1\n[LogType3]\nName=DATA\nEnabled=1\n"
              "[LogFile]\nThreadIdExtension=1\nTypeExtension=1\nTimeExtension=1\n"
              "MaxSize=100000000\nPathAndName=" +
                  logPath_ + "\n");
    ShutdownLogging();
    InitLogging(config);
  }

  // Whether the driver's audio devices are running (its stream counters say so).
  static bool streaming() {
    std::unique_ptr<pv::DeviceHandle> control;
    EXPECT_EQ(pv::client().open(std::string("\\\\.\\") + pv::kInterfaceGuidText,
                                pv::OpenMode::Synchronous, control),
              platform::win_error::Success);
    std::array<uint8_t, pv::kStreamCountersSize> counters{};
    pv::completeIo(control->ioControl(pv::IOCTL_VHPD_GET_STREAM_COUNTERS, {}, counters));
    return counters[0] != 0;
  }

  simbus::SimUnit unitState(uint32_t serial) {
    std::optional<simbus::SimUnit> copy;
    bus->withUnit(serial, [&](simbus::SimUnit& unit) { copy = unit; });
    return *copy;
  }

  // Log entries as "TYPE: text".
  std::vector<std::string> entries() const { return LogEntries(logPath_); }
  // Whether an entry starts with `entry`: a message's text is followed by its details (status,
  // address, offset) where it has any.
  bool logged(const std::string& entry) const {
    const auto all = entries();
    return std::any_of(all.begin(), all.end(),
                       [&](const std::string& line) { return line.starts_with(entry); });
  }
  size_t count(const std::string& entry) const {
    const auto all = entries();
    return static_cast<size_t>(std::count(all.begin(), all.end(), entry));
  }

  const platform::test::ScratchFolder& scratch_ = scratch;
  std::string logPath_ = scratch_ / "fwdl.log";
};

}  // namespace fwdl::test
