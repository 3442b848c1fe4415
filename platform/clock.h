// Time for everything that waits: a 32-bit millisecond tick count that wraps like the
// Windows tick counter, and sleep. Code never reads the system time or sleeps directly;
// it asks clock(), which tests replace by a FakeClock on which sleeping is instant.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps after 2^32 ms (GetTickCount).
  virtual uint32_t tickCount() const = 0;
  // Blocks the calling thread for `milliseconds` (Sleep).
  virtual void sleep(uint32_t milliseconds) = 0;
};

// The real clock: steady time, real sleeps.
class SystemClock final : public Clock {
 public:
  uint32_t tickCount() const override;
  void sleep(uint32_t milliseconds) override;
};

// A clock for tests and the simulated bus: time moves only when someone sleeps or calls
// advance(), and sleeping returns at once. Safe to use from several threads: concurrent
// sleeps each add their own time.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(uint32_t startTick = 0) : now_(startTick) {}
  uint32_t tickCount() const override { return now_.load(); }
  void sleep(uint32_t milliseconds) override { advance(milliseconds); }
  void advance(uint32_t milliseconds) { now_.fetch_add(milliseconds); }
  void set(uint32_t tick) { now_.store(tick); }

 private:
  std::atomic<uint32_t> now_;
};

// The clock of this process: a SystemClock unless a test installed another.
Clock& clock();

// Installs `replacement` as the process clock for the lifetime of this object, then
// restores the previous one. Scopes nest; the caller keeps `replacement` alive.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& replacement);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* previous_;
};

// Milliseconds from `start` to `now` on the wrapping tick counter.
inline uint32_t ticksElapsed(uint32_t start, uint32_t now) {
  return now - start;
}

}  // namespace platform
