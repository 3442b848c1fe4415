#include "simbus/command_line.h"

#include <algorithm>
#include <array>

#include "platform/number_text.h"

namespace simbus::cli {

const std::string* ParsedArgs::value(std::string_view option) const {
  const auto it = values.find(option);
  return it == values.end() ? nullptr : &it->second;
}

std::optional<ParsedArgs> parseArgs(std::span<const std::string> args,
                                    std::span<const OptionSpec> options, std::string* error) {
  ParsedArgs parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      continue;
    }
    if (!arg.starts_with("--")) {
      parsed.positional.push_back(arg);
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const auto spec = std::find_if(options.begin(), options.end(),
                                   [&](const OptionSpec& o) { return o.name == name; });
    if (spec == options.end()) {
      *error = "unknown option " + name;
      return std::nullopt;
    }
    if (!spec->takesValue) {
      if (equals != std::string::npos) {
        *error = name + " takes no value";
        return std::nullopt;
      }
      parsed.values[name] = "";
      continue;
    }
    if (equals != std::string::npos) {
      parsed.values[name] = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      parsed.values[name] = args[++i];
    } else {
      *error = name + " needs a value";
      return std::nullopt;
    }
  }
  return parsed;
}

std::optional<uint32_t> parseNumber(std::string_view text) {
  return platform::parseUnsigned32(text);
}

std::optional<bool> parseOnOff(std::string_view text) {
  struct Word {
    std::string_view text;
    bool value;
  };
  static constexpr std::array kWords{Word{"on", true},  Word{"off", false}, Word{"yes", true},
                                     Word{"no", false}, Word{"true", true}, Word{"false", false},
                                     Word{"1", true},   Word{"0", false}};
  for (const Word& w : kWords) {
    if (w.text == text) return w.value;
  }
  return std::nullopt;
}

}  // namespace simbus::cli
