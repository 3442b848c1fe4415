#include "platform/unit_update_lock.h"

#include <cctype>
#include <cstdio>

#include "platform/vhpd_client.h"

namespace platform {

std::string unitUpdateLockName(const std::string& devicePath) {
  // FNV-1a over the bus's name and the path: a short name made of what a lock name may hold.
  uint64_t hash = 0xCBF29CE484222325u;
  auto add = [&](unsigned char c) {
    hash ^= c;
    hash *= 0x100000001B3u;
  };
  for (char c : vhpd::client().busName()) add(static_cast<unsigned char>(c));
  add('|');
  for (char c : devicePath)
    add(static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c))));
  char name[32];
  std::snprintf(name, sizeof name, "unit-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

std::unique_ptr<NamedLock> lockUnitForUpdate(const std::string& devicePath, uint32_t& error) {
  return NamedLock::tryAcquire(unitUpdateLockName(devicePath), error);
}

bool unitIsBeingUpdated(const std::string& devicePath) {
  return NamedLock::isHeld(unitUpdateLockName(devicePath));
}

}  // namespace platform
