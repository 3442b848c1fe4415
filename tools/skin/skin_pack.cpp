// Packs the skin images of a folder, in the archive's directory order, into the skin archive
// that the control panel embeds as resource "PAL" 105:
//
//   skin-pack control_panel/resources/skin skin.pal
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/skin/archive_packer.h"
#include "tools/skin/skin_manifest.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skin-pack FOLDER ARCHIVE\n");
    return 2;
  }
  std::vector<velmora::skin::ArchiveItem> items;
  for (const velmora::skin::SkinImage& entry : velmora::skin::kSkinImages) {
    const std::string path = std::string(argv[1]) + "/" + entry.name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "skin-pack: cannot read %s\n", path.c_str());
      return 1;
    }
    items.push_back({entry.name, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})});
  }
  const std::vector<uint8_t> archive = velmora::skin::packArchive(items);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(archive.data()),
            static_cast<std::streamsize>(archive.size()));
  if (!out) {
    std::fprintf(stderr, "skin-pack: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
