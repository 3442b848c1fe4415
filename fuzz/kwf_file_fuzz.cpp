// Arbitrary bytes as a firmware file: opening, describing and loading never crash, and a file
// that opens streams back exactly its own bytes.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "fwdl/kwf_file.h"
#include "platform/paths.h"

namespace {

// The file the inputs are written to, one per process, removed at exit.
class InputFile {
 public:
  InputFile() {
    std::string pattern = platform::joinPath(platform::tempFolder(), "kwf-fuzz-XXXXXX");
    const int fd = mkstemp(pattern.data());
    if (fd >= 0) {
      close(fd);
      path_ = pattern;
    }
  }
  ~InputFile() {
    if (!path_.empty()) unlink(path_.c_str());
  }

  bool write(const uint8_t* data, size_t size) const {
    const int fd = open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const bool whole = size == 0 || ::write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    return whole;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const InputFile input;
  if (!input.write(data, size)) return 0;

  fwdl::KwfFile file;
  if (file.Open(input.path()) != KVOFWDL_STATUS_SUCCESS) return 0;
  KVOFWDL_KWF_FILE_INFO info;
  if (file.GetFileInfo(info) != KVOFWDL_STATUS_SUCCESS ||
      info.InfoText[KVOFWDL_KWF_FILE_INFO_TEXT_SIZE - 1] != 0) {
    __builtin_trap();
  }
  std::span<const uint8_t> object;
  file.GetImage1(object);
  file.GetCnE(object);

  if (file.ResetFilePtr() != KVOFWDL_STATUS_SUCCESS) __builtin_trap();
  std::vector<uint8_t> streamed;
  uint8_t block[4096];
  uint32_t received = 0;
  do {
    if (file.Read(block, sizeof block, received) != KVOFWDL_STATUS_SUCCESS) __builtin_trap();
    streamed.insert(streamed.end(), block, block + received);
  } while (received == sizeof block);
  if (streamed.size() != size || (size != 0 && std::memcmp(streamed.data(), data, size) != 0)) {
    __builtin_trap();
  }
  return 0;
}
