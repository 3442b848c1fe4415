// The velmora-simbus commands: serving the bus and controlling a running one.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "simbus/command_line.h"

namespace simbus::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CommandContext {
  std::string_view command;  // the command being run, for messages
  std::string socketPath;    // resolved: --socket, VELMORA_SIMBUS or the default
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

struct Command {
  std::string_view name;
  std::string_view usage;    // arguments after the command name
  std::string_view summary;  // one line for the command list
  std::string_view details;  // what the arguments and options mean
  std::span<const OptionSpec> options;
  int (*run)(const CommandContext& context, const ParsedArgs& args);
};

// Every command, in the order the help lists them.
std::span<const Command> commands();

// Runs velmora-simbus with `args` (without the program name); returns the exit code.
int runCommandLine(std::span<const std::string> args);

}  // namespace simbus::cli
