// A function run in a forked child with its standard output and error on one pipe, for tests
// of what ends a process. Every wait of the parent is bounded.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace platform::test {

struct ChildEnd {
  std::string output;  // standard output and error, as they came
  bool ended = false;  // false: it wrote nothing for the bound and was killed
  bool signalled = false;
  int signal = 0;
  int exitCode = -1;
};

// Writes `text` to standard error at once, as a signal handler could.
inline void say(const std::string& text) {
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
}

// Runs `body` in a child; an exit code 0 once it returns. `boundMs` limits each wait for
// output or the end.
inline ChildEnd runInChild(const std::function<void()>& body, int boundMs = 60000) {
  ChildEnd end;
  int ends[2];
  if (::pipe(ends) != 0) return end;
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return end;
  if (child == 0) {
    ::dup2(ends[1], STDOUT_FILENO);
    ::dup2(ends[1], STDERR_FILENO);
    ::close(ends[0]);
    ::close(ends[1]);
    body();
    std::fflush(nullptr);
    ::_exit(0);
  }
  ::close(ends[1]);
  char buffer[512];
  end.ended = true;
  for (;;) {
    pollfd p{ends[0], POLLIN, 0};
    if (::poll(&p, 1, boundMs) <= 0) {
      ::kill(child, SIGKILL);
      end.ended = false;
      break;
    }
    const ssize_t n = ::read(ends[0], buffer, sizeof buffer);
    if (n <= 0) break;  // the child has ended
    end.output.append(buffer, static_cast<size_t>(n));
  }
  ::close(ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  end.signalled = WIFSIGNALED(status);
  end.signal = end.signalled ? WTERMSIG(status) : 0;
  end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return end;
}

}  // namespace platform::test
