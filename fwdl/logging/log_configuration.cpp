#include "fwdl/logging/log_configuration.h"

#include <string_view>

#include "platform/file_access.h"
#include "platform/profile.h"

namespace fwdl {

namespace {

constexpr std::string_view kCommon = "Common";
constexpr std::string_view kTraceView = "TraceView";
constexpr std::string_view kLogFile = "LogFile";

struct PrefixKey {
  std::string_view key;
  uint32_t bit;
};

constexpr PrefixKey kPrefixKeys[] = {
    {"ThreadIdExtension", kPrefixThreadId},
    {"ModuleTokenExtension", kPrefixModuleToken},
    {"TypeExtension", kPrefixType},
    {"TimeExtension", kPrefixTime},
};

std::string TypeSection(int index) {
  return "LogType" + std::to_string(index);
}

std::string ReadText(const std::string& path, std::string_view section, std::string_view key) {
  return platform::getProfileString(path, section, key, "");
}

// Names and the token have room for kMaxLogName characters.
std::string ReadName(const std::string& path, std::string_view section, std::string_view key) {
  return ReadText(path, section, key).substr(0, kMaxLogName);
}

bool ReadSwitch(const std::string& path, std::string_view section, std::string_view key) {
  return ReadText(path, section, key) == "1";
}

uint32_t ReadPrefixes(const std::string& path, std::string_view section) {
  uint32_t flags = 0;
  for (const PrefixKey& prefix : kPrefixKeys) {
    if (ReadSwitch(path, section, prefix.key)) flags |= prefix.bit;
  }
  return flags;
}

void Write(const std::string& path, std::string_view section, std::string_view key,
           std::string_view value) {
  // A configuration that cannot be written leaves the defaults in force, and the library runs
  // on with them; the next start tries again.
  static_cast<void>(platform::writeProfileString(path, section, key, value));
}

const char* SwitchText(bool on) {
  return on ? "1" : "0";
}

void WritePrefixes(const std::string& path, std::string_view section, uint32_t flags) {
  for (const PrefixKey& prefix : kPrefixKeys) {
    Write(path, section, prefix.key, SwitchText(flags & prefix.bit));
  }
}

}  // namespace

ConfigFileState InspectConfigFile(const std::string& path) {
  const std::optional<uint64_t> size = platform::fileSize(path);
  if (!size) return ConfigFileState::Missing;
  return *size == 0 ? ConfigFileState::Empty : ConfigFileState::Filled;
}

LogFileChoice ReadLogConfiguration(const std::string& path, LogSettings& settings) {
  settings.moduleToken = ReadName(path, kCommon, "ModuleToken");
  settings.enabledTypes = 0;
  for (int i = 0; i < kLogTypeCount; ++i) {
    const std::string section = TypeSection(i);
    settings.types[i] = LogTypeEntry{1u << i, ReadName(path, section, "Name")};
    if (ReadSwitch(path, section, "Enabled")) settings.enabledTypes |= 1u << i;
  }
  settings.debuggerEnabled = ReadSwitch(path, kTraceView, "Enabled");
  settings.debuggerPrefixes = ReadPrefixes(path, kTraceView);
  settings.logFile.setPrefixFlags(ReadPrefixes(path, kLogFile));
  return LogFileChoice{ReadText(path, kLogFile, "PathAndName"),
                       platform::getProfileInt(path, kLogFile, "MaxSize", 0),
                       ReadSwitch(path, kLogFile, "CheckSizeAfterEachEntry")};
}

void WriteLogConfiguration(const std::string& path, const LogSettings& settings,
                           const LogFileChoice& logFile) {
  Write(path, kCommon, "ModuleToken", settings.moduleToken);
  for (int i = 0; i < kLogTypeCount; ++i) {
    const std::string section = TypeSection(i);
    Write(path, section, "Name", settings.types[i].name);
    Write(path, section, "Enabled", SwitchText(settings.enabledTypes & (1u << i)));
  }
  Write(path, kTraceView, "Enabled", SwitchText(settings.debuggerEnabled));
  WritePrefixes(path, kTraceView, settings.debuggerPrefixes);
  WritePrefixes(path, kLogFile, settings.logFile.prefixFlags());
  RecordLogFile(path, logFile);
}

void RecordLogFile(const std::string& path, const LogFileChoice& logFile) {
  Write(path, kLogFile, "PathAndName", logFile.path);
  Write(path, kLogFile, "MaxSize", std::to_string(logFile.sizeLimit));
  Write(path, kLogFile, "CheckSizeAfterEachEntry", SwitchText(logFile.checkEachEntry));
}

void RecordNoLogFile(const std::string& path) {
  Write(path, kLogFile, "PathAndName", "");
}

}  // namespace fwdl
