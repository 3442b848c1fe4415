// Argument parsing for the velmora-simbus commands: options by table, numbers, switches.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace simbus::cli {

struct OptionSpec {
  std::string_view name;  // with its dashes: "--serial"
  bool takesValue = true;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;  // option -> value ("" for a flag)
  bool help = false;

  bool has(std::string_view option) const { return values.contains(option); }
  const std::string* value(std::string_view option) const;
};

// Splits `args` into options of `options` ("--name value" or "--name=value") and positional
// arguments; "--help" and "-h" set `help`. nullopt with a one-line reason for an unknown
// option, a missing value or a value given to a flag.
std::optional<ParsedArgs> parseArgs(std::span<const std::string> args,
                                    std::span<const OptionSpec> options, std::string* error);

// An unsigned 32-bit number in decimal or with a 0x prefix in hexadecimal.
std::optional<uint32_t> parseNumber(std::string_view text);

// "on"/"off" (also "yes"/"no", "true"/"false", "1"/"0").
std::optional<bool> parseOnOff(std::string_view text);

}  // namespace simbus::cli
