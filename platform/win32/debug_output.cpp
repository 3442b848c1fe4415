#include "platform/debug_output.h"

#include <mutex>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform {

void outputDebugString(std::string_view text) {
  // OutputDebugStringA takes a terminated string; a NUL inside ends the text there as it would
  // for the caller's own C string.
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  const std::string copy(text);
  OutputDebugStringA(copy.c_str());
}

}  // namespace platform
