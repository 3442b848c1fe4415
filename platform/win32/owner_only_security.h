// A security descriptor that lets only the creating user (and the system) into a new folder:
// what mode 0700 is on Linux.
#pragma once

#include "platform/win32/windows_api.h"

namespace platform::win32 {

class OwnerOnlySecurity {
 public:
  OwnerOnlySecurity();
  ~OwnerOnlySecurity();
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

  // For CreateDirectory; null (the inherited defaults) when the descriptor could not be made.
  SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace platform::win32
