// The kwf command line taken apart into what is to be done, before any file is read or written
// or any payload made, so that parsing can be tested and fuzzed on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/kwf/kwf_builder.h"

namespace tools::kwf {

// Where an object's bytes come from: a file, or LENGTH bytes of the sequence SEED.
struct PayloadSource {
  std::string option;  // as given ("--image", "--cne-generated"), for messages
  std::string file;    // when not generated
  bool generated = false;
  uint32_t length = 0;
  uint32_t seed = 0;
};

struct KwfCommand {
  enum class Verb { Build, Info, Help };
  Verb verb = Verb::Help;
  std::string path;  // build: OUTPUT; info: FILE
  // build: every option but the objects' bytes and the padding, which the run adds.
  KwfSpec spec;
  std::optional<PayloadSource> image;
  std::optional<PayloadSource> cne;
  std::optional<uint32_t> padding;  // bytes 0xFF after the objects
};

// The command `args` (the arguments after the program name) asks for; nullopt, with the
// message in `error`, for a usage error.
std::optional<KwfCommand> ParseKwfCommandLine(const std::vector<std::string>& args,
                                              std::string& error);

// A 32-bit number in decimal or 0x hexadecimal, nothing else around it.
std::optional<uint32_t> ParseKwfNumber(std::string_view text);

// A number, or X.Y.Z: major and minor in the upper two bytes, the build in the lower half.
std::optional<uint32_t> ParseFirmwareVersion(std::string_view text);

}  // namespace tools::kwf
