#include "platform/update_history.h"

#include <cstdio>

#include "platform/file_access.h"
#include "platform/paths.h"
#include "platform/thread_info.h"
#include "platform/unit_info_block.h"

namespace platform {

namespace {

// Download results the history calls good: success, and success with a restart wanted.
constexpr uint32_t kSucceeded = 0;
constexpr uint32_t kRebootRequired = 40;

}  // namespace

std::string updateHistoryPath() {
  const std::string folder = appDataFolder();
  return folder.empty() ? std::string() : joinPath(folder, "VelmoraProFirmwareHistory.txt");
}

std::string updateHistoryLine(const UpdateRecord& record) {
  char stamp[32] = "unknown time";
  if (const std::optional<LocalTime> now = localTimeNow()) {
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", now->year, now->month,
                  now->day, now->hour, now->minute, now->second);
  }
  const std::string before =
      record.before ? unit_info::formatFirmwareVersion(*record.before) : "boot loader";
  const std::string after =
      record.after ? unit_info::formatFirmwareVersion(*record.after) : "unknown";
  const char* verdict = record.status == kSucceeded        ? "succeeded"
                        : record.status == kRebootRequired ? "succeeded, restart required"
                                                           : "failed";
  char line[256];
  std::snprintf(line, sizeof line, "%s\tunit %u\tfrom %s\tto %s\tstatus %u %s", stamp,
                record.serial, before.c_str(), after.c_str(), record.status, verdict);
  return line;
}

bool appendUpdateHistory(const UpdateRecord& record) {
  const std::string path = updateHistoryPath();
  if (path.empty()) return false;
  FILE* file = openFileForAppending(path);
  if (file == nullptr) return false;
  const std::string line = updateHistoryLine(record) + "\n";
  // One write of the whole line: updates of several units may end at the same moment.
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace platform
