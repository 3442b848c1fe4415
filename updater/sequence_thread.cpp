#include "updater/sequence_thread.h"

namespace updater {

void SequenceThread::run(std::function<void()> step, std::function<void()> then) {
  // The previous step has posted its continuation, which was its last act.
  join();
  busy_ = true;
  thread_ = std::thread([this, step = std::move(step), then = std::move(then)]() mutable {
    step();
    view_.postTask([this, then = std::move(then)] {
      busy_ = false;
      then();
    });
  });
}

void SequenceThread::join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace updater
