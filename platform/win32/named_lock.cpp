#include "platform/named_lock.h"

#include <windows.h>

#include "platform/win_error.h"

namespace platform {

namespace {

// Per session, like the control panel's single-instance mutex: the programs that may touch a
// unit run in the user's session.
std::string objectName(const std::string& name) {
  return "Local\\VelmoraPRO-" + name;
}

class SemaphoreLock final : public NamedLock {
 public:
  explicit SemaphoreLock(HANDLE semaphore) : semaphore_(semaphore) {}
  ~SemaphoreLock() override {
    ReleaseSemaphore(semaphore_, 1, nullptr);
    CloseHandle(semaphore_);
  }

 private:
  HANDLE semaphore_;
};

}  // namespace

std::unique_ptr<NamedLock> NamedLock::tryAcquire(const std::string& name, uint32_t& error) {
  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, objectName(name).c_str());
  if (semaphore == nullptr) {
    error = GetLastError();
    return nullptr;
  }
  if (WaitForSingleObject(semaphore, 0) != WAIT_OBJECT_0) {
    CloseHandle(semaphore);
    error = win_error::Busy;
    return nullptr;
  }
  error = win_error::Success;
  return std::make_unique<SemaphoreLock>(semaphore);
}

bool NamedLock::isHeld(const std::string& name) {
  HANDLE semaphore =
      OpenSemaphoreA(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, objectName(name).c_str());
  if (semaphore == nullptr) return false;  // nobody has it open, so nobody holds it
  const bool held = WaitForSingleObject(semaphore, 0) != WAIT_OBJECT_0;
  if (!held) ReleaseSemaphore(semaphore, 1, nullptr);
  CloseHandle(semaphore);
  return held;
}

}  // namespace platform
