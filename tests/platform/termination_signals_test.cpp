// Termination signals held off in a child process: the child raises them inside the hold,
// reports what it saw, and the parent sees how it ended.
#include "platform/termination_signals.h"

#include <signal.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/child_process.h"

namespace platform {
namespace {

using test::ChildEnd;
using test::runInChild;
using test::say;

constexpr char kNotice[] = "test: firmware is being written; the signal is acted on later";

TEST(DeferTerminationSignalsTest, ASignalInsideIsNotedSaidAndActedOnWhenTheHoldEnds) {
  for (const int signal : {SIGTERM, SIGINT}) {
    const ChildEnd end = runInChild([signal] {
      DeferTerminationSignals hold(kNotice);
      ::raise(signal);
      ::raise(signal);
      say("alive, deferred " + std::to_string(hold.deferredSignal()) + "\n");
      hold.release();
      say("survived the end of the hold\n");
    });
    EXPECT_EQ(end.output,
              std::string(kNotice) + "\nalive, deferred " + std::to_string(signal) + "\n")
        << signal;
    EXPECT_TRUE(end.signalled) << signal;
    EXPECT_EQ(end.signal, signal);
  }
}

TEST(DeferTerminationSignalsTest, WithoutASignalTheHoldEndsQuietly) {
  const ChildEnd end = runInChild([] {
    {
      DeferTerminationSignals hold(kNotice);
      say(hold.holding() && hold.deferredSignal() == 0 ? "held\n" : "not held\n");
    }
    // The default handling is back.
    ::raise(SIGTERM);
    say("survived SIGTERM\n");
  });
  EXPECT_EQ(end.output, "held\n");
  EXPECT_TRUE(end.signalled);
  EXPECT_EQ(end.signal, SIGTERM);
}

TEST(DeferTerminationSignalsTest, TheHandlingFromBeforeComesBackAndASecondHoldDoesNothing) {
  const ChildEnd end = runInChild([] {
    ::signal(SIGINT, SIG_IGN);
    {
      DeferTerminationSignals hold(kNotice);
      DeferTerminationSignals second("second");
      say(second.holding() ? "second holds\n" : "second does not hold\n");
      ::raise(SIGINT);
    }
    // Ignored before, ignored after: the deferred SIGINT ends nothing.
    say("survived SIGINT\n");
  });
  EXPECT_EQ(end.output, "second does not hold\n" + std::string(kNotice) + "\nsurvived SIGINT\n");
  EXPECT_FALSE(end.signalled);
  EXPECT_EQ(end.exitCode, 0);
}

}  // namespace
}  // namespace platform
