// The updater's worker thread: it polls the download library every 100 ms while a download
// runs and posts every change of status or percentage to the dialog. It touches nothing of the
// dialog itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "fwdl/include/dun_fwdl.h"
#include "updater/updater_view.h"

namespace updater {

// bytes × 100 / total, with a total of 0 taken as 1.
uint32_t downloadPercent(uint32_t bytesDownloaded, uint32_t totalBytes);

class DownloadWatcher {
 public:
  using StatusReader = KVOFWDL_STATUS (*)(uint32_t* BytesDownloaded, uint32_t* TotalBytes);

  DownloadWatcher(StatusReader readStatus, UpdaterView& view);
  // Tells a running worker to stop and waits for it.
  ~DownloadWatcher();
  DownloadWatcher(const DownloadWatcher&) = delete;
  DownloadWatcher& operator=(const DownloadWatcher&) = delete;

  // Starts the worker. With `replug` it first gives the user time to get ready, then has them
  // unplug and plug in the cable.
  void start(bool replug);
  // Waits for a worker that has posted its final status (it ends right after).
  void join();

  static constexpr uint32_t kPollIntervalMs = 100;
  // Old firmware: how long after the download's start the user is asked to unplug the cable.
  static constexpr uint32_t kReplugLeadMs = 6000;
  static constexpr uint32_t kUnpluggedMs = 5000;
  static constexpr uint32_t kReplugSettleMs = 3000;

 private:
  void run(bool replug);
  // False when the worker was told to stop during the pause.
  bool pause(uint32_t milliseconds);

  StatusReader readStatus_;
  UpdaterView& view_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace updater
