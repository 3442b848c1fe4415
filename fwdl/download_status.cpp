#include "fwdl/download_status.h"

namespace fwdl {

void DownloadStatus::AddDownloadedBytes(uint32_t count) {
  std::lock_guard lock(lock_);
  bytesDownloaded_ += count;
}

void DownloadStatus::SetTotalBytes(uint32_t count) {
  std::lock_guard lock(lock_);
  totalBytes_ = count;
}

void DownloadStatus::SetStatus(KVOFWDL_STATUS status) {
  std::lock_guard lock(lock_);
  status_ = status;
}

void DownloadStatus::StartRunning() {
  std::lock_guard lock(lock_);
  bytesDownloaded_ = 0;
  totalBytes_ = 0;
  status_ = KVOFWDL_STATUS_DOWNLOAD_RUNNING;
}

uint32_t DownloadStatus::BytesDownloaded() const {
  std::lock_guard lock(lock_);
  return bytesDownloaded_;
}

uint32_t DownloadStatus::TotalBytes() const {
  std::lock_guard lock(lock_);
  return totalBytes_;
}

KVOFWDL_STATUS DownloadStatus::Status() const {
  std::lock_guard lock(lock_);
  return status_;
}

}  // namespace fwdl
