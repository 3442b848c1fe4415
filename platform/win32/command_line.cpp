#include "platform/win32/command_line.h"

#include "platform/win_error.h"

namespace platform::win32 {

namespace {

void appendQuoted(std::string& line, const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
    line.append(word);
    return;
  }
  line.push_back('"');
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only in front of a quote.
    line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    line.push_back(c);
  }
  line.append(backslashes * 2, '\\');
  line.push_back('"');
}

}  // namespace

std::string buildCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line.push_back(' ');
    appendQuoted(line, word);
  }
  return line;
}

uint32_t shellExecuteError(intptr_t result) {
  switch (result) {
    case 0:
    case 8:  // SE_ERR_OOM
      return win_error::NotEnoughMemory;
    case 2:  // SE_ERR_FNF
      return win_error::FileNotFound;
    case 3:  // SE_ERR_PNF
      return win_error::PathNotFound;
    case 5:  // SE_ERR_ACCESSDENIED
      return win_error::AccessDenied;
    case 11:  // ERROR_BAD_FORMAT
      return win_error::BadExeFormat;
    default:
      return win_error::GenFailure;
  }
}

}  // namespace platform::win32
