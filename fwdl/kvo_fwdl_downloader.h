// The library's downloader: it opens the firmware file itself, and its download takes the
// unit's audio devices out of service, resets the unit into its boot loader, sends the file,
// resets it back into its application, restarts the audio devices and cycles the unit's
// device node so that the new firmware is picked up.
//
// KvoFwdlDownloader: the library's downloader, with everything around the transfer itself.
#pragma once

#include <memory>
#include <string>

#include "fwdl/downloader.h"
#include "fwdl/kwf_file.h"
#include "platform/named_lock.h"
#include "platform/update_history.h"

namespace fwdl {

class DeviceEnumeration;
class KvoFwdlDevice;

class KvoFwdlDownloader : public Downloader {
 public:
  // `enumeration` names the interface whose driver's control device stops and starts the
  // audio devices; it outlives the downloader.
  explicit KvoFwdlDownloader(const DeviceEnumeration& enumeration) : enumeration_(enumeration) {}
  ~KvoFwdlDownloader() override;
  void ThreadRoutine() override;
  [[nodiscard]] KVOFWDL_STATUS Download() override;

  // Opens `fileName` and starts downloading it to `device`; the worker owns the file from
  // here.
  [[nodiscard]] KVOFWDL_STATUS StartDownload(const std::string& fileName, KvoDevice* device, uint32_t mode,
                               uint32_t flags);
  using Downloader::StartDownload;

 private:
  // The download's steps, from the check of the conditions to the node cycle.
  [[nodiscard]] KVOFWDL_STATUS UpdateUnit();
  // The unit, its audio devices stopped: into its boot loader, the file sent, back into its
  // application, and the firmware it then runs compared with the file's.
  [[nodiscard]] KVOFWDL_STATUS WriteFirmware(KvoFwdlDevice& device);
  [[nodiscard]] KVOFWDL_STATUS ConfirmFirmware(KvoFwdlDevice& device) const;

  const DeviceEnumeration& enumeration_;
  std::unique_ptr<KwfFile> ownedFile_;
  std::unique_ptr<platform::NamedLock> unitLock_;  // held from the start to the worker's end
  platform::UpdateRecord history_;                 // the line this download adds to the history
};

}  // namespace fwdl
