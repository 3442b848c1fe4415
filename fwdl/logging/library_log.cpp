#include "fwdl/logging/library_log.h"

#include <bit>
#include <cerrno>
#include <cstdarg>
#include <mutex>
#include <utility>

#include "fwdl/logging/log_configuration.h"
#include "fwdl/logging/log_line.h"
#include "fwdl/logging/log_settings.h"
#include "platform/debug_output.h"
#include "platform/paths.h"

namespace fwdl {

namespace {

// Entries come from the callers' threads and from the download worker; the lock keeps their
// lines whole and the log file's rotation out of each other's way. It is recursive because
// the log file reports its own failures through the log. Made at first use, so it is ready
// for the module's start-up code whatever the order of static initialisation (the Windows
// thread library cannot initialise a mutex at compile time).
std::recursive_mutex& LogMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}
// Raw and constinit: no destructor runs at exit, so a static object's destructor that still
// logs finds either the settings or none, never a dead object. ShutdownLogging frees them.
constinit LogSettings* settings = nullptr;

bool Wanted(LogType type) {
  return settings != nullptr && (settings->enabledTypes & static_cast<uint32_t>(type)) != 0;
}

void Send(uint32_t destinations, LogType type, const std::string& text) {
  const int index = std::countr_zero(static_cast<uint32_t>(type));
  LinePrefix prefix{0, CurrentThreadId(), CurrentLogTime(), settings->moduleToken,
                    settings->types[index].name};
  if (settings->debuggerEnabled && (destinations & kToDebugger)) {
    prefix.flags = settings->debuggerPrefixes;
    platform::outputDebugString(BuildLogLine(prefix, text));
  }
  if (settings->logFileEnabled && (destinations & kToLogFile)) {
    prefix.flags = settings->logFile.prefixFlags();
    if (!settings->logFile.WriteEntry(BuildLogLine(prefix, text))) {
      settings->logFileEnabled = false;
      LogTo(kToDebugger, LogType::Error, "Logging to the logfile failed.\n");
      settings->logFileEnabled = true;
    }
  }
}

void SendFormatted(uint32_t destinations, LogType type, const char* format, va_list args) {
  std::lock_guard lock(LogMutex());
  if (!Wanted(type)) return;
  Send(destinations, type, FormatEntryText(format, args));
}

}  // namespace

void Log(LogType type, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SendFormatted(kToBoth, type, format, args);
  va_end(args);
}

void LogTo(uint32_t destinations, LogType type, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SendFormatted(destinations, type, format, args);
  va_end(args);
}

std::string ConfigPathBesideModule() {
  const std::string modulePath =
      platform::modulePathOf(reinterpret_cast<const void*>(&InitLogging));
  if (modulePath.empty()) {
    Log(LogType::Error, "SetCfgFile: GetModuleFileName failed with error = %d\n", errno);
    return {};
  }
  return platform::replaceExtension(modulePath, "cfg");
}

void InitLogging(const std::string& configPath) {
  std::lock_guard lock(LogMutex());
  if (settings == nullptr) settings = new LogSettings;
  settings->configPath = configPath;
  const ConfigFileState state = InspectConfigFile(configPath);
  if (state == ConfigFileState::Filled) {
    const LogFileChoice logFile = ReadLogConfiguration(configPath, *settings);
    if (!logFile.path.empty()) {
      settings->logFileEnabled =
          settings->logFile.Open(logFile.path, logFile.sizeLimit, logFile.checkEachEntry);
    }
    return;
  }
  ApplyDefaultLogSettings(*settings);
  if (state == ConfigFileState::Empty) {
    WriteLogConfiguration(configPath, *settings,
                          LogFileChoice{"", kDefaultLogFileSizeLimit, false});
  }
}

void ShutdownLogging() {
  std::lock_guard lock(LogMutex());
  if (settings == nullptr) return;
  settings->logFile.Close();
  settings->logFileEnabled = false;
  settings->debuggerEnabled = false;
  settings->enabledTypes = 0;
  delete std::exchange(settings, nullptr);
}

bool EnableLogFile(const std::string& path) {
  std::lock_guard lock(LogMutex());
  if (settings == nullptr) return false;
  settings->logFileEnabled = false;
  if (!path.empty()) {
    settings->logFileEnabled = settings->logFile.Open(path, kDefaultLogFileSizeLimit, false);
  }
  if (InspectConfigFile(settings->configPath) != ConfigFileState::Missing) {
    RecordLogFile(settings->configPath, LogFileChoice{path, kDefaultLogFileSizeLimit, false});
  }
  return settings->logFileEnabled;
}

bool DisableLogFile() {
  std::lock_guard lock(LogMutex());
  if (settings == nullptr) return false;
  settings->logFileEnabled = false;
  const bool closed = settings->logFile.Close();
  if (InspectConfigFile(settings->configPath) != ConfigFileState::Missing) {
    RecordNoLogFile(settings->configPath);
  }
  return closed;
}

}  // namespace fwdl
