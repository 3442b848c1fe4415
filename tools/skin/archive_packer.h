// Builds a skin archive: N, the directory of (name offset, block offset) pairs, the names
// right after the directory, then the data blocks in directory order without gaps; every
// integer big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::skin {

struct ArchiveItem {
  std::string name;
  std::vector<uint8_t> content;
};

std::vector<uint8_t> packArchive(const std::vector<ArchiveItem>& items);

}  // namespace velmora::skin
