#include "updater/download_watcher.h"

#include <algorithm>

#include "platform/clock.h"
#include "updater/driver_sample_rate.h"
#include "updater/updater_texts.h"

namespace updater {

namespace {

// Unknown at the start, so that the first reading is always posted.
constexpr uint64_t kNothingPosted = ~uint64_t{0};

}  // namespace

uint32_t downloadPercent(uint32_t bytesDownloaded, uint32_t totalBytes) {
  // In 64 bits, so that no firmware size makes the product wrap.
  return static_cast<uint32_t>(uint64_t{bytesDownloaded} * 100 / std::max(totalBytes, 1u));
}

DownloadWatcher::DownloadWatcher(StatusReader readStatus, UpdaterView& view)
    : readStatus_(readStatus), view_(view) {}

DownloadWatcher::~DownloadWatcher() {
  stopping_ = true;
  join();
}

void DownloadWatcher::start(bool replug) {
  if (thread_.joinable()) return;
  stopping_ = false;
  thread_ = std::thread([this, replug] { run(replug); });
}

void DownloadWatcher::join() {
  if (thread_.joinable()) thread_.join();
}

bool DownloadWatcher::pause(uint32_t milliseconds) {
  if (stopping_) return false;
  platform::clock().sleep(milliseconds);
  return !stopping_;
}

void DownloadWatcher::run(bool replug) {
  if (replug) {
    if (!pause(kReplugLeadMs)) return;
    view_.showNoticeAndWait(text::kUnplugCable, stopping_);
    if (!pause(kUnpluggedMs)) return;
    view_.showNoticeAndWait(text::kPlugCable, stopping_);
    if (!pause(kReplugSettleMs)) return;
  }
  uint64_t previousStatus = kNothingPosted;
  uint64_t previousPercent = kNothingPosted;
  KVOFWDL_STATUS status = KVOFWDL_STATUS_DOWNLOAD_RUNNING;
  do {
    if (!pause(kPollIntervalMs)) return;
    uint32_t bytes = 0;
    uint32_t total = 0;
    status = readStatus_(&bytes, &total);
    const uint32_t percent = downloadPercent(bytes, total);
    if (status != previousStatus || percent != previousPercent) {
      // The driver's stored rate goes back to 48 kHz once the download is under way.
      if (previousPercent == 0) resetDriverSampleRate();
      view_.postProgress(status, percent);
      previousStatus = status;
      previousPercent = percent;
    }
  } while (status == KVOFWDL_STATUS_DOWNLOAD_RUNNING);
}

}  // namespace updater
