#include "fwdl/logging/log_line.h"

#include <cstdio>

#include "fwdl/logging/log_types.h"
#include "platform/thread_info.h"

namespace fwdl {

namespace {

constexpr std::string_view kFaultyEntry = "_____FAULTY_LOG_ENTRY: ";

// Appends parts up to a fixed capacity; a part that does not fit is cut.
class BoundedText {
 public:
  explicit BoundedText(size_t capacity) : capacity_(capacity) { text_.reserve(capacity); }

  void append(std::string_view part) {
    const size_t room = capacity_ - text_.size();
    text_.append(part.substr(0, room));
  }

  std::string take() { return std::move(text_); }

 private:
  size_t capacity_;
  std::string text_;
};

}  // namespace

std::optional<LogTime> CurrentLogTime() {
  const auto now = platform::localTimeNow();
  if (!now) return std::nullopt;
  return LogTime{now->hour, now->minute, now->second, now->millisecond};
}

uint32_t CurrentThreadId() {
  return platform::currentThreadId();
}

std::string BuildLogLine(const LinePrefix& prefix, std::string_view text) {
  BoundedText line(kMaxLogLine);
  char part[64];
  if (prefix.flags & kPrefixThreadId) {
    std::snprintf(part, sizeof part, "[T0x%x] ", prefix.threadId);
    line.append(part);
  }
  if (prefix.flags & kPrefixTime) {
    if (prefix.time) {
      std::snprintf(part, sizeof part, "%02i:%02i:%02i:%03u", prefix.time->hour,
                    prefix.time->minute, prefix.time->second, prefix.time->millisecond);
      line.append(part);
    } else {
      line.append("Unknown time");
    }
    line.append("  ");
  }
  if (prefix.flags & kPrefixModuleToken) {
    line.append(prefix.moduleToken);
    line.append(": ");
  }
  if (prefix.flags & kPrefixType) {
    line.append(prefix.typeName);
    line.append(": ");
  }
  line.append(text);
  return line.take();
}

std::string FormatEntryText(const char* format, va_list args) {
  char text[kMaxEntryText + 1];
  if (std::vsnprintf(text, sizeof text, format, args) >= 0) return text;
  std::string faulty(kFaultyEntry);
  faulty.append(std::string_view(format).substr(0, kMaxEntryText - faulty.size()));
  return faulty;
}

}  // namespace fwdl
