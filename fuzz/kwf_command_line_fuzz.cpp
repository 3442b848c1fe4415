// Arbitrary kwf command lines: the input is split at NUL bytes into arguments and taken apart
// by the tool's parser only, so nothing is read, written or generated. Parsing never crashes,
// and what it accepts is what was given: the verb's own arguments, every build option with a
// value, a payload source naming the option it came from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tools/kwf/kwf_command_line.h"

namespace {

void CheckSource(const std::optional<tools::kwf::PayloadSource>& source, const char* option) {
  if (!source) return;
  const std::string file = option;
  fuzzing::Require(source->option == (source->generated ? file + "-generated" : file));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = fuzzing::SplitArguments(data, size);
  std::string error;
  const auto command = tools::kwf::ParseKwfCommandLine(args, error);
  if (!command) {
    fuzzing::Require(!error.empty());
  } else {
    using Verb = tools::kwf::KwfCommand::Verb;
    switch (command->verb) {
      case Verb::Build:
        fuzzing::Require(args[0] == "build" && args.size() % 2 == 0 && command->path == args[1]);
        CheckSource(command->image, "--image");
        CheckSource(command->cne, "--cne");
        break;
      case Verb::Info:
        fuzzing::Require(args[0] == "info" && args.size() == 2 && command->path == args[1]);
        break;
      case Verb::Help:
        fuzzing::Require(args[0] == "--help" || args[0] == "-h");
        break;
    }
  }
  for (const std::string& arg : args) {
    tools::kwf::ParseKwfNumber(arg);
    tools::kwf::ParseFirmwareVersion(arg);
  }
  return 0;
}
