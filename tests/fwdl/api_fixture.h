// A caller of libdun_fwdl.so with the library log going to a file of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fwdl/include/dun_fwdl.h"
#include "tests/fwdl/fwdl_test_support.h"
#include "tests/support/scratch.h"

namespace fwdl::test {

class LoggedApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(KVOFWDL_EnableLogging(logPath().c_str()), KVOFWDL_STATUS_SUCCESS);
  }
  void TearDown() override { KVOFWDL_EnableLogging(nullptr); }

  std::string logPath() const { return scratch_ / "fwdl.log"; }
  std::string path(const std::string& name) const { return scratch_ / name; }
  std::vector<std::string> entries() const { return LogEntries(logPath()); }

  // The entries of `type` ("ERROR", "WARNING", ...), each "text" without the type.
  std::vector<std::string> entriesOf(const std::string& type) const {
    std::vector<std::string> found;
    for (const std::string& entry : entries()) {
      if (entry.starts_with(type + ": ")) found.push_back(entry.substr(type.size() + 2));
    }
    return found;
  }

 private:
  platform::test::ScratchFolder scratch_;
};

}  // namespace fwdl::test
