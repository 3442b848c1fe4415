// Whether a firmware file may go to the open unit, and the download itself on a worker
// thread: the object download of boot-loader protocols 1 and 2 and the streamed whole-file
// download of protocol 3, with the progress the callers poll.
//
// Downloader: the worker that checks a firmware file against the open unit and downloads it.
#pragma once

#include <cstdint>

#include "fwdl/download_status.h"
#include "fwdl/include/dun_fwdl.h"
#include "fwdl/tthread.h"

namespace fwdl {

class KvoDevice;
class KwfFile;

enum DownloadMode : uint32_t {
  MODE_PROGRAM_AND_CNE = 1,  // CnE block, then image 1 as program
  MODE_PROGRAM = 2,          // image 1 as program
  MODE_CNE = 3,              // CnE block
  MODE_BOOTLOADER = 4,       // image 1 as boot loader
  MODE_NONE = 2000000000,    // no download set up
};

class Downloader : public Drvkit::TThread {
 public:
  Downloader() = default;
  // Virtual operations in slot order, after those of TThread.
  ~Downloader() override;
  void ThreadRoutine() override;
  // The verdict on `file` for `device` in `conditions` (KVOFWDL_COND_ bits), judged with the
  // current mode and skip flags. 0 whenever the check ran.
  [[nodiscard]] virtual KVOFWDL_STATUS CheckDownload(KwfFile* file, KvoDevice* device, uint32_t& conditions);
  // Sets the download up and starts the worker; the outcome is in Status().
  [[nodiscard]] virtual KVOFWDL_STATUS StartDownload(KwfFile* file, KvoDevice* device, uint32_t mode,
                                       uint32_t flags);
  virtual bool IsDownloadRunning() const;
  [[nodiscard]] virtual KVOFWDL_STATUS Download() = 0;
  [[nodiscard]] virtual KVOFWDL_STATUS DownloadProt1and2();
  [[nodiscard]] virtual KVOFWDL_STATUS DownloadProt3();

  DownloadStatus& Status() { return status_; }
  const DownloadStatus& Status() const { return status_; }
  uint32_t Mode() const { return mode_; }

 protected:
  // What a download is set up with: written before the worker starts, cleared by it at its
  // end, left alone by callers while it runs.
  KwfFile* file_ = nullptr;
  KvoDevice* device_ = nullptr;
  uint32_t mode_ = MODE_NONE;
  bool skipHardwareCheck_ = false;
  bool skipVendorCheck_ = false;
  DownloadStatus status_;

 private:
  // The objects a mode sends: CnE first, then image 1 of object type `imageType`.
  struct Selection {
    bool cnE = false;
    bool image = false;
    uint32_t imageType = 0;
  };
  bool SelectObjects(uint32_t mode, Selection& selection) const;
  // The unit and the file are open, the file has the procedure's version and the mode names
  // objects; otherwise logs why under the procedure's name.
  bool ReadyToDownload(const char* procedure, uint32_t fileVersion, Selection& selection) const;
};

}  // namespace fwdl
