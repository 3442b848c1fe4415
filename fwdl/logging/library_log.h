// The library log: every operation reports through Log(), which sends the entry to the
// debugger output and to the log file as the configuration file beside the library says.
// Until InitLogging and after ShutdownLogging nothing is logged.
#pragma once

#include <cstdint>
#include <string>

#include "fwdl/logging/log_types.h"

namespace fwdl {

// Sends an entry to both destinations. The type is tested before the text is formatted.
void Log(LogType type, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Sends an entry to the `destinations` (LogDestination bits) only.
void LogTo(uint32_t destinations, LogType type, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Takes the settings from the configuration file at `configPath` and opens the log file it
// names. An empty file is filled with the defaults; a missing one (or an empty path) is left
// missing and the defaults apply.
void InitLogging(const std::string& configPath);

// The configuration path of the module that contains this code: its file path with the
// extension "cfg"; empty when the module's path cannot be had.
std::string ConfigPathBesideModule();

// Closes the log file and switches every destination and type off.
void ShutdownLogging();

// Logs to the file `path` from now on, with the size limit of the exported interface, and
// records the choice in the configuration file if one exists. Whether a log file is open.
bool EnableLogFile(const std::string& path);

// Stops logging to a file and records that in the configuration file if one exists. Whether
// the file closed cleanly.
bool DisableLogFile();

}  // namespace fwdl
