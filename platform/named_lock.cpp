#include "platform/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/paths.h"
#include "platform/win_error.h"

namespace platform {

namespace {

// Lock files live in the runtime folder when there is one: it is the user's own and goes with
// the session. They are never removed: a file removed while another process opens it would
// give two holders. The folder is looked up once (a unit channel asks before every transfer)
// and again when it has gone.
// The variables the folder comes from, as they were when it was looked up: while they stay, so
// does the folder, and the lookup (which claims the temporary folder anew, four system calls)
// is not repeated for every transfer.
std::string folderVariables() {
  std::string seen;
  for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* value = std::getenv(variable);
    seen += value != nullptr ? value : "";
    seen += '\0';
  }
  return seen;
}

std::string lockFolder(bool again) {
  static std::mutex mutex;
  static std::string variablesSeen;
  static std::string parentSeen;
  static std::string folder;
  const std::string variables = folderVariables();
  {
    std::lock_guard lock(mutex);
    if (!folder.empty() && !again && variables == variablesSeen) return folder;
  }
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string parent =
      runtime != nullptr && runtime[0] == '/' ? std::string(runtime) : tempFolder();
  std::lock_guard lock(mutex);
  variablesSeen = variables;
  if (folder.empty() || again || parent != parentSeen) {
    parentSeen = parent;
    folder = parent.empty() ? std::string() : privateFolder(parent, "velmora-locks");
  }
  return folder;
}

std::string lockPath(const std::string& name, bool again = false) {
  const std::string folder = lockFolder(again);
  return folder.empty() ? std::string() : joinPath(folder, name + ".lock");
}

// The lock folder kept open, so that the check before every transfer opens its file by name
// alone instead of walking the folder's whole path. Opened again when the folder changes or
// has been removed (a lock file made later lives in the new one).
class HeldCheckFolder {
 public:
  // Opens `file` of the folder `folder` for reading; -1 with errno set when it cannot.
  int openFile(const std::string& folder, const std::string& file) {
    std::lock_guard lock(mutex_);
    if (folder != folder_) reopen(folder);
    int fd = openAt(file);
    if (fd < 0 && errno == ENOENT && folderRemoved()) {
      reopen(folder);
      fd = openAt(file);
    }
    return fd;
  }

 private:
  void reopen(const std::string& folder) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    folder_ = folder;
  }

  int openAt(const std::string& file) const {
    if (fd_ < 0) {
      errno = ENOENT;
      return -1;
    }
    return ::openat(fd_, file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  }

  bool folderRemoved() const {
    struct stat status {};
    return fd_ < 0 || ::fstat(fd_, &status) != 0 || status.st_nlink == 0;
  }

  std::mutex mutex_;
  std::string folder_;
  int fd_ = -1;
};

class FileLock final : public NamedLock {
 public:
  explicit FileLock(int fd) : fd_(fd) {}
  ~FileLock() override { ::close(fd_); }  // closing the last descriptor lets go of the flock

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<NamedLock> NamedLock::tryAcquire(const std::string& name, uint32_t& error) {
  const std::string path = lockPath(name);
  if (path.empty()) {
    error = win_error::PathNotFound;
    return nullptr;
  }
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0 && errno == ENOENT) {
    const std::string again = lockPath(name, true);
    if (!again.empty()) fd = ::open(again.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  }
  if (fd < 0) {
    error = win_error::AccessDenied;
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno == EWOULDBLOCK ? win_error::Busy : win_error::GenFailure;
    ::close(fd);
    return nullptr;
  }
  error = win_error::Success;
  return std::make_unique<FileLock>(fd);
}

bool NamedLock::isHeld(const std::string& name) {
  static HeldCheckFolder checks;
  const std::string folder = lockFolder(false);
  if (folder.empty()) return false;
  const int fd = checks.openFile(folder, name + ".lock");
  if (fd < 0) return false;  // never taken
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

}  // namespace platform
