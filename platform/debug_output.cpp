#include "platform/debug_output.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace platform {

void outputDebugString(std::string_view text) {
  // The lock keeps one call's text together even when the kernel takes it in pieces.
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  while (!text.empty()) {
    const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // nobody is listening; like the debugger being absent
    text.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace platform
