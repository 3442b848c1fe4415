#include "updater/temp_folder.h"

#include "platform/folder_tree.h"
#include "platform/paths.h"

namespace updater {

bool TempFolder::create() {
  if (!path_.empty()) return true;
  path_ = platform::uniquePrivateFolder(
      platform::tempFolder(), "VelmoraProUpdater-" + std::to_string(platform::currentProcessId()));
  return !path_.empty();
}

std::string TempFolder::file(const std::string& name) const {
  return platform::joinPath(path_, name);
}

bool TempFolder::remove() {
  if (path_.empty()) return true;
  if (!platform::removeFolderTree(path_)) return false;
  path_.clear();
  return true;
}

}  // namespace updater
