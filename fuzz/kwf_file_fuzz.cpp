// Arbitrary bytes as a firmware file: opening, describing and loading never crash, and a file
// that opens streams back exactly its own bytes.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fwdl/kwf_file.h"
#include "platform/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzzing::InputFile input("kwf-fuzz");
  if (!input.write(data, size)) return 0;

  fwdl::KwfFile file;
  if (file.Open(input.path()) != KVOFWDL_STATUS_SUCCESS) return 0;
  KVOFWDL_KWF_FILE_INFO info;
  if (file.GetFileInfo(info) != KVOFWDL_STATUS_SUCCESS ||
      info.InfoText[KVOFWDL_KWF_FILE_INFO_TEXT_SIZE - 1] != 0) {
    __builtin_trap();
  }
  std::span<const uint8_t> object;
  // Any status will do for fuzzed input; only crashes and leaks count.
  static_cast<void>(file.GetImage1(object));
  static_cast<void>(file.GetCnE(object));

  if (file.ResetFilePtr() != KVOFWDL_STATUS_SUCCESS) __builtin_trap();
  std::vector<uint8_t> streamed;
  uint8_t block[4096];
  uint32_t received = 0;
  do {
    if (file.Read(block, sizeof block, received) != KVOFWDL_STATUS_SUCCESS) __builtin_trap();
    streamed.insert(streamed.end(), block, block + received);
  } while (received == sizeof block);
  if (streamed.size() != size || (size != 0 && std::memcmp(streamed.data(), data, size) != 0)) {
    __builtin_trap();
  }
  return 0;
}
