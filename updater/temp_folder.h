// The updater's private temporary folder: the firmware file and the library log are written
// there, and it goes with everything in it when the program ends.
#pragma once

#include <string>

namespace updater {

class TempFolder {
 public:
  // Makes a new folder "VelmoraProUpdater-<process id>-XXXXXX" in the per-user temporary
  // folder, readable by this user only. False when it cannot be made.
  bool create();
  // Empty until create() succeeded, and again after remove().
  const std::string& path() const { return path_; }
  // `name` inside the folder.
  std::string file(const std::string& name) const;
  // Deletes the folder and everything in it; symbolic links inside are removed, never
  // followed. False (the rest left in place) at the first entry that cannot go.
  bool remove();

 private:
  std::string path_;
};

}  // namespace updater
