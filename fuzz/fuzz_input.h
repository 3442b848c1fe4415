// Helpers the fuzz targets share for turning their input into what they feed.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/paths.h"

namespace fuzzing {

// The input split at NUL bytes into command-line arguments (at least one, maybe empty).
inline std::vector<std::string> SplitArguments(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back().push_back(static_cast<char>(data[i]));
    }
  }
  return args;
}

// Ends the run as a crash when `condition` does not hold: a finding, not an exception.
inline void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// Hands out the fuzz input piece by piece; zeros once used up.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // Four bytes, most significant first.
  uint32_t word() {
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w = w << 8 | byte();
    return w;
  }
  // Up to `max` bytes into `out`; how many there were.
  size_t take(uint8_t* out, size_t max) {
    const size_t n = std::min(max, size_ - pos_);
    if (n > 0) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return n;
  }
  bool empty() const { return pos_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// A file in the temporary folder that each input is written to, for parsers that read files;
// one per process, removed at exit.
class InputFile {
 public:
  explicit InputFile(const char* prefix) {
    std::string pattern =
        platform::joinPath(platform::tempFolder(), std::string(prefix) + "-XXXXXX");
    const int fd = mkstemp(pattern.data());
    if (fd >= 0) {
      close(fd);
      path_ = pattern;
    }
  }
  ~InputFile() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Replaces the file's contents with the input; false when it cannot.
  bool write(const uint8_t* data, size_t size) const {
    if (path_.empty()) return false;
    const int fd = open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const bool whole = size == 0 || ::write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    return whole;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace fuzzing
