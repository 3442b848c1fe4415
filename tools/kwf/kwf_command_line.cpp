#include "tools/kwf/kwf_command_line.h"

#include <cerrno>
#include <cstdlib>
#include <functional>

namespace tools::kwf {

namespace {

using Problem = std::optional<std::string>;
using Apply = std::function<Problem(KwfCommand&, const std::string&)>;

// One option of "kwf build": it takes the option's value into the command, or says what is
// wrong with it.
struct BuildOption {
  std::string_view name;
  Apply apply;
};

Apply Number(std::function<void(KwfSpec&, uint32_t)> store) {
  return [store](KwfCommand& command, const std::string& text) -> Problem {
    const auto value = ParseKwfNumber(text);
    if (!value) return "'" + text + "' is not a 32-bit number";
    store(command.spec, *value);
    return std::nullopt;
  };
}

Apply Text(std::function<void(KwfSpec&, const std::string&)> store) {
  return [store](KwfCommand& command, const std::string& text) -> Problem {
    store(command.spec, text);
    return std::nullopt;
  };
}

// --image FILE and the like: the file is read when the command runs.
Apply FileSource(std::optional<PayloadSource> KwfCommand::*target, std::string_view option) {
  return [target, option](KwfCommand& command, const std::string& text) -> Problem {
    command.*target = PayloadSource{std::string(option), text};
    return std::nullopt;
  };
}

// --image-generated LENGTH:SEED and the like: the bytes are made when the command runs.
Apply GeneratedSource(std::optional<PayloadSource> KwfCommand::*target, std::string_view option) {
  return [target, option](KwfCommand& command, const std::string& text) -> Problem {
    const size_t colon = text.find(':');
    const auto length =
        colon == std::string::npos ? std::nullopt : ParseKwfNumber(text.substr(0, colon));
    const auto seed =
        colon == std::string::npos ? std::nullopt : ParseKwfNumber(text.substr(colon + 1));
    if (!length || !seed) return "'" + text + "' is not LENGTH:SEED";
    command.*target = PayloadSource{std::string(option), "", true, *length, *seed};
    return std::nullopt;
  };
}

const std::vector<BuildOption>& BuildOptions() {
  static const std::vector<BuildOption> options = {
      {"--version", Number([](KwfSpec& s, uint32_t v) { s.version = v; })},
      {"--identifier", Text([](KwfSpec& s, const std::string& t) { s.identifier = t; })},
      {"--file-kind", Number([](KwfSpec& s, uint32_t v) { s.fileKind = v; })},
      {"--build-date", Text([](KwfSpec& s, const std::string& t) { s.buildDate = t; })},
      {"--build-time", Text([](KwfSpec& s, const std::string& t) { s.buildTime = t; })},
      {"--software-id", Number([](KwfSpec& s, uint32_t v) { s.softwareId = v; })},
      {"--firmware-version",
       [](KwfCommand& c, const std::string& t) -> Problem {
         const auto version = ParseFirmwareVersion(t);
         if (!version) return "'" + t + "' is not a number or X.Y.Z";
         c.spec.firmwareVersion = *version;
         return std::nullopt;
       }},
      {"--hardware-version",
       Number([](KwfSpec& s, uint32_t v) { s.compatibleHardwareVersion = v; })},
      {"--vendor-id", Number([](KwfSpec& s, uint32_t v) { s.nodeVendorId = v; })},
      {"--reserved",
       [](KwfCommand& c, const std::string& t) -> Problem {
         const auto value = ParseKwfNumber(t);
         if (!value || *value > 0xFF) return "'" + t + "' is not a byte";
         c.spec.reserved = static_cast<uint8_t>(*value);
         return std::nullopt;
       }},
      {"--file-version-field", Number([](KwfSpec& s, uint32_t v) { s.fileVersionField = v; })},
      {"--info-text", Text([](KwfSpec& s, const std::string& t) { s.infoText = t + '\0'; })},
      {"--info-text-raw", Text([](KwfSpec& s, const std::string& t) { s.infoText = t; })},
      {"--image", FileSource(&KwfCommand::image, "--image")},
      {"--image-generated", GeneratedSource(&KwfCommand::image, "--image-generated")},
      {"--image-offset", Number([](KwfSpec& s, uint32_t v) { s.image1Offset = v; })},
      {"--image-address", Number([](KwfSpec& s, uint32_t v) { s.image1Address = v; })},
      {"--image-length", Number([](KwfSpec& s, uint32_t v) { s.image1Length = v; })},
      {"--image-crc", Number([](KwfSpec& s, uint32_t v) { s.image1Crc = v; })},
      {"--object2-offset", Number([](KwfSpec& s, uint32_t v) { s.object2Offset = v; })},
      {"--cne", FileSource(&KwfCommand::cne, "--cne")},
      {"--cne-generated", GeneratedSource(&KwfCommand::cne, "--cne-generated")},
      {"--cne-offset", Number([](KwfSpec& s, uint32_t v) { s.cnEOffset = v; })},
      {"--cne-length", Number([](KwfSpec& s, uint32_t v) { s.cnELength = v; })},
      {"--cne-crc", Number([](KwfSpec& s, uint32_t v) { s.cnECrc = v; })},
      {"--padding",
       [](KwfCommand& c, const std::string& t) -> Problem {
         const auto count = ParseKwfNumber(t);
         if (!count) return "'" + t + "' is not a count";
         c.padding = *count;
         return std::nullopt;
       }},
      {"--header-word",
       [](KwfCommand& c, const std::string& t) -> Problem {
         const size_t equals = t.find('=');
         const auto offset = ParseKwfNumber(std::string_view(t).substr(0, equals));
         const auto value = equals == std::string::npos
                                ? std::nullopt
                                : ParseKwfNumber(std::string_view(t).substr(equals + 1));
         if (!offset || !value) return "'" + t + "' is not OFFSET=VALUE";
         c.spec.headerWords.emplace_back(*offset, *value);
         return std::nullopt;
       }},
      {"--header-crc", Number([](KwfSpec& s, uint32_t v) { s.headerCrc = v; })},
  };
  return options;
}

std::optional<KwfCommand> ParseBuild(const std::vector<std::string>& args, std::string& error) {
  if (args.size() < 2) {
    error = "build needs an OUTPUT file";
    return std::nullopt;
  }
  KwfCommand command;
  command.verb = KwfCommand::Verb::Build;
  command.path = args[1];
  for (size_t i = 2; i < args.size(); i += 2) {
    const BuildOption* option = nullptr;
    for (const BuildOption& candidate : BuildOptions()) {
      if (candidate.name == args[i]) option = &candidate;
    }
    if (option == nullptr) {
      error = "unknown option " + args[i];
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = args[i] + " needs a value";
      return std::nullopt;
    }
    if (const Problem problem = option->apply(command, args[i + 1])) {
      error = args[i] + ": " + *problem;
      return std::nullopt;
    }
  }
  return command;
}

}  // namespace

std::optional<uint32_t> ParseKwfNumber(std::string_view text) {
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(copy.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::optional<uint32_t> ParseFirmwareVersion(std::string_view text) {
  const size_t first = text.find('.');
  if (first == std::string_view::npos) return ParseKwfNumber(text);
  const size_t second = text.find('.', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto major = ParseKwfNumber(text.substr(0, first));
  const auto minor = ParseKwfNumber(text.substr(first + 1, second - first - 1));
  const auto build = ParseKwfNumber(text.substr(second + 1));
  if (!major || !minor || !build || *major > 0xFF || *minor > 0xFF || *build > 0xFFFF) {
    return std::nullopt;
  }
  return *major << 24 | *minor << 16 | *build;
}

std::optional<KwfCommand> ParseKwfCommandLine(const std::vector<std::string>& args,
                                              std::string& error) {
  if (args.empty()) {
    error = "a verb is missing";
    return std::nullopt;
  }
  const std::string& verb = args[0];
  if (verb == "build") return ParseBuild(args, error);
  if (verb == "info") {
    if (args.size() != 2) {
      error = "info takes one FILE";
      return std::nullopt;
    }
    KwfCommand command;
    command.verb = KwfCommand::Verb::Info;
    command.path = args[1];
    return command;
  }
  if (verb == "--help" || verb == "-h") return KwfCommand{};
  error = "unknown verb " + verb;
  return std::nullopt;
}

}  // namespace tools::kwf
