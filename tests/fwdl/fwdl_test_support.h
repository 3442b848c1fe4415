// Files and log reading for the firmware library's tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fwdl::test {

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The entries of a log file written with the default log-file prefixes (thread id, time,
// type), each as "TYPE: text" without its line end.
inline std::vector<std::string> LogEntries(const std::string& path) {
  static const std::regex prefix(R"(^\[T0x[0-9a-f]+\] \d\d:\d\d:\d\d:\d\d\d  )");
  std::vector<std::string> entries;
  std::istringstream lines(ReadText(path));
  for (std::string line; std::getline(lines, line);) {
    entries.push_back(
        std::regex_replace(line, prefix, "", std::regex_constants::format_first_only));
  }
  return entries;
}

}  // namespace fwdl::test
