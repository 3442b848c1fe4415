// A firmware file (".KWF"): opened and checked against its header CRC, described as a
// KVOFWDL_KWF_FILE_INFO, and handed to the downloader either as whole objects (version 0,
// each checked against its CRC) or as a stream of the whole file (version 1, whose boot
// loader takes the objects out itself). Every failure is logged and returned as a status.
//
// KwfFile: one opened firmware file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fwdl/include/dun_fwdl.h"
#include "fwdl/kwf_format.h"

namespace fwdl {

struct KwfObjectKind;

class KwfFile {
 public:
  KwfFile() = default;
  ~KwfFile() { Close(); }
  KwfFile(const KwfFile&) = delete;
  KwfFile& operator=(const KwfFile&) = delete;

  // Opens and validates `fileName`; on failure the object stays closed.
  [[nodiscard]] KVOFWDL_STATUS Open(const std::string& fileName);

  // Open, then Verify: what every caller that describes, checks or downloads a file uses, so
  // that a cut-off or damaged file is turned down before anything reaches a unit. On failure
  // the object stays closed.
  [[nodiscard]] KVOFWDL_STATUS OpenVerified(const std::string& fileName);

  // Whether image 1 and the CnE block, where the header places them, lie inside the file and
  // match their CRCs (either version). 4 for an object that reaches past the end of the file,
  // 7 or 8 for a wrong CRC. Leaves the stream anywhere: the readers position it themselves.
  [[nodiscard]] KVOFWDL_STATUS Verify();

  // Closes the file and forgets everything about it.
  void Close();

  // Fills `info` from the header; the info text is cut to fit.
  [[nodiscard]] KVOFWDL_STATUS GetFileInfo(KVOFWDL_KWF_FILE_INFO& info) const;

  // Version 0 only: image 1 or the CnE block, loaded once and checked against its CRC; empty
  // when the file has none. The bytes stay valid until Close.
  [[nodiscard]] KVOFWDL_STATUS GetImage1(std::span<const uint8_t>& image);
  [[nodiscard]] KVOFWDL_STATUS GetCnE(std::span<const uint8_t>& data);

  // Streaming the whole file: back to its start, then up to `count` bytes at a time. A short
  // read (`received` < `count`) is the end of the file, not a failure.
  [[nodiscard]] KVOFWDL_STATUS ResetFilePtr();
  [[nodiscard]] KVOFWDL_STATUS Read(void* buffer, uint32_t count, uint32_t& received);

  bool IsOpen() const { return stream_ != nullptr; }
  const std::string& FileName() const { return fileName_; }
  uint32_t FileSize() const { return fileSize_; }
  uint32_t FileVersion() const { return version_; }
  bool HasCnE() const { return hasCnE_; }
  const std::string& InfoText() const { return infoText_; }

  uint32_t FileKind() const { return Word(kwf::kFileKind); }
  std::string_view BuildDate() const { return Chars(kwf::kBuildDate); }
  std::string_view BuildTime() const { return Chars(kwf::kBuildTime); }
  uint32_t SoftwareId() const { return Word(kwf::kSoftwareId); }
  uint32_t FirmwareVersion() const { return Word(kwf::kFirmwareVersion); }
  uint32_t CompatibleHardwareVersion() const { return Word(kwf::kCompatibleHardwareVersion); }
  // The three vendor-id bytes in stored order, least significant first.
  std::span<const uint8_t, 3> NodeVendorId() const {
    return std::span<const uint8_t, 3>(header_.data() + kwf::kNodeVendorId, 3);
  }
  uint32_t Image1Offset() const { return Word(kwf::kImage1Offset); }
  uint32_t Image1Address() const { return Word(kwf::kImage1Address); }
  uint32_t Image1Length() const { return Word(kwf::kImage1Length); }
  uint32_t Image1Crc() const { return Word(kwf::kImage1Crc); }
  uint32_t CnEOffset() const { return Word(kwf::kCnEOffset); }
  uint32_t CnELength() const { return Word(kwf::kCnELength); }
  uint32_t CnECrc() const { return Word(kwf::kCnECrc); }

 private:
  struct LoadedObject {
    bool loaded = false;
    std::vector<uint8_t> bytes;
  };

  [[nodiscard]] KVOFWDL_STATUS OpenChecked(const std::string& fileName);
  [[nodiscard]] KVOFWDL_STATUS ReadHeader();
  uint32_t InfoTextLength() const;
  [[nodiscard]] KVOFWDL_STATUS ReadInfoText(uint32_t length);
  [[nodiscard]] KVOFWDL_STATUS GetObject(const KwfObjectKind& kind, LoadedObject& object,
                           std::span<const uint8_t>& result);
  [[nodiscard]] KVOFWDL_STATUS VerifyObject(const KwfObjectKind& kind);
  bool ReadExactly(void* buffer, size_t count);
  uint32_t Word(size_t offset) const;
  std::string_view Chars(size_t offset) const;

  FILE* stream_ = nullptr;
  std::string fileName_;
  uint32_t fileSize_ = 0;
  std::array<uint8_t, kwf::kMaxHeaderSize> header_{};
  uint32_t version_ = 0;
  bool hasCnE_ = false;
  std::string infoText_;
  LoadedObject image1_;
  LoadedObject cnE_;
};

}  // namespace fwdl
