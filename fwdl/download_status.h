// Progress and result of the current or last download, shared by the download worker and the
// callers that poll it; every field is read and written under the status lock.
//
// DownloadStatus: how far the download is and how it ended.
#pragma once

#include <cstdint>
#include <mutex>

#include "fwdl/include/dun_fwdl.h"

namespace fwdl {

class DownloadStatus {
 public:
  void AddDownloadedBytes(uint32_t count);
  void SetTotalBytes(uint32_t count);
  void SetStatus(KVOFWDL_STATUS status);
  // Counters to 0, then the status to KVOFWDL_STATUS_DOWNLOAD_RUNNING.
  void StartRunning();

  uint32_t BytesDownloaded() const;
  uint32_t TotalBytes() const;
  [[nodiscard]] KVOFWDL_STATUS Status() const;

 private:
  mutable std::mutex lock_;
  uint32_t bytesDownloaded_ = 0;
  uint32_t totalBytes_ = 0;
  KVOFWDL_STATUS status_ = KVOFWDL_STATUS_SUCCESS;
};

}  // namespace fwdl
