// A lock that the processes of one user share by name: a lock file held with flock in a
// private folder of the user's runtime folder on POSIX, a named semaphore of one on Windows
// (a mutex would belong to the thread that took it, and this lock is let go by another).
// The operating system lets go of it when its process ends, however it ends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class NamedLock {
 public:
  virtual ~NamedLock() = default;  // lets go of the lock

  // Takes the lock `name` (letters, digits, '-' and '_') when no process holds it. nullptr
  // with `error` set otherwise: ERROR_BUSY (170) when another holder has it, another Windows
  // error when the lock cannot be made.
  static std::unique_ptr<NamedLock> tryAcquire(const std::string& name, uint32_t& error);

  // Whether some process holds `name` right now; the lock is not kept.
  static bool isHeld(const std::string& name);
};

}  // namespace platform
