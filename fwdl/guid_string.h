// Interface GUIDs as text: the registry format "{D4647551-A610-4623-AD1E-2F4A94EFE734}" read
// into the binary GUID, and the name of the driver's control device made from one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/vhpd_protocol.h"

namespace fwdl {

// 0 with `guid` filled, or 1 (logged) when `text` is null or no registry-format GUID.
uint32_t GuidFromString(const char* text, platform::vhpd::Guid& guid);

// "\\.\{d4647551-a610-4623-ad1e-2f4a94efe734}": the control device of the driver that offers
// the interface `guid`.
std::string ControlDeviceName(const platform::vhpd::Guid& guid);

}  // namespace fwdl
