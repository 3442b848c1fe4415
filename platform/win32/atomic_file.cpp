#include "platform/atomic_file.h"

#include <limits>

#include "platform/win32/windows_api.h"

namespace platform {

bool replaceFileContents(const std::string& path, std::string_view content) {
  if (path.empty() || content.size() > std::numeric_limits<DWORD>::max()) return false;
  // Beside the target, so the final move never crosses volumes.
  const std::string temporary = path + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetCurrentThreadId());
  const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
      written == content.size() && FlushFileBuffers(file);
  const bool closed = CloseHandle(file);
  if (!ok || !closed ||
      !MoveFileExA(temporary.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace platform
