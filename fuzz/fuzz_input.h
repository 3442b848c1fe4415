// Helpers the fuzz targets share for turning their input into what they feed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

}  // namespace fuzzing
