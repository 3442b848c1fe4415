// kwf: writes firmware files and describes them.
//   kwf build OUTPUT [options]   a firmware file of version 0 or 1 from its payload
//   kwf info FILE                every header field and whether the CRCs match
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/kwf/kwf_builder.h"
#include "tools/kwf/kwf_description.h"

namespace {

using tools::kwf::KwfSpec;

constexpr const char* kUsage =
    "usage: kwf build OUTPUT [options]\n"
    "       kwf info FILE\n"
    "\n"
    "build options (numbers in decimal or 0x hexadecimal):\n"
    "  --version 0|1                 file version (default 1)\n"
    "  --identifier XXXX             4 characters instead of the version's\n"
    "  --file-kind N                 (default 1)\n"
    "  --build-date YYYYMMDD         8 characters\n"
    "  --build-time 'HHMMSS  '       8 characters\n"
    "  --software-id N\n"
    "  --firmware-version N|X.Y.Z\n"
    "  --hardware-version N          CompatibleHardwareVersion\n"
    "  --vendor-id N                 NodeVendorId, 24 bits\n"
    "  --reserved N                  header byte 39\n"
    "  --file-version-field N        header word 40 (default: the version)\n"
    "  --info-text TEXT              text after the header, followed by a NUL\n"
    "  --info-text-raw TEXT          the same without the NUL\n"
    "  --image FILE | --image-generated LENGTH:SEED\n"
    "  --image-offset N  --image-address N  --image-length N  --image-crc N\n"
    "  --object2-offset N\n"
    "  --cne FILE | --cne-generated LENGTH:SEED\n"
    "  --cne-offset N  --cne-length N  --cne-crc N\n"
    "  --padding N                   N bytes 0xFF after the objects\n"
    "  --header-word OFFSET=VALUE    any header word, set before the header CRC\n"
    "  --header-crc N                stored instead of the right header CRC\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "kwf: %s\n\n%s", message.c_str(), kUsage);
  return 2;
}

