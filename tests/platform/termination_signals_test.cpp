// Termination signals held off in a child process: the child raises them inside the hold,
// reports what it saw, and the parent sees how it ended. Every wait of the parent is bounded.
#include "platform/termination_signals.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace platform {
namespace {

constexpr char kNotice[] = "test: firmware is being written; the signal is acted on later";
constexpr int kBoundMs = 20000;

struct ChildEnd {
  std::string output;  // the child's standard error
  bool signalled = false;
  int signal = 0;
  int exitCode = -1;
};

void say(const std::string& text) {
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
}

// Runs `body` in a child with its standard error on a pipe; returns what it wrote and how it
// ended (an exit code 0 once `body` returns).
ChildEnd runChild(const std::function<void()>& body) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipeEnds[1], STDERR_FILENO);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    body();
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  ChildEnd end;
  char buffer[256];
  for (;;) {
    pollfd p{pipeEnds[0], POLLIN, 0};
    if (::poll(&p, 1, kBoundMs) <= 0) {
      ::kill(child, SIGKILL);
      ADD_FAILURE() << "the child wrote nothing and did not end in time";
      break;
    }
    const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
    if (n <= 0) break;  // the child has ended
    end.output.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeEnds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  end.signalled = WIFSIGNALED(status);
  end.signal = end.signalled ? WTERMSIG(status) : 0;
  end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return end;
}

TEST(DeferTerminationSignalsTest, ASignalInsideIsNotedSaidAndActedOnWhenTheHoldEnds) {
  for (const int signal : {SIGTERM, SIGINT}) {
    const ChildEnd end = runChild([signal] {
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
  const ChildEnd end = runChild([] {
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
  const ChildEnd end = runChild([] {
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
