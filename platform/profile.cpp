#include "platform/profile.h"

#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr size_t kMaxFileSize = size_t{4} << 20;
constexpr std::string_view kWhitespace = " \t\r\v\f";

std::string_view trim(std::string_view text) {
  const size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kWhitespace);
  return text.substr(first, last - first + 1);
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\'')) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult readFile(const std::string& path, std::string& content) {
  content.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<size_t>(status.st_size) > kMaxFileSize) {
    close(fd);
    return ReadResult::Failed;
  }
  char buffer[8192];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || content.size() + static_cast<size_t>(got) > kMaxFileSize) {
      close(fd);
      return ReadResult::Failed;
    }
    if (got == 0) break;
    content.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return ReadResult::Ok;
}

enum class LineKind { Other, Section, Entry };

// One line of the file as offsets into its text, so that a write can splice a single line
// and leave every other byte alone.
struct Line {
  size_t begin = 0;    // first character
  size_t textEnd = 0;  // the line ending starts here
  size_t end = 0;      // first character of the next line
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // an entry's value, trimmed
};

Line classify(std::string_view content, size_t begin, size_t textEnd, size_t end) {
  Line line;
  line.begin = begin;
  line.textEnd = textEnd;
  line.end = end;
  const std::string_view text = trim(content.substr(begin, textEnd - begin));
  if (text.empty() || text.front() == ';') return line;
  if (text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return line;
    line.kind = LineKind::Section;
    line.name = trim(text.substr(1, close - 1));
    return line;
  }
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0) return line;
  line.kind = LineKind::Entry;
  line.name = trim(text.substr(0, equals));
  line.value = trim(text.substr(equals + 1));
  return line;
}

std::vector<Line> parse(std::string_view content) {
  std::vector<Line> lines;
  // A UTF-8 byte-order mark belongs to no line.
  size_t begin = content.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (begin < content.size()) {
    const size_t newline = content.find('\n', begin);
    const size_t end = newline == std::string_view::npos ? content.size() : newline + 1;
    size_t textEnd = newline == std::string_view::npos ? content.size() : newline;
    if (textEnd > begin && content[textEnd - 1] == '\r') --textEnd;
    lines.push_back(classify(content, begin, textEnd, end));
    begin = end;
  }
  return lines;
}

// Index of the first header named `section`, or lines.size().
size_t findSection(const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::Section && sameName(lines[i].name, section)) return i;
  }
  return lines.size();
}

// One past the last line of the section whose header is at `header`.
size_t sectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
  return i;
}

std::optional<std::string_view> findValue(const std::vector<Line>& lines, std::string_view section,
                                          std::string_view key) {
  const size_t header = findSection(lines, section);
  if (header == lines.size()) return std::nullopt;
  const size_t end = sectionEnd(lines, header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines[i].kind == LineKind::Entry && sameName(lines[i].name, key)) return lines[i].value;
  }
  return std::nullopt;
}

bool validSection(std::string_view section) {
  return !section.empty() && section.find_first_of("]\r\n") == std::string_view::npos;
}

bool validKey(std::string_view key) {
  return !key.empty() && key.front() != ';' && key.front() != '[' &&
         key.find_first_of("=\r\n") == std::string_view::npos;
}

// The text of the file after setting the key, keeping the file's own line endings.
std::string withKey(const std::string& content, std::string_view section, std::string_view key,
                    std::string_view value) {
  const std::vector<Line> lines = parse(content);
  const std::string_view eol =
      !lines.empty() && lines.front().end - lines.front().textEnd == 2 ? "\r\n" : "\n";
  const std::string entry = std::string(key) + "=" + std::string(value);

  const size_t header = findSection(lines, section);
  if (header == lines.size()) {
    std::string result = content;
    if (!result.empty() && result.back() != '\n') result.append(eol);
    result.append("[").append(section).append("]").append(eol);
    return result.append(entry).append(eol);
  }

  const size_t end = sectionEnd(lines, header);
  size_t insertAfter = header;
  for (size_t i = header + 1; i < end; ++i) {
    const Line& line = lines[i];
    if (line.kind == LineKind::Entry && sameName(line.name, key)) {
      // Only the value changes; the key's spelling and the spacing around '=' stay.
      size_t valueStart = content.find('=', line.begin) + 1;
      while (valueStart < line.textEnd &&
             (content[valueStart] == ' ' || content[valueStart] == '\t')) {
        ++valueStart;
      }
      return content.substr(0, valueStart) + std::string(value) + content.substr(line.textEnd);
    }
    if (!trim(std::string_view(content).substr(line.begin, line.textEnd - line.begin)).empty()) {
      insertAfter = i;
    }
  }
  // New keys go after the section's last non-blank line, so blank lines before the next
  // section stay where they are.
  const Line& anchor = lines[insertAfter];
  std::string inserted = anchor.end == anchor.textEnd ? std::string(eol) : std::string();
  inserted.append(entry).append(eol);
  return content.substr(0, anchor.end) + inserted + content.substr(anchor.end);
}

// Serialises read-modify-write cycles of this process.
std::mutex writeMutex;

}  // namespace

std::string getProfileString(const std::string& file, std::string_view section,
                             std::string_view key, std::string_view defaultValue) {
  std::string content;
  if (readFile(file, content) != ReadResult::Ok) return std::string(defaultValue);
  const std::vector<Line> lines = parse(content);
  const auto value = findValue(lines, trim(section), trim(key));
  return std::string(value ? unquote(*value) : defaultValue);
}

uint32_t getProfileInt(const std::string& file, std::string_view section, std::string_view key,
                       uint32_t defaultValue) {
  const std::string value = getProfileString(file, section, key, "");
  if (value.empty()) return defaultValue;
  size_t i = 0;
  const bool negative = value[0] == '-';
  if (value[0] == '-' || value[0] == '+') ++i;
  uint32_t number = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    number = number * 10 + static_cast<uint32_t>(value[i] - '0');
  }
  return negative ? 0u - number : number;
}

bool writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  section = trim(section);
  key = trim(key);
  if (!validSection(section) || !validKey(key) ||
      value.find_first_of("\r\n") != std::string_view::npos) {
    return false;
  }
  std::lock_guard lock(writeMutex);
  std::string content;
  if (readFile(file, content) == ReadResult::Failed) return false;
  return replaceFileContents(file, withKey(content, section, key, value));
}

}  // namespace platform
