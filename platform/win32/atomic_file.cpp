#include "platform/atomic_file.h"

#include <limits>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// False, with `why` set to the step and the Windows error code.
bool failed(std::string* why, const char* step, DWORD error) {
  if (why != nullptr) *why = std::string(step) + ": Windows error " + std::to_string(error);
  return false;
}

}  // namespace

bool replaceFileContents(const std::string& path, std::string_view content) {
  return replaceFileContents(path, content, nullptr);
}

bool replaceFileContents(const std::string& path, std::string_view content, std::string* why) {
  if (path.empty() || content.size() > std::numeric_limits<DWORD>::max()) {
    return failed(why, "cannot write the file", ERROR_INVALID_PARAMETER);
  }
  // Beside the target, so the final move never crosses volumes.
  const std::string temporary = path + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetCurrentThreadId());
  const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return failed(why, "cannot create a file in its folder", GetLastError());
  }
  DWORD written = 0;
  const bool ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
      written == content.size() && FlushFileBuffers(file);
  DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  const bool closed = CloseHandle(file);
  if (ok && !closed) error = GetLastError();
  const char* step = !ok || !closed ? "cannot write the file" : nullptr;
  if (step == nullptr && !MoveFileExA(temporary.c_str(), path.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
    step = "cannot replace the file";
  }
  if (step != nullptr) {
    DeleteFileA(temporary.c_str());
    return failed(why, step, error);
  }
  return true;
}

}  // namespace platform
