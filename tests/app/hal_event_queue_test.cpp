#include "control_panel/app/hal_event_queue.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(HalEventQueueTest, HoldsSevenEventsInOrderAndDropsTheEighth) {
  HalEventQueue queue;
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(queue.push(i % 2 == 0 ? kHalEventRefresh : kHalEventUnitReady));
  }
  EXPECT_FALSE(queue.push(kHalEventUnitClosed));
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(queue.pop(), i % 2 == 0 ? kHalEventRefresh : kHalEventUnitReady);
  }
  EXPECT_EQ(queue.pop(), std::nullopt);
}

TEST(HalEventQueueTest, WrapsAroundItsSlots) {
  HalEventQueue queue;
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(queue.push(kHalEventUnitReady));
    ASSERT_TRUE(queue.push(kHalEventUnitClosed));
    EXPECT_EQ(queue.pop(), kHalEventUnitReady);
    EXPECT_EQ(queue.pop(), kHalEventUnitClosed);
  }
}

}  // namespace
}  // namespace velmora
