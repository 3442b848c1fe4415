// kwf: writes firmware files and describes them.
//   kwf build OUTPUT [options]   a firmware file of version 0 or 1 from its payload
//   kwf info FILE                every header field and whether the CRCs match
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tools/kwf/kwf_builder.h"
#include "tools/kwf/kwf_command_line.h"
#include "tools/kwf/kwf_description.h"

namespace {

using tools::kwf::KwfCommand;
using tools::kwf::PayloadSource;

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

// An object's bytes from where the command line said; nullopt when its file cannot be read.
std::optional<std::vector<uint8_t>> Payload(const PayloadSource& source) {
  if (source.generated) return tools::kwf::GeneratedPayload(source.length, source.seed);
  return ReadFile(source.file);
}

int Build(KwfCommand command) {
  for (auto [source, target] : {std::pair{&command.image, &command.spec.image1},
                                std::pair{&command.cne, &command.spec.cnE}}) {
    if (!*source) continue;
    *target = Payload(**source);
    if (!*target) return UsageError((*source)->option + ": cannot read " + (*source)->file);
  }
  if (command.padding) command.spec.trailer.assign(*command.padding, 0xFF);
  std::string error;
  const auto file = tools::kwf::BuildKwf(command.spec, &error);
  if (!file) return UsageError(error);
  if (!WriteFile(command.path, *file)) {
    std::fprintf(stderr, "kwf: cannot write %s\n", command.path.c_str());
    return 1;
  }
  return 0;
}

int Info(const std::string& path) {
  const auto file = ReadFile(path);
  if (!file) {
    std::fprintf(stderr, "kwf: cannot read %s\n", path.c_str());
    return 1;
  }
  std::fputs(tools::kwf::DescribeKwf(*file).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<KwfCommand> command =
      tools::kwf::ParseKwfCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!command) return UsageError(error);
  switch (command->verb) {
    case KwfCommand::Verb::Build:
      return Build(*command);
    case KwfCommand::Verb::Info:
      return Info(command->path);
    case KwfCommand::Verb::Help:
      break;
  }
  std::fputs(kUsage, stdout);
  return 0;
}
