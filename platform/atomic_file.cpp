#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

// False, with `why` set to the step and errno's text.
bool failed(std::string* why, const char* step) {
  if (why != nullptr) *why = std::string(step) + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool replaceFileContents(const std::string& path, std::string_view content) {
  return replaceFileContents(path, content, nullptr);
}

bool replaceFileContents(const std::string& path, std::string_view content, std::string* why) {
  std::string target = path;
  mode_t mode = 0644;
  struct stat status {};
  if (lstat(path.c_str(), &status) == 0) {
    if (S_ISLNK(status.st_mode)) {
      char* resolved = realpath(path.c_str(), nullptr);
      if (resolved == nullptr) return failed(why, "cannot follow the link");
      target = resolved;
      std::free(resolved);
      if (stat(target.c_str(), &status) != 0) return failed(why, "cannot follow the link");
    }
    mode = status.st_mode & 07777;
  }
  std::string temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return failed(why, "cannot create a file in its folder");
  const bool written = fchmod(fd, mode) == 0 && writeAll(fd, content) && fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = close(fd) == 0;
  const char* step = nullptr;
  if (!written) {
    errno = writeError;
    step = "cannot write the file";
  } else if (!closed) {
    step = "cannot write the file";
  } else if (rename(temporary.c_str(), target.c_str()) != 0) {
    step = "cannot replace the file";
  }
  if (step != nullptr) {
    const int error = errno;
    unlink(temporary.c_str());
    errno = error;
    return failed(why, step);
  }
  return true;
}

}  // namespace platform
