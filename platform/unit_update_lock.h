// The lock a firmware download holds on its unit, shared by the processes of the user: a
// second download of the unit is refused while it is held, and the control panel and
// velmoractl send the unit nothing. Named after the unit's device path on the bus that the
// current driver client reaches, so that simulated buses keep their locks apart.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/named_lock.h"

namespace platform {

// The lock's name for the unit at `devicePath` (device paths compare without case).
std::string unitUpdateLockName(const std::string& devicePath);

// Takes the unit's lock; nullptr with `error` set (ERROR_BUSY: another download holds it).
std::unique_ptr<NamedLock> lockUnitForUpdate(const std::string& devicePath, uint32_t& error);

// Whether a download holds the unit's lock now.
bool unitIsBeingUpdated(const std::string& devicePath);

}  // namespace platform
