// Whether the user running this process administers the computer: CheckTokenMembership of the
// built-in Administrators group on Windows. On Linux the administrators are root and the
// members of the group "sudo" (Debian's administrative group) or "wheel" (that of other
// distributions).
#pragma once

#include <cstdint>

namespace platform {

// 0 with `isAdministrator` set, or the system's error number when the groups of the process
// cannot be had.
[[nodiscard]] uint32_t userIsAdministrator(bool& isAdministrator);

}  // namespace platform
