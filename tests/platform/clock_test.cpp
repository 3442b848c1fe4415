#include "platform/clock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace platform {
namespace {

TEST(FakeClockTest, ConcurrentSleepsAllAdvanceTime) {
  FakeClock fake(1000);
  ScopedClock scoped(fake);
  constexpr uint32_t kThreads = 8;
  constexpr uint32_t kSleeps = 1000;
  std::vector<std::thread> threads;
  for (uint32_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([] {
      for (uint32_t i = 0; i < kSleeps; ++i) clock().sleep(3);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(fake.tickCount(), 1000 + kThreads * kSleeps * 3);
}

TEST(FakeClockTest, TickCountWrapsAndElapsedTimeSpansTheWrap) {
  FakeClock fake(0xFFFFFFF0u);
  fake.sleep(0x20);
  EXPECT_EQ(fake.tickCount(), 0x10u);
  EXPECT_EQ(ticksElapsed(0xFFFFFFF0u, fake.tickCount()), 0x20u);
}

TEST(ScopedClockTest, NestedScopesRestoreThePreviousClock) {
  Clock* const original = &clock();
  {
    FakeClock outer;
    ScopedClock outerScope(outer);
    {
      FakeClock inner;
      ScopedClock innerScope(inner);
      EXPECT_EQ(&clock(), &inner);
    }
    EXPECT_EQ(&clock(), &outer);
  }
  EXPECT_EQ(&clock(), original);
}

}  // namespace
}  // namespace platform
