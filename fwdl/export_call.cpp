#include "fwdl/export_call.h"

#include "fwdl/logging/library_log.h"

namespace fwdl {

std::mutex& ApiLock() {
  // Made at first use: the Windows thread library cannot initialise a mutex at compile time.
  static std::mutex lock;
  return lock;
}

void LogUnexpectedFailure(const char* function) noexcept {
  try {
    Log(LogType::Error, "%s: unexpected internal failure\n", function);
  } catch (...) {
    // Not even the log had room; the status alone tells the caller.
  }
}

bool IsNullParameter(const void* pointer, const char* function, const char* parameter) {
  if (pointer != nullptr) return false;
  Log(LogType::Error, "%s: parameter '%s' is NULL\n", function, parameter);
  return true;
}

}  // namespace fwdl
