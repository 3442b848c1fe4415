// Arbitrary bytes as the firmware library's configuration file: reading every setting never
// crashes, and a key written into the file reads back as written.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fwdl/log_configuration.h"
#include "fwdl/log_settings.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace {

// The file the inputs are written to, one per process, removed at exit.
class InputFile {
 public:
  InputFile() {
    std::string pattern = platform::joinPath(platform::tempFolder(), "config-fuzz-XXXXXX");
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
  if (input.path().empty() || !input.write(data, size)) return 0;

  fwdl::InspectConfigFile(input.path());
  fwdl::LogSettings settings;
  fwdl::ApplyDefaultLogSettings(settings);
  fwdl::ReadLogConfiguration(input.path(), settings);
  platform::getProfileInt(input.path(), "LogFile", "MaxSize", 7);

  if (platform::writeProfileString(input.path(), "LogFile", "PathAndName", "fuzz.log") &&
      platform::getProfileString(input.path(), "LogFile", "PathAndName", "") != "fuzz.log") {
    __builtin_trap();
  }
  return 0;
}
