// Arbitrary command lines: the input is split at NUL bytes into arguments and handed to the
// argument parsers of velmora-simbus (with every command's own option table) and velmoractl,
// and its first argument is taken as a VELMORA_SIMBUS value. Parsing never crashes, and what
// it accepts is consistent: a parsed option is one of the table, a JSON string is quoted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "fuzz/fuzz_input.h"
#include "simbus/backend.h"
#include "simbus/command_line.h"
#include "simbus/control_commands.h"

namespace {

void FuzzSimbusArguments(const std::vector<std::string>& args) {
  for (const simbus::cli::Command& command : simbus::cli::commands()) {
    std::string error;
    const auto parsed = simbus::cli::parseArgs(args, command.options, &error);
    if (!parsed) continue;
    for (const auto& [option, value] : parsed->values) {
      bool known = false;
      for (const simbus::cli::OptionSpec& spec : command.options) known |= spec.name == option;
      if (!known) __builtin_trap();
    }
  }
  for (const std::string& arg : args) {
    simbus::cli::parseNumber(arg);
    simbus::cli::parseOnOff(arg);
  }
}

void FuzzVelmoractlArguments(const std::vector<std::string>& args) {
  velmoractl::Args rest = args;
  std::string error;
  velmoractl::takeOption(rest, "--unit", error);
  velmoractl::takeFlag(rest, "--json");
  if (rest.size() > args.size()) __builtin_trap();
  for (const std::string& arg : args) {
    velmoractl::parseNumber(arg);
    const std::string json = velmoractl::jsonString(arg);
    if (json.size() < 2 || json.front() != '"' || json.back() != '"') __builtin_trap();
  }
}

void FuzzBusSelection(const std::string& value) {
  simbus::parseInprocUnits(value);
  if (!simbus::selectsInprocBus(value)) return;
  std::string error;
  // Each listed unit is plugged: keep the lists short.
  if (value.size() < 200) simbus::makeInprocBus(value, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = fuzzing::SplitArguments(data, size);
  FuzzSimbusArguments(args);
  FuzzVelmoractlArguments(args);
  FuzzBusSelection(args.front());
  return 0;
}
