// What the library log does with an entry: which types are on, their names, and the two
// destinations with their line prefixes.
//
// LogSettings: the library log's settings; one per process, made when the library is loaded.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "fwdl/logging/log_file_writer.h"
#include "fwdl/logging/log_types.h"

namespace fwdl {

struct LogTypeEntry {
  uint32_t bit = 0;
  std::string name;  // at most kMaxLogName characters
};

struct LogSettings {
  uint32_t enabledTypes = 0;  // nothing is logged until the configuration is read
  std::array<LogTypeEntry, kLogTypeCount> types;
  std::string moduleToken;  // at most kMaxLogName characters
  std::string configPath;   // empty when the library's own path is unknown

  bool debuggerEnabled = false;
  uint32_t debuggerPrefixes = 0;

  LogFileWriter logFile;
  bool logFileEnabled = false;
};

// The built-in settings: ERROR, WARNING and INFO on, DATA off, token "KVOFWDL", debugger
// output off with thread id, token and type, log file prefixes thread id, type and time.
// Leaves the configuration path and the log file alone.
void ApplyDefaultLogSettings(LogSettings& settings);

// The built-in name of log type `index` (empty beyond the first four).
const char* DefaultLogTypeName(int index);

}  // namespace fwdl
