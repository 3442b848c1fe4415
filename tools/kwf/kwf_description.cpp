#include "tools/kwf/kwf_description.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "fwdl/kwf_format.h"
#include "fwdl/little_endian.h"
#include "platform/crc32.h"

namespace tools::kwf {

namespace layout = fwdl::kwf;

namespace {

class Report {
 public:
  void line(const char* label, const std::string& value) {
    char head[32];
    std::snprintf(head, sizeof head, "%-16s", label);
    text_ += head + value + "\n";
  }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

std::string Hex(uint32_t value, int digits = 8) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// Printable characters as they are, anything else as \xNN.
std::string Quoted(std::string_view bytes) {
  std::string text = "\"";
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      text += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      text += escape;
    }
  }
  return text + "\"";
}

// An object's placement and whether its bytes lie in the file and match the CRC.
std::string ObjectState(std::span<const uint8_t> file, uint32_t offset, uint32_t length,
                        uint32_t crc) {
  std::string text = "offset " + std::to_string(offset) + ", length " + std::to_string(length) +
                     ", crc " + Hex(crc);
  if (offset == 0) return text + " (none)";
  if (uint64_t{offset} + length > file.size()) return text + " (reaches past the end)";
  const uint32_t actual = platform::crc32(file.subspan(offset, length));
  return text + (actual == crc ? " (ok)" : " (wrong, the bytes give " + Hex(actual) + ")");
}

}  // namespace

std::string FormatFirmwareVersion(uint32_t version) {
  return std::to_string(version >> 24) + "." + std::to_string((version >> 16) & 0xFF) + "." +
         std::to_string(version & 0xFFFF);
}

std::string DescribeKwf(std::span<const uint8_t> file) {
  Report report;
  report.line("file size", std::to_string(file.size()) + " bytes");
  if (file.size() < layout::kCommonSize) {
    report.line("verdict", "not a firmware file: shorter than the 48-byte common header");
    return report.take();
  }
  const auto word = [&](size_t offset) { return fwdl::LoadLe32(file.data() + offset); };
  const auto chars = [&](size_t offset, size_t count) {
    return std::string_view(reinterpret_cast<const char*>(file.data()) + offset, count);
  };

  const std::string_view identifier = chars(layout::kIdentifier, 4);
  const bool versionZero = identifier == layout::kIdentifierV0;
  const bool versionOne = identifier == layout::kIdentifierV1;
  report.line("identifier", Quoted(identifier) + (versionZero  ? " (version 0)"
                                                  : versionOne ? " (version 1)"
                                                               : " (unknown)"));
  report.line("file kind", std::to_string(word(layout::kFileKind)));
  report.line("build date", Quoted(chars(layout::kBuildDate, layout::kStampLength)));
  report.line("build time", Quoted(chars(layout::kBuildTime, layout::kStampLength)));
  report.line("software id", std::to_string(word(layout::kSoftwareId)));
  const uint32_t firmware = word(layout::kFirmwareVersion);
  report.line("firmware", FormatFirmwareVersion(firmware) + " (" + Hex(firmware) + ")");
  report.line("hardware", Hex(word(layout::kCompatibleHardwareVersion), 2));
  report.line("vendor id", Hex(word(layout::kNodeVendorId) & 0xFFFFFF, 6));
  report.line("file version", std::to_string(word(layout::kFileVersion)));
  if (!versionZero && !versionOne) {
    report.line("verdict", "not a firmware file: unknown identifier");
    return report.take();
  }
  if (versionOne && word(layout::kFileVersion) != 1) {
    report.line("verdict", "not usable: a \"KwFm\" file has file version 1");
    return report.take();
  }
  const size_t headerSize = versionZero ? layout::kV0HeaderSize : layout::kV1HeaderSize;
  if (file.size() < headerSize) {
    report.line("verdict", "not usable: the header is cut short");
    return report.take();
  }

  std::vector<uint8_t> header(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(headerSize));
  fwdl::StoreLe32(header.data() + layout::kHeaderCrc, 0);
  const uint32_t headerCrc = platform::crc32(header);
  const bool headerOk = headerCrc == word(layout::kHeaderCrc);
  report.line("header crc",
              Hex(word(layout::kHeaderCrc)) +
                  (headerOk ? " (ok)" : " (wrong, the header gives " + Hex(headerCrc) + ")"));
  report.line("image 1", ObjectState(file, word(layout::kImage1Offset), word(layout::kImage1Length),
                                     word(layout::kImage1Crc)));
  report.line("image 1 address", Hex(word(layout::kImage1Address)));
  report.line("object 2 offset", std::to_string(word(layout::kObject2Offset)));
  report.line("CnE", ObjectState(file, word(layout::kCnEOffset), word(layout::kCnELength),
                                 word(layout::kCnECrc)));

  const uint32_t textEnd = word(layout::kImage1Offset) != 0 ? word(layout::kImage1Offset)
                           : versionZero && word(layout::kObject2Offset) != 0
                               ? word(layout::kObject2Offset)
                               : word(layout::kCnEOffset);
  if (textEnd == 0) {
    report.line("info text", "unknown length (no object placed)");
  } else if (textEnd < headerSize || textEnd > file.size()) {
    report.line("info text", "does not fit between header and first object");
  } else {
    const std::string_view text = chars(headerSize, textEnd - headerSize);
    report.line("info text", Quoted(text.substr(0, text.find('\0'))) + " (" +
                                 std::to_string(text.size()) + " bytes)");
  }
  report.line("verdict", headerOk ? "header valid" : "not usable: header CRC wrong");
  return report.take();
}

}  // namespace tools::kwf
