#include "platform/file_access.h"

#include <fcntl.h>
#include <io.h>

#include "platform/win32/windows_api.h"

namespace platform {

std::optional<uint64_t> fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool deleteFile(const std::string& path) {
  return DeleteFileA(path.c_str());
}

bool renameFile(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str());
}

FILE* openRegularFile(const std::string& path, uint64_t& size) {
  // Only disk files: a pipe or device name is refused before anything could block on it.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER length{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &length)) {
    CloseHandle(file);
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(file);
    return nullptr;
  }
  FILE* stream = _fdopen(fd, "rb");
  if (stream == nullptr) {
    _close(fd);
    return nullptr;
  }
  size = static_cast<uint64_t>(length.QuadPart);
  return stream;
}

FILE* openFileForAppending(const std::string& path) {
  // "N": the C runtime's flag for a handle child processes do not inherit.
  return std::fopen(path.c_str(), "a+bN");
}

}  // namespace platform
