#include "platform/termination_signals.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};

// What the handler may touch: plain memory and write(2).
volatile sig_atomic_t gDeferred = 0;
char gNotice[512];
size_t gNoticeLength = 0;
struct sigaction gPrevious[std::size(kSignals)];
std::atomic<bool> gHeld{false};

void note(int signal) {
  if (gDeferred != 0) return;
  gDeferred = signal;
  const int savedErrno = errno;
  size_t done = 0;
  while (done < gNoticeLength) {
    const ssize_t n = ::write(STDERR_FILENO, gNotice + done, gNoticeLength - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  errno = savedErrno;
}

}  // namespace

DeferTerminationSignals::DeferTerminationSignals(const std::string& notice) {
  if (gHeld.exchange(true)) return;
  holding_ = true;
  gNoticeLength = std::min(notice.size(), sizeof gNotice - 1);
  std::memcpy(gNotice, notice.data(), gNoticeLength);
  if (gNoticeLength == 0 || gNotice[gNoticeLength - 1] != '\n') gNotice[gNoticeLength++] = '\n';
  gDeferred = 0;
  struct sigaction action {};
  action.sa_handler = note;
  // Interrupted reads and writes go on by themselves; the others retry on EINTR.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
}

DeferTerminationSignals::~DeferTerminationSignals() {
  release();
}

int DeferTerminationSignals::deferredSignal() const {
  return holding_ ? gDeferred : 0;
}

void DeferTerminationSignals::release() {
  if (!holding_) return;
  holding_ = false;
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
  const int deferred = gDeferred;
  gDeferred = 0;
  gHeld = false;
  if (deferred == 0) return;
  // What the program has written so far is not lost with it.
  std::fflush(nullptr);
  // Under the handling from before: the default one ends the program here.
  ::raise(deferred);
}

}  // namespace platform
