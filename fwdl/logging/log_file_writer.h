// The library's log file: appended entry by entry, and renamed to one backup (extension
// "bak") once it grows past its size limit, so it never takes more than about twice the limit.
//
// LogFileWriter: the library log's file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fwdl/logging/log_types.h"

namespace fwdl {

class LogFileWriter {
 public:
  LogFileWriter() = default;
  ~LogFileWriter();
  LogFileWriter(const LogFileWriter&) = delete;
  LogFileWriter& operator=(const LogFileWriter&) = delete;

  // Opens `path` for appending after backing up an oversized file; a file already open is
  // closed first. `checkEachEntry` tests the size after every entry, not only here.
  bool Open(const std::string& path, uint32_t sizeLimit, bool checkEachEntry);

  // Closes the file; true also when none was open. The path and limits are forgotten.
  bool Close();

  // Appends `line` and flushes it.
  bool WriteEntry(std::string_view line);

  // Renames the file to the backup path when it is larger than the limit, replacing an older
  // backup, and reopens an empty file if it was open.
  bool BackupIfRequired();

  bool IsOpen() const { return stream_ != nullptr; }
  const std::string& path() const { return path_; }

  // LogPrefix bits of the lines written here.
  uint32_t prefixFlags() const { return prefixFlags_; }
  void setPrefixFlags(uint32_t flags) { prefixFlags_ = flags; }

 private:
  uint32_t prefixFlags_ = kPrefixThreadId | kPrefixType | kPrefixTime;
  std::string path_;
  uint32_t sizeLimit_ = 0;
  bool checkEachEntry_ = false;
  FILE* stream_ = nullptr;
};

}  // namespace fwdl
