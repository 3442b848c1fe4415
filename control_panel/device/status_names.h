// Names of the statuses the device link returns, for messages to people.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

// "KVO_STATUS_DEVICE_REMOVED", "ERROR_NOT_SUPPORTED", ...; "unknown status" otherwise.
std::string_view StatusName(uint32_t status);

}  // namespace velmora
