// Arbitrary bytes as a mix file: the checks never read outside the bytes, and what passes
// them has no more values than the chunk may hold.
#include <cstddef>
#include <cstdint>
#include <span>

#include "control_panel/mixer/mix_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kParameters = 181;
  const velmora::DecodedMixFile decoded =
      velmora::DecodeMixFile(std::span<const uint8_t>(data, size), kParameters);
  if (decoded.check == velmora::MixFileCheck::Ok && decoded.values.size() > kParameters) {
    __builtin_trap();
  }
  return 0;
}
