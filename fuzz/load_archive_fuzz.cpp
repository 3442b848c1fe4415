// Arbitrary bytes as a skin archive: loading reads nothing outside the data, and every entry
// it keeps can be found and decoded.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/skin_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size > 0 ? size : 1]);
  if (size > 0) std::memcpy(bytes.get(), data, size);
  velmora::loadArchive(bytes.get(), size);
  bytes.reset();  // the loader keeps copies only
  for (int i = 0; i < velmora::archiveEntryCount(); ++i) {
    const std::string name = velmora::archiveEntryName(i);
    const velmora::ArchiveData entry = velmora::findEntry(name.c_str());
    if (entry.data != nullptr && entry.length > 0) {
      volatile uint8_t last = entry.data[entry.length - 1];
      (void)last;
    }
    velmora::getNamedBitmap((name + "\nnext line").c_str());
  }
  velmora::releaseNamedBitmaps();
  velmora::loadArchive(nullptr, 0);
  return 0;
}
