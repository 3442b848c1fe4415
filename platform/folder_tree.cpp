#include "platform/folder_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/paths.h"

namespace platform {

namespace {

// Names of the entries of the open folder `fd`, without "." and "..". False when reading fails.
bool entryNames(int fd, std::vector<std::string>& names) {
  const int copy = dup(fd);
  if (copy < 0) return false;
  DIR* dir = fdopendir(copy);
  if (dir == nullptr) {
    close(copy);
    return false;
  }
  while (const dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  closedir(dir);
  return true;
}

// Empties the folder open as `fd`. Entries are reached only relative to `fd`, so renaming or
// replacing something on the way cannot lead us outside.
bool emptyFolder(int fd) {
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISDIR(status.st_mode)) return false;
  // A read-only folder keeps its entries; ours may be opened up.
  if ((status.st_mode & S_IRWXU) != S_IRWXU && fchmod(fd, S_IRWXU) != 0) return false;
  std::vector<std::string> names;
  if (!entryNames(fd, names)) return false;
  for (const std::string& name : names) {
    struct stat entry {};
    if (fstatat(fd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (S_ISDIR(entry.st_mode)) {
      const int child = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) return false;
      const bool emptied = emptyFolder(child);
      close(child);
      if (!emptied || unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0) return false;
    } else if (unlinkat(fd, name.c_str(), 0) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string uniquePrivateFolder(const std::string& parent, const std::string& prefix) {
  if (parent.empty() || prefix.empty() || prefix.find('/') != std::string::npos) return {};
  std::string pattern = joinPath(parent, prefix + "-XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

bool removeFolderTree(const std::string& folder) {
  if (folder.empty()) return false;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  const bool emptied = emptyFolder(fd);
  close(fd);
  // rmdir does not follow a link either: a folder swapped for one is refused.
  return emptied && rmdir(folder.c_str()) == 0;
}

uint32_t currentProcessId() {
  return static_cast<uint32_t>(getpid());
}

}  // namespace platform
