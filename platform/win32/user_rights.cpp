#include "platform/user_rights.h"

#include "platform/win32/windows_api.h"

namespace platform {

uint32_t userIsAdministrator(bool& isAdministrator) {
  isAdministrator = false;
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                0, 0, 0, 0, 0, 0, &administrators)) {
    return GetLastError();
  }
  BOOL member = FALSE;
  const bool ok = CheckTokenMembership(nullptr, administrators, &member);
  const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  FreeSid(administrators);
  if (ok) isAdministrator = member != FALSE;
  return error;
}

}  // namespace platform
