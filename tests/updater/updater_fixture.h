// The update logic against units on an in-process bus on a fake clock, with the download
// library's own code in the test's process (so that it shares the bus and the clock), a
// recording view, and the per-user temporary folder in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "fwdl/library_api.h"
#include "fwdl/logging/library_log.h"
#include "fwdl/library_state.h"
#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "tests/support/bus_harness.h"
#include "tests/updater/recording_view.h"
#include "updater/firmware_library.h"
#include "updater/firmware_updater.h"

namespace updater::test {

namespace pv = platform::vhpd;

// The library's exports as its own code has them.
constexpr FirmwareLibrary kLibraryInProcess{
    fwdl::api::EnableLogging, fwdl::api::EnumerateDevices,  fwdl::api::GetDeviceInfo,
    fwdl::api::OpenDevice,    fwdl::api::GetKwfFileInfo,    fwdl::api::SetTimeout,
    fwdl::api::StartDownload, fwdl::api::GetDownloadStatus, fwdl::api::CloseDevice,
    fwdl::api::Reboot,
};

// Firmware of the shipped files, 2.1.4300, and of a unit that has not had it yet, 2.0.4000.
constexpr uint32_t kShippedFirmware = 0x020110CC;
constexpr uint32_t kOlderFirmware = 0x02000FA0;

class UpdaterFixture : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  UpdaterFixture() { fwdl::InitLogging(""); }
  ~UpdaterFixture() override {
    fwdl::api::TearDown();
    fwdl::ShutdownLogging();
  }

  void plug(uint32_t firmware = kOlderFirmware, simbus::Model model = simbus::Model::Studio) {
    bus->plug({model, 0, simbus::kDefaultSerialHigh, 3, firmware});
  }
  uint32_t unitFirmware() const { return bus->units()[0].firmware; }

  // Presses "Update" and runs the sequence's posted steps, as the dialog's message loop would,
  // until the download has started or the sequence has stopped.
  void pressUpdate() {
    updater->onUpdate();
    settle();
  }
  void settle() {
    while (updater->busy()) ASSERT_TRUE(view.runNextTask()) << "a step never came back";
  }

  // Hands every posted progress message to the logic until the download has ended. The
  // library reports the end a moment before its worker has finished; the logic waits that
  // moment out on the clock, which is instant here, so the test waits for the worker itself.
  void runDownload() {
    while (updater->state() == FirmwareUpdater::State::Downloading) {
      const auto message = view.nextPosted();
      ASSERT_TRUE(message) << "the worker stopped posting";
      if (message->first != KVOFWDL_STATUS_DOWNLOAD_RUNNING) waitForTheLibrarysWorker();
      updater->onProgress(message->first, message->second);
      settle();
    }
  }

  static void waitForTheLibrarysWorker() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fwdl::Library().downloader.IsDownloadRunning() &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
  }

  // Whether the unit was left open: a new enumeration is refused while one is.
  bool unitLeftOpen() const {
    uint32_t count = 0;
    return fwdl::api::EnumerateDevices(pv::kInterfaceGuidText, &count) ==
           KVOFWDL_STATUS_DEVICE_STILL_OPEN;
  }

  platform::test::ScopedEnv tmpdir{"TMPDIR", scratch.path()};
#ifdef _WIN32
  // GetTempPath reads TMP.
  platform::test::ScopedEnv tmp{"TMP", scratch.path()};
#endif
  RecordingView view;
  FirmwareLibrary library = kLibraryInProcess;
  std::unique_ptr<FirmwareUpdater> updater = std::make_unique<FirmwareUpdater>(library, view);
};

}  // namespace updater::test
