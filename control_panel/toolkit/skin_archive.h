// The skin archive: every image of the panel, by name, in one blob the program carries
// (resource "PAL" 105). Big-endian: N, then N pairs (name offset, block offset); a block is
// the content length L, a reserved word and L bytes of content (a BMP file).
//
// Loaded once at start-up, before any layout is built; the entries stay until exit (or the
// next loadArchive). User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

struct ArchiveData {
  const uint8_t* data = nullptr;  // none when the entry is not there or has no content
  uint32_t length = 0;
};

// Replaces the loaded entries with those of `bytes` (copied; the bytes are not retained).
// Entries whose directory slot, name or block lies outside the `size` bytes are skipped.
void loadArchive(const uint8_t* bytes, size_t size);
// The same for bytes that stay until the entries go (a resource of the program): the entries
// point into them, so that no copy of the whole skin is made and only the images decoded are
// ever read.
void loadResidentArchive(const uint8_t* bytes, size_t size);

// The content of the first entry whose name equals `name` (skinNamesEqual), or none.
ArchiveData findEntry(const char* name);

// The raw entry, for views that decode a private Bitmap from it.
ArchiveData getArchiveData(const char* name);

// Entries loaded, and the name of entry `index` in directory order ("" when out of range).
int archiveEntryCount();
const char* archiveEntryName(int index);

// Names end at the first byte below 32 read as signed (control characters, and every byte
// from 128 up), so "KnobMask.bmp" equals "KnobMask.bmp\nGrayLed.bmp": views pass lines of
// their multi-line arguments as names.
bool skinNamesEqual(const char* a, const char* b);

}  // namespace velmora