std::optional<uint32_t> ParseNumber(std::string_view text) {
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(copy.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(value);
}

// A number, or X.Y.Z: major and minor in the upper two bytes, the build in the lower half.
std::optional<uint32_t> ParseFirmwareVersion(std::string_view text) {
  const size_t first = text.find('.');
  if (first == std::string_view::npos) return ParseNumber(text);
  const size_t second = text.find('.', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto major = ParseNumber(text.substr(0, first));
  const auto minor = ParseNumber(text.substr(first + 1, second - first - 1));
  const auto build = ParseNumber(text.substr(second + 1));
  if (!major || !minor || !build || *major > 0xFF || *minor > 0xFF || *build > 0xFFFF) {
    return std::nullopt;
  }
  return *major << 24 | *minor << 16 | *build;
}

std::optional<std::vector<uint8_t>> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

// LENGTH:SEED
std::optional<std::vector<uint8_t>> Generated(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto length = ParseNumber(text.substr(0, colon));
  const auto seed = ParseNumber(text.substr(colon + 1));
  if (!length || !seed) return std::nullopt;
  return tools::kwf::GeneratedPayload(*length, *seed);
}

// One option of "kwf build": it takes the option's value into the spec, or says what is wrong.
struct BuildOption {
  std::string_view name;
  std::function<std::optional<std::string>(KwfSpec&, const std::string&)> apply;
};

std::function<std::optional<std::string>(KwfSpec&, const std::string&)> Number(
    std::function<void(KwfSpec&, uint32_t)> store) {
  return [store](KwfSpec& spec, const std::string& text) -> std::optional<std::string> {
    const auto value = ParseNumber(text);
    if (!value) return "'" + text + "' is not a 32-bit number";
    store(spec, *value);
    return std::nullopt;
  };
}

std::optional<std::string> Payload(std::optional<std::vector<uint8_t>>& target,
                                   const std::string& text, bool generated) {
  target = generated ? Generated(text) : ReadFile(text);
  if (!target) return generated ? "'" + text + "' is not LENGTH:SEED" : "cannot read " + text;
  return std::nullopt;
}

const std::vector<BuildOption>& BuildOptions() {
  static const std::vector<BuildOption> options = {
      {"--version", Number([](KwfSpec& s, uint32_t v) { s.version = v; })},
      {"--identifier",
       [](KwfSpec& s, const std::string& t) -> std::optional<std::string> {
         s.identifier = t;
         return std::nullopt;
       }},
      {"--file-kind", Number([](KwfSpec& s, uint32_t v) { s.fileKind = v; })},
      {"--build-date",
       [](KwfSpec& s, const std::string& t) -> std::optional<std::string> {
         s.buildDate = t;
         return std::nullopt;
       }},
      {"--build-time",
       [](KwfSpec& s, const std::string& t) -> std::optional<std::string> {
         s.buildTime = t;
         return std::nullopt;
       }},
      {"--software-id", Number([](KwfSpec& s, uint32_t v) { s.softwareId = v; })},
      {"--firmware-version",
       [](KwfSpec& s, const std::string& t) -> std::optional<std::string> {
         const auto version = ParseFirmwareVersion(t);
         if (!version) return "'" + t + "' is not a number or X.Y.Z";
         s.firmwareVersion = *version;
         return std::nullopt;
       }},
      {"--hardware-version",
       Number([](KwfSpec& s, uint32_t v) { s.compatibleHardwareVersion = v; })},
      {"--vendor-id", Number([](KwfSpec& s, uint32_t v) { s.nodeVendorId = v; })},
      {"--reserved",
       [](KwfSpec& s, const std::string& t) -> std::optional<std::string> {
         const auto value = ParseNumber(t);
         if (!value || *value > 0xFF) return "'" + t + "' is not a byte";
         s.reserved = static_cast<uint8_t>(*value);
         return std::nullopt;
       }},
      {"--file-version-field", Number([](KwfSpec& s, uint32_t v) { s.fileVersionField = v; })},
      {"--info-text",
       [](KwfSpec& s, const std::string& t) -> std::optional<std::string> {
         s.infoText = t + '\0';
         return std::nullopt;
       }},
      {"--info-text-raw",
       [](KwfSpec& s, const std::string& t) -> std::optional<std::string> {
         s.infoText = t;
         return std::nullopt;
       }},
      {"--image", [](KwfSpec& s, const std::string& t) { return Payload(s.image1, t, false); }},
      {"--image-generated",
       [](KwfSpec& s, const std::string& t) { return Payload(s.image1, t, true); }},
      {"--image-offset", Number([](KwfSpec& s, uint32_t v) { s.image1Offset = v; })},
      {"--image-address", Number([](KwfSpec& s, uint32_t v) { s.image1Address = v; })},
      {"--image-length", Number([](KwfSpec& s, uint32_t v) { s.image1Length = v; })},
      {"--image-crc", Number([](KwfSpec& s, uint32_t v) { s.image1Crc = v; })},
      {"--object2-offset", Number([](KwfSpec& s, uint32_t v) { s.object2Offset = v; })},
      {"--cne", [](KwfSpec& s, const std::string& t) { return Payload(s.cnE, t, false); }},
      {"--cne-generated", [](KwfSpec& s, const std::string& t) { return Payload(s.cnE, t, true); }},
      {"--cne-offset", Number([](KwfSpec& s, uint32_t v) { s.cnEOffset = v; })},
      {"--cne-length", Number([](KwfSpec& s, uint32_t v) { s.cnELength = v; })},
      {"--cne-crc", Number([](KwfSpec& s, uint32_t v) { s.cnECrc = v; })},
      {"--padding",
       [](KwfSpec& s, const std::string& t) -> std::
                                                optional<std::string> {
                                                  const auto count = ParseNumber(t);
                                                  if (!count) return "'" + t + "' is not a count";
                                                  s.trailer.assign(*count, 0xFF);
                                                  return std::nullopt;
                                                }},
      {"--header-word",
       [](KwfSpec& s,
          const std::string& t) -> std::
                                    optional<std::string> {
                                      const size_t equals = t.find('=');
                                      const auto offset =
                                          ParseNumber(std::string_view(t).substr(0, equals));
                                      const auto value =
                                          equals == std::string::npos
                                              ? std::nullopt
                                              : ParseNumber(std::string_view(t).substr(equals + 1));
                                      if (!offset || !value)
                                        return "'" + t + "' is not OFFSET=VALUE";
                                      s.headerWords.emplace_back(*offset, *value);
                                      return std::nullopt;
                                    }},
      {"--header-crc", Number([](KwfSpec& s, uint32_t v) { s.headerCrc = v; })},
  };
  return options;
}

int Build(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("build needs an OUTPUT file");
  KwfSpec spec;
  for (size_t i = 1; i < args.size(); i += 2) {
    const BuildOption* option = nullptr;
    for (const BuildOption& candidate : BuildOptions()) {
      if (candidate.name == args[i]) option = &candidate;
    }
    if (option == nullptr) return UsageError("unknown option " + args[i]);
    if (i + 1 >= args.size()) return UsageError(args[i] + " needs a value");
    if (const auto problem = option->apply(spec, args[i + 1])) {
      return UsageError(args[i] + ": " + *problem);
    }
  }
  std::string error;
  const auto file = tools::kwf::BuildKwf(spec, &error);
  if (!file) return UsageError(error);
  if (!WriteFile(args[0], *file)) {
    std::fprintf(stderr, "kwf: cannot write %s\n", args[0].c_str());
    return 1;
  }
  return 0;
}

int Info(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("info takes one FILE");
  const auto file = ReadFile(args[0]);
  if (!file) {
    std::fprintf(stderr, "kwf: cannot read %s\n", args[0].c_str());
    return 1;
  }
  std::fputs(tools::kwf::DescribeKwf(*file).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return UsageError("a verb is missing");
  const std::string verb = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (verb == "build") return Build(args);
  if (verb == "info") return Info(args);
  if (verb == "--help" || verb == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  return UsageError("unknown verb " + verb);
}
