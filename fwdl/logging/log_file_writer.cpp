#include "fwdl/logging/log_file_writer.h"

#include <cerrno>

#include "fwdl/logging/library_log.h"
#include "platform/file_access.h"
#include "platform/paths.h"

namespace fwdl {

namespace {

// Appending keeps what earlier runs wrote; reading is allowed so a reader of the same stream
// can look back. Not inherited by child processes.
FILE* OpenForAppending(const std::string& path) {
  return platform::openFileForAppending(path);
}

bool Exists(const std::string& path) {
  return platform::fileSize(path).has_value();
}

}  // namespace

LogFileWriter::~LogFileWriter() {
  if (stream_ != nullptr) std::fclose(stream_);
}

bool LogFileWriter::Open(const std::string& path, uint32_t sizeLimit, bool checkEachEntry) {
  if (stream_ != nullptr && !Close()) {
    Log(LogType::Warning, "Open log file: closing previous log file failed.\n");
  }
  path_ = path;
  sizeLimit_ = sizeLimit;
  checkEachEntry_ = checkEachEntry;
  if (!BackupIfRequired()) {
    Log(LogType::Error, "Open log file: BackupIfRequired failed\n");
    return false;
  }
  Log(LogType::Info, "Open log file \"%s\" ...\n", path_.c_str());
  stream_ = OpenForAppending(path_);
  if (stream_ == nullptr) {
    Log(LogType::Error, "Open log file: couldn\xB4t open the log file \"%s\".\n", path_.c_str());
    return false;
  }
  return true;
}

bool LogFileWriter::Close() {
  if (stream_ == nullptr) {
    Log(LogType::Info, "Close: no open log file to close.\n");
    return true;
  }
  Log(LogType::Info, "Close: closing log file \"%s\" ...\n", path_.c_str());
  const bool closed = std::fclose(stream_) == 0;
  if (!closed) {
    Log(LogType::Error, "Close: an error occurred while closing log file \"%s\".\n", path_.c_str());
  }
  stream_ = nullptr;
  path_.clear();
  sizeLimit_ = 0;
  checkEachEntry_ = false;
  return closed;
}

bool LogFileWriter::WriteEntry(std::string_view line) {
  // Failures here go to the debugger output only: the log file is what just failed.
  if (stream_ == nullptr) {
    LogTo(kToDebugger, LogType::Error,
          "WriteEntry: couldn\xB4t write log file because there is no open file\n");
    return false;
  }
  const std::string text(line);
  if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) {
    LogTo(kToDebugger, LogType::Error, "WriteEntry: writing \"%s\" in the log file buffer failed\n",
          text.c_str());
    return false;
  }
  if (std::fflush(stream_) != 0) {
    LogTo(kToDebugger, LogType::Error, "WriteEntry: flushing \"%s\" in the log file failed\n",
          text.c_str());
    return false;
  }
  if (checkEachEntry_ && !BackupIfRequired()) {
    LogTo(kToDebugger, LogType::Error,
          "WriteEntry: BackupIfRequired failed after writing entry \"%s\" in the log file\n",
          text.c_str());
    return false;
  }
  return true;
}

bool LogFileWriter::BackupIfRequired() {
  // A backup in progress is reported to the debugger output only.
  const std::optional<uint64_t> size = platform::fileSize(path_);
  if (!size) {
    if (stream_ == nullptr) return true;  // nothing written yet
    LogTo(kToDebugger, LogType::Error, "BackupIfRequired: _stat failed for log file \"%s\"\n",
          path_.c_str());
    return false;
  }
  if (*size == 0 || *size <= sizeLimit_) return true;

  const bool wasOpen = stream_ != nullptr;
  if (wasOpen) {
    LogTo(kToDebugger, LogType::Info, "BackupIfRequired: closing current log file ...\n");
    if (std::fclose(stream_) != 0) {
      LogTo(kToDebugger, LogType::Warning,
            "BackupIfRequired: couldn\xB4t close current log file\n");
    }
    stream_ = nullptr;
  }
  const std::string backupPath = platform::replaceExtension(path_, "bak");
  if (Exists(backupPath)) {
    LogTo(kToDebugger, LogType::Info, "BackupIfRequired: deleting old backup file \"%s\" ...\n",
          backupPath.c_str());
    if (!platform::deleteFile(backupPath)) {
      LogTo(kToDebugger, LogType::Error,
            "BackupIfRequired: old backup file couldn\xB4t be deleted\n");
      return false;
    }
  }
  LogTo(kToDebugger, LogType::Info, "BackupIfRequired: creating new backup file \"%s\" ...\n",
        backupPath.c_str());
  if (!platform::renameFile(path_, backupPath)) {
    LogTo(kToDebugger, LogType::Error,
          "BackupIfRequired: couldn\xB4t rename current log file to create a backup\n");
    return false;
  }
  if (wasOpen) {
    LogTo(kToDebugger, LogType::Info, "opening new log file \"%s\" ...\n", path_.c_str());
    stream_ = OpenForAppending(path_);
    if (stream_ == nullptr) {
      LogTo(kToDebugger, LogType::Error, "couldn\xB4t open new log file \"%s\"\n", path_.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace fwdl
