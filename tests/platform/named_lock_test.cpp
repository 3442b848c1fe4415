// Locks shared by name between processes: one holder at a time, seen by the others, let go
// when the holder ends however it ends.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/named_lock.h"
#include "platform/win_error.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

class NamedLockTest : public ::testing::Test {
 protected:
  test::ScratchFolder scratch;
  test::ScopedEnv runtime{"XDG_RUNTIME_DIR", scratch.path()};
};

TEST_F(NamedLockTest, OneHolderAtATimeAndFreeOnceLetGo) {
  uint32_t error = 0;
  auto first = NamedLock::tryAcquire("unit-test", error);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(error, 0u);
  EXPECT_TRUE(NamedLock::isHeld("unit-test"));
  EXPECT_EQ(NamedLock::tryAcquire("unit-test", error), nullptr);
  EXPECT_EQ(error, 170u);  // ERROR_BUSY
  EXPECT_FALSE(NamedLock::isHeld("another-name"));
  first.reset();
  EXPECT_FALSE(NamedLock::isHeld("unit-test"));
  EXPECT_NE(NamedLock::tryAcquire("unit-test", error), nullptr);
}

// The lock folder removed (a cleaner of old files) and made again by the next holder: the
// check finds the lock in the new folder.
TEST_F(NamedLockTest, ALockInAFolderMadeAgainIsSeen) {
  uint32_t error = 0;
  ASSERT_NE(NamedLock::tryAcquire("unit-test", error), nullptr);
  EXPECT_FALSE(NamedLock::isHeld("unit-test"));
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
    std::filesystem::remove_all(entry.path());
  }
  EXPECT_FALSE(NamedLock::isHeld("unit-test"));
  const auto lock = NamedLock::tryAcquire("unit-test", error);
  ASSERT_NE(lock, nullptr) << error;
  EXPECT_TRUE(NamedLock::isHeld("unit-test"));
}

// A holder that dies without letting go (SIGKILL) leaves no lock behind.
TEST_F(NamedLockTest, AnotherProcessHoldsItUntilItDies) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    uint32_t error = 0;
    auto lock = NamedLock::tryAcquire("held-elsewhere", error);
    const char answer = lock ? '1' : '0';
    (void)!write(ready[1], &answer, 1);
    pause();  // until killed
    _exit(0);
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  ASSERT_EQ(answer, '1');
  uint32_t error = 0;
  EXPECT_TRUE(NamedLock::isHeld("held-elsewhere"));
  EXPECT_EQ(NamedLock::tryAcquire("held-elsewhere", error), nullptr);
  EXPECT_EQ(error, 170u);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_FALSE(NamedLock::isHeld("held-elsewhere"));
  EXPECT_NE(NamedLock::tryAcquire("held-elsewhere", error), nullptr);
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
}  // namespace platform
