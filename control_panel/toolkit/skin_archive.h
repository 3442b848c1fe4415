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
  int scale = 1;  // pixels per panel pixel along a side: 2 for an entry of the ×2 skin
};

// Replaces the loaded entries with those of `bytes` (copied; the bytes are not retained).
// Entries whose directory slot, name or block lies outside the `size` bytes are skipped.
void loadArchive(const uint8_t* bytes, size_t size);
// The same for bytes that stay until the entries go (a resource of the program): the entries
// point into them, so that no copy of the whole skin is made and only the images decoded are
// ever read.
void loadResidentArchive(const uint8_t* bytes, size_t size);

// The ×2 skin (resource "PAL" 106): an archive of the same names and format whose images are
// drawn at twice the resolution, loaded only when the panel is shown that sharp. While it
// holds entries, the skin's images come from it and skinScale() is 2. (nullptr, 0) unloads it.
void loadDoubleArchive(const uint8_t* bytes, size_t size);
// As loadDoubleArchive, reading the bytes in place: they must stay as they are until the next
// load (the program's own resources do).
void loadResidentDoubleArchive(const uint8_t* bytes, size_t size);

// 2 while a ×2 skin is loaded, else 1: the scale of the skin's images and of the buffers the
// views composite them in.
int skinScale();

// The content of the first entry whose name equals `name` (skinNamesEqual), or none; from the
// archive of loadArchive only.
ArchiveData findEntry(const char* name);

// The image `name` of the skin in use: the ×2 entry while the ×2 skin is loaded and has it,
// else the entry of findEntry. Views and the named bitmaps take their images from here.
ArchiveData getArchiveData(const char* name);

// Entries loaded, and the name of entry `index` in directory order ("" when out of range).
int archiveEntryCount();
const char* archiveEntryName(int index);

// Names end at the first byte below 32 read as signed (control characters, and every byte
// from 128 up), so "KnobMask.bmp" equals "KnobMask.bmp\nGrayLed.bmp": views pass lines of
// their multi-line arguments as names.
bool skinNamesEqual(const char* a, const char* b);

}  // namespace velmora
