// GUID text ("{D4647551-A610-4623-AD1E-2F4A94EFE734}") to the binary GUID the driver
// interface takes.
#pragma once

#include "platform/vhpd_protocol.h"

namespace velmora {

// Reads 4, 2, 2 and 8 bytes of hexadecimal pairs after the opening brace, skipping a '-' in
// front of a pair; the first three groups are the GUID's little-endian fields. A character
// that is not a hexadecimal digit counts as 0. Without the closing brace after the last pair
// the GUID is zeroed and the result is false.
bool GuidFromText(const char* text, platform::vhpd::Guid& guid);

}  // namespace velmora
