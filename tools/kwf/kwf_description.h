// A readable account of any file as a firmware file: every header field, whether the header,
// image 1 and the CnE block match their CRCs, and what makes a file unusable.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tools::kwf {

std::string DescribeKwf(std::span<const uint8_t> file);

// "major.minor.build" of a firmware version word (0x020110CC is 2.1.4300).
std::string FormatFirmwareVersion(uint32_t version);

}  // namespace tools::kwf
