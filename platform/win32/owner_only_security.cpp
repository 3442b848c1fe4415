#include "platform/win32/owner_only_security.h"

#include <sddl.h>

namespace platform::win32 {

// Protected from inheritance; full access for the owner and the system, inherited by
// everything made inside.
OwnerOnlySecurity::OwnerOnlySecurity() {
  if (ConvertStringSecurityDescriptorToSecurityDescriptorA(
          "D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;SY)", SDDL_REVISION_1, &descriptor_, nullptr)) {
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
  } else {
    descriptor_ = nullptr;
  }
}

OwnerOnlySecurity::~OwnerOnlySecurity() {
  if (descriptor_) LocalFree(descriptor_);
}

}  // namespace platform::win32
