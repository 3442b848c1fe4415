#include "fwdl/kwf_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "fwdl/logging/library_log.h"
#include "fwdl/little_endian.h"
#include "platform/crc32.h"
#include "platform/file_access.h"

namespace fwdl {

// What tells image 1 and the CnE block apart when they are loaded.
struct KwfObjectKind {
  const char* noOpenFile;
  const char* versionZeroRequired;
  const char* seekFailed;
  const char* readFailed;
  const char* allocationFailed;
  const char* crcWrong;
  KVOFWDL_STATUS crcStatus;
  size_t offsetField;
  size_t lengthField;
  size_t crcField;
};

namespace {

constexpr KwfObjectKind kImage1 = {
    "KwfFile::GetImage1: no open kwf file.\n",
    "KwfFile::GetImage1: file version 0 required.\n",
    "move to position of image 1 in file '%s' failed\n",
    "reading image 1 of file '%s' failed\n",
    "no memory for image 1 of file '%s'\n",
    "Unexpected crc value of image 1 in file '%s'\n",
    KVOFWDL_STATUS_IMAGE_CRC_ERROR,
    kwf::kImage1Offset,
    kwf::kImage1Length,
    kwf::kImage1Crc,
};

constexpr KwfObjectKind kCnE = {
    "KwfFile::GetCnE: no open kwf file.\n",
    "KwfFile::GetCnE: file version 0 required.\n",
    "move to position of CnE data in file '%s' failed\n",
    "reading CnE data of file '%s' failed\n",
    "no memory for CnE data of file '%s'\n",
    "Unexpected crc value of CnE data in file '%s'\n",
    KVOFWDL_STATUS_CNE_CRC_ERROR,
    kwf::kCnEOffset,
    kwf::kCnELength,
    kwf::kCnECrc,
};

// Copies a header stamp into a record field of 12 characters that is zero already.
void CopyStamp(char (&field)[12], std::string_view stamp) {
  std::memcpy(field, stamp.data(), std::min(stamp.size(), sizeof field - 1));
}

}  // namespace

KVOFWDL_STATUS KwfFile::Open(const std::string& fileName) {
  if (stream_ != nullptr) {
    Log(LogType::Error, "KwfFile::Open: file is already open.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  const KVOFWDL_STATUS status = OpenChecked(fileName);
  if (status != KVOFWDL_STATUS_SUCCESS) Close();
  return status;
}

KVOFWDL_STATUS KwfFile::OpenChecked(const std::string& fileName) {
  const char* name = fileName.c_str();
  if (!platform::fileSize(fileName)) {
    Log(LogType::Error, "KwfFile::Open: file '%s' could not be found.\n", name);
    return KVOFWDL_STATUS_FILE_NOT_FOUND;
  }
  uint64_t size = 0;
  stream_ = platform::openRegularFile(fileName, size);
  if (stream_ == nullptr) {
    Log(LogType::Error, "open file '%s' failed\n", name);
    return KVOFWDL_STATUS_FILE_NOT_FOUND;
  }
  // Offsets, lengths and the streamed size are 32-bit: a larger file cannot be one.
  if (size > std::numeric_limits<uint32_t>::max()) {
    Log(LogType::Error, "file '%s' is larger than 4 GiB\n", name);
    return KVOFWDL_STATUS_INVALID_FILE_FORMAT;
  }
  fileName_ = fileName;
  fileSize_ = static_cast<uint32_t>(size);

  if (const KVOFWDL_STATUS read = ReadHeader(); read != KVOFWDL_STATUS_SUCCESS) return read;
  hasCnE_ = CnEOffset() != 0;
  const uint32_t infoTextLength = InfoTextLength();

  const size_t headerSize = kwf::HeaderSize(version_);
  std::array<uint8_t, kwf::kMaxHeaderSize> zeroedCrc = header_;
  StoreLe32(zeroedCrc.data() + kwf::kHeaderCrc, 0);
  if (platform::crc32(std::span(zeroedCrc.data(), headerSize)) != Word(kwf::kHeaderCrc)) {
    Log(LogType::Error, "Unexpected crc header value in file '%s'\n", name);
    return KVOFWDL_STATUS_HEADER_CRC_ERROR;
  }
  return ReadInfoText(infoTextLength);
}

KVOFWDL_STATUS KwfFile::ReadHeader() {
  const char* name = fileName_.c_str();
  if (!ReadExactly(header_.data(), kwf::kCommonSize)) {
    Log(LogType::Error, "reading common file header from file '%s' failed\n", name);
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  const std::string_view identifier(reinterpret_cast<const char*>(header_.data()), 4);
  if (identifier == kwf::kIdentifierV0) {
    version_ = 0;
  } else if (identifier == kwf::kIdentifierV1) {
    const uint32_t fileVersion = Word(kwf::kFileVersion);
    if (fileVersion != 1) {
      Log(LogType::Error, "file '%s': expected file version = 1, found version = %u\n", name,
          fileVersion);
      return KVOFWDL_STATUS_INVALID_FILE_FORMAT;
    }
    version_ = 1;
  } else {
    Log(LogType::Error, "unknown file identifier for file '%s' found.\n", name);
    return KVOFWDL_STATUS_INVALID_FILE_FORMAT;
  }
  const size_t partSize = version_ == 0 ? kwf::kV0PartSize : kwf::kV1PartSize;
  if (!ReadExactly(header_.data() + kwf::kCommonSize, partSize)) {
    Log(LogType::Error,
        version_ == 0 ? "reading V0-specific file header from file '%s' failed\n"
                      : "reading V1-specific file header from file '%s' failed\n",
        name);
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

// The info text fills the room between the header and the first object the header places.
// The result wraps when that object lies inside the header; ReadInfoText turns it down.
uint32_t KwfFile::InfoTextLength() const {
  const uint32_t headerSize = static_cast<uint32_t>(kwf::HeaderSize(version_));
  const uint32_t candidates[] = {Image1Offset(), version_ == 0 ? Word(kwf::kObject2Offset) : 0,
                                 CnEOffset()};
  for (uint32_t offset : candidates) {
    if (offset != 0) return offset - headerSize;
  }
  Log(LogType::Warning, "File '%s' has no data. Therefore length of info text is unknown.\n",
      fileName_.c_str());
  return 0;
}

KVOFWDL_STATUS KwfFile::ReadInfoText(uint32_t length) {
  // The stream stands at the end of the header; a text that would reach past the end of the
  // file cannot be read, so nothing is allocated for it.
  const uint64_t headerSize = kwf::HeaderSize(version_);
  std::string text;
  if (headerSize + length <= fileSize_) {
    text.resize(length);
    if (ReadExactly(text.data(), length)) {
      infoText_.assign(text.c_str());  // kept as a terminated string
      return KVOFWDL_STATUS_SUCCESS;
    }
  }
  Log(LogType::Error, "reading info text of file '%s' failed\n", fileName_.c_str());
  return KVOFWDL_STATUS_FILE_READ_ERROR;
}

void KwfFile::Close() {
  if (stream_ != nullptr && std::fclose(stream_) != 0) {
    Log(LogType::Error, "closing file '%s' failed\n", fileName_.c_str());
  }
  stream_ = nullptr;
  header_.fill(0);
  fileName_.clear();
  infoText_.clear();
  image1_ = LoadedObject{};
  cnE_ = LoadedObject{};
  version_ = 0;
  hasCnE_ = false;
  fileSize_ = 0;
}

KVOFWDL_STATUS KwfFile::GetFileInfo(KVOFWDL_KWF_FILE_INFO& info) const {
  info = KVOFWDL_KWF_FILE_INFO{};
  if (stream_ == nullptr) {
    Log(LogType::Error, "KwfFile::GetFileInfo: no open kwf file.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  info.FileKind = FileKind();
  info.SoftwareId = SoftwareId();
  info.FirmwareVersion = FirmwareVersion();
  info.CompatibleHardwareVersion = CompatibleHardwareVersion();
  CopyStamp(info.BuildDate, BuildDate());
  CopyStamp(info.BuildTime, BuildTime());
  const std::span<const uint8_t, 3> vendor = NodeVendorId();
  info.NodeVendorId[0] = vendor[2];
  info.NodeVendorId[1] = vendor[1];
  info.NodeVendorId[2] = vendor[0];

  constexpr size_t kRoom = KVOFWDL_KWF_FILE_INFO_TEXT_SIZE - 1;
  if (infoText_.size() > kRoom) {
    Log(LogType::Warning, "Info text of file %s will be truncated.\n", fileName_.c_str());
    Log(LogType::Warning, "KVOFWDL_KWF_FILE_INFO_TEXT_SIZE has to be greater then %u\n",
        static_cast<unsigned>(infoText_.size()));
  }
  std::memcpy(info.InfoText, infoText_.data(), std::min(infoText_.size(), kRoom));
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KwfFile::GetImage1(std::span<const uint8_t>& image) {
  return GetObject(kImage1, image1_, image);
}

KVOFWDL_STATUS KwfFile::GetCnE(std::span<const uint8_t>& data) {
  return GetObject(kCnE, cnE_, data);
}

KVOFWDL_STATUS KwfFile::GetObject(const KwfObjectKind& kind, LoadedObject& object,
                                  std::span<const uint8_t>& result) {
  result = {};
  if (stream_ == nullptr) {
    Log(LogType::Error, "%s", kind.noOpenFile);
    return KVOFWDL_STATUS_FAILED;
  }
  if (version_ != 0) {
    Log(LogType::Error, "%s", kind.versionZeroRequired);
    return KVOFWDL_STATUS_FAILED;
  }
  const uint32_t offset = Word(kind.offsetField);
  const uint32_t length = Word(kind.lengthField);
  if (offset == 0) return KVOFWDL_STATUS_SUCCESS;
  if (object.loaded) {
    result = object.bytes;
    return KVOFWDL_STATUS_SUCCESS;
  }
  const char* name = fileName_.c_str();
  if (fseeko(stream_, offset, SEEK_SET) != 0) {
    Log(LogType::Error, kind.seekFailed, name);
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  // An object reaching past the end of the file cannot be read whole; finding that out needs
  // no buffer of the length the header claims.
  if (uint64_t{offset} + length > fileSize_) {
    Log(LogType::Error, kind.readFailed, name);
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(length);
  } catch (const std::bad_alloc&) {
    Log(LogType::Error, kind.allocationFailed, name);
    return KVOFWDL_STATUS_FAILED;
  }
  if (!ReadExactly(bytes.data(), length)) {
    Log(LogType::Error, kind.readFailed, name);
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  if (platform::crc32(bytes) != Word(kind.crcField)) {
    Log(LogType::Error, kind.crcWrong, name);
    return kind.crcStatus;
  }
  object.bytes = std::move(bytes);
  object.loaded = true;
  result = object.bytes;
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KwfFile::OpenVerified(const std::string& fileName) {
  if (const KVOFWDL_STATUS status = Open(fileName); status != KVOFWDL_STATUS_SUCCESS) {
    return status;
  }
  const KVOFWDL_STATUS status = Verify();
  if (status != KVOFWDL_STATUS_SUCCESS) Close();
  return status;
}

KVOFWDL_STATUS KwfFile::Verify() {
  if (stream_ == nullptr) {
    Log(LogType::Error, "KwfFile::Verify: no open kwf file.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  for (const KwfObjectKind* kind : {&kImage1, &kCnE}) {
    if (const KVOFWDL_STATUS status = VerifyObject(*kind); status != KVOFWDL_STATUS_SUCCESS) {
      return status;
    }
  }
  return KVOFWDL_STATUS_SUCCESS;
}

// Reads the object in pieces, so that checking a large image costs no buffer of its size.
KVOFWDL_STATUS KwfFile::VerifyObject(const KwfObjectKind& kind) {
  const uint32_t offset = Word(kind.offsetField);
  const uint32_t length = Word(kind.lengthField);
  if (offset == 0) return KVOFWDL_STATUS_SUCCESS;
  const char* name = fileName_.c_str();
  if (uint64_t{offset} + length > fileSize_) {
    Log(LogType::Error, kind.readFailed, name);
    Log(LogType::Error, "the object needs bytes %u to %llu of file '%s', which has %u bytes\n",
        offset, static_cast<unsigned long long>(uint64_t{offset} + length), name, fileSize_);
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  if (fseeko(stream_, offset, SEEK_SET) != 0) {
    Log(LogType::Error, kind.seekFailed, name);
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  constexpr uint32_t kPiece = 64 * 1024;
  std::vector<uint8_t> piece(std::min(length, kPiece));
  uint32_t crc = 0;
  for (uint32_t remaining = length; remaining > 0;) {
    const uint32_t n = std::min(remaining, kPiece);
    if (!ReadExactly(piece.data(), n)) {
      Log(LogType::Error, kind.readFailed, name);
      return KVOFWDL_STATUS_FILE_READ_ERROR;
    }
    crc = platform::crc32(std::span(piece.data(), n), crc);
    remaining -= n;
  }
  if (crc != Word(kind.crcField)) {
    Log(LogType::Error, kind.crcWrong, name);
    return kind.crcStatus;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KwfFile::ResetFilePtr() {
  if (stream_ == nullptr) {
    Log(LogType::Error, "KwfFile::ResetFilePtr: no open kwf file.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  if (fseeko(stream_, 0, SEEK_SET) != 0) {
    Log(LogType::Error, "ResetFilePtr: moving to the beginning of the file '%s' failed.\n",
        fileName_.c_str());
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KwfFile::Read(void* buffer, uint32_t count, uint32_t& received) {
  received = 0;
  if (stream_ == nullptr) {
    Log(LogType::Error, "KwfFile::Read: no open kwf file.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  std::clearerr(stream_);
  const size_t got = std::fread(buffer, 1, count, stream_);
  if (std::ferror(stream_)) {
    Log(LogType::Error, "Reading kwf file data failed.\n");
    return KVOFWDL_STATUS_FILE_READ_ERROR;
  }
  received = static_cast<uint32_t>(got);
  return KVOFWDL_STATUS_SUCCESS;
}

bool KwfFile::ReadExactly(void* buffer, size_t count) {
  return std::fread(buffer, 1, count, stream_) == count;
}

uint32_t KwfFile::Word(size_t offset) const {
  return LoadLe32(header_.data() + offset);
}

std::string_view KwfFile::Chars(size_t offset) const {
  return std::string_view(reinterpret_cast<const char*>(header_.data()) + offset,
                          kwf::kStampLength);
}

}  // namespace fwdl
