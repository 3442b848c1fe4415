#include "fwdl/logging/log_settings.h"

namespace fwdl {

namespace {

constexpr const char* kTypeNames[] = {"ERROR", "WARNING", "INFO", "DATA"};

}  // namespace

const char* DefaultLogTypeName(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kTypeNames)) ? kTypeNames[index] : "";
}

void ApplyDefaultLogSettings(LogSettings& settings) {
  settings.moduleToken = "KVOFWDL";
  for (int i = 0; i < kLogTypeCount; ++i) {
    settings.types[i] = LogTypeEntry{1u << i, DefaultLogTypeName(i)};
  }
  settings.enabledTypes = static_cast<uint32_t>(LogType::Error) |
                          static_cast<uint32_t>(LogType::Warning) |
                          static_cast<uint32_t>(LogType::Info);
  settings.debuggerEnabled = false;
  settings.debuggerPrefixes = kPrefixThreadId | kPrefixModuleToken | kPrefixType;
  settings.logFile.setPrefixFlags(kPrefixThreadId | kPrefixType | kPrefixTime);
  settings.logFileEnabled = false;
}

}  // namespace fwdl
