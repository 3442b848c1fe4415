#include "platform/debug_output.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(DebugOutputTest, WritesTextToStandardErrorVerbatim) {
  ::testing::internal::CaptureStderr();
  outputDebugString("VelmoraHAL::Open()");
  outputDebugString(" failed\n");
  outputDebugString("");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "VelmoraHAL::Open() failed\n");
}

}  // namespace
}  // namespace platform
