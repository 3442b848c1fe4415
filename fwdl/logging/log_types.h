// The vocabulary of the library log: entry types, destinations and line prefixes.
#pragma once

#include <cstdint>

namespace fwdl {

// Type i of the 32 log types is the bit 1 << i; the library uses the first four.
enum class LogType : uint32_t {
  Error = 1u << 0,    // a failure
  Warning = 1u << 1,  // a note that does not fail
  Info = 1u << 2,     // function entries, steps, progress
  Data = 1u << 3,     // the transport level
};

inline constexpr int kLogTypeCount = 32;

// Where an entry goes.
enum LogDestination : uint32_t {
  kToDebugger = 1u << 0,
  kToLogFile = 1u << 1,
  kToBoth = kToDebugger | kToLogFile,
};

// Parts in front of an entry's text, the same bits for both destinations.
enum LogPrefix : uint32_t {
  kPrefixThreadId = 0x02,
  kPrefixModuleToken = 0x04,
  kPrefixType = 0x08,
  kPrefixTime = 0x10,
};

// Longest entry text (a terminator would follow) and longest line built from it.
inline constexpr size_t kMaxEntryText = 1023;
inline constexpr size_t kMaxLogLine = 1095;

// Longest module token and type name.
inline constexpr size_t kMaxLogName = 19;

// The size limit of a log file chosen through the exported interface, and the default one.
inline constexpr uint32_t kDefaultLogFileSizeLimit = 5000000;

}  // namespace fwdl
