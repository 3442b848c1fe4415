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
  // A unit channel asks before every transfer, always of the same unit: the name it asked for
  // last is kept (per thread, so threads that ask of other units do not meet).
  thread_local std::string lastBus;
  thread_local std::string lastPath;
  thread_local std::string lastName;
  const std::string& bus = vhpd::client().busName();
  if (lastName.empty() || bus != lastBus || devicePath != lastPath) {
    lastName = unitUpdateLockName(devicePath);
    lastBus = bus;
    lastPath = devicePath;
  }
  return NamedLock::isHeld(lastName);
}

}  // namespace platform
