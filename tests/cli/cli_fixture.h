// velmoractl verbs run in-process against an in-process bus on a fake clock, with their
// output captured.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cli/commands.h"
#include "control_panel/device/cv_avc.h"
#include "tests/support/bus_harness.h"

namespace velmoractl::test {

namespace pv = platform::vhpd;

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

class CliFixture : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  void TearDown() override { velmora::transportCaps() = {}; }

  static Outcome run(int (*verb)(Args), Args args) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = verb(std::move(args));
    std::string out = ::testing::internal::GetCapturedStdout();
    return {code, out, ::testing::internal::GetCapturedStderr()};
  }
};

}  // namespace velmoractl::test
