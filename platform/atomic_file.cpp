#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

bool replaceFileContents(const std::string& path, std::string_view content) {
  std::string target = path;
  mode_t mode = 0644;
  struct stat status {};
  if (lstat(path.c_str(), &status) == 0) {
    if (S_ISLNK(status.st_mode)) {
      char* resolved = realpath(path.c_str(), nullptr);
      if (resolved == nullptr) return false;
      target = resolved;
      std::free(resolved);
      if (stat(target.c_str(), &status) != 0) return false;
    }
    mode = status.st_mode & 07777;
  }
  std::string temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool written = fchmod(fd, mode) == 0 && writeAll(fd, content) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace platform
