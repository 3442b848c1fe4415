// Arbitrary bytes as the firmware library's configuration file: reading every setting never
// crashes, and a key written into the file reads back as written.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fwdl/logging/log_configuration.h"
#include "fwdl/logging/log_settings.h"
#include "platform/paths.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzzing::InputFile input("config-fuzz");
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
