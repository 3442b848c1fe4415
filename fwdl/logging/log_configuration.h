// The library's configuration file: an ini file beside the library that sets up the log.
#pragma once

#include <cstdint>
#include <string>

#include "fwdl/logging/log_settings.h"

namespace fwdl {

// The log file a configuration asks for; an empty path means none.
struct LogFileChoice {
  std::string path;
  uint32_t sizeLimit = 0;
  bool checkEachEntry = false;
};

enum class ConfigFileState { Missing, Empty, Filled };

ConfigFileState InspectConfigFile(const std::string& path);

// Takes every setting of the file at `path` into `settings` (a missing key reads as off,
// empty or 0) and returns the log file it names.
LogFileChoice ReadLogConfiguration(const std::string& path, LogSettings& settings);

// Writes every key of the file with the value of `settings` and `logFile`.
void WriteLogConfiguration(const std::string& path, const LogSettings& settings,
                           const LogFileChoice& logFile);

// Records the log file chosen at run time: its path, size limit and size-check flag.
void RecordLogFile(const std::string& path, const LogFileChoice& logFile);

// Records that there is no log file.
void RecordNoLogFile(const std::string& path);

}  // namespace fwdl
