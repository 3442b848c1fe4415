#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<uint64_t> fileSize(const std::string& path) {
  struct stat status {};
  if (path.empty() || stat(path.c_str(), &status) != 0) return std::nullopt;
  return static_cast<uint64_t>(status.st_size);
}

bool deleteFile(const std::string& path) {
  return unlink(path.c_str()) == 0;
}

bool renameFile(const std::string& from, const std::string& to) {
  struct stat status {};
  if (lstat(to.c_str(), &status) == 0) return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}

FILE* openRegularFile(const std::string& path, uint64_t& size) {
  // Without blocking, so that a named pipe given as the file cannot stall the caller.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  struct stat status {};
  if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    if (fd >= 0) close(fd);
    return nullptr;
  }
  FILE* stream = fdopen(fd, "rb");
  if (stream == nullptr) {
    close(fd);
    return nullptr;
  }
  size = static_cast<uint64_t>(status.st_size);
  return stream;
}

FILE* openFileForAppending(const std::string& path) {
  return std::fopen(path.c_str(), "a+be");
}

}  // namespace platform
