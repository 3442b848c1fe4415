// The thread the update sequence's library calls run on: enumerating, reading the unit's
// information, opening it, reading the firmware file and starting the download all ask the
// driver or the disk, and a slow driver must not freeze the dialog. Each step's continuation
// comes back on the dialog's thread through the view.
#pragma once

#include <functional>
#include <thread>

#include "updater/updater_view.h"

namespace updater {

class SequenceThread {
 public:
  explicit SequenceThread(UpdaterView& view) : view_(view) {}
  // Waits for a step that still runs; its continuation is then never run.
  ~SequenceThread() { join(); }
  SequenceThread(const SequenceThread&) = delete;
  SequenceThread& operator=(const SequenceThread&) = delete;

  // Call on the dialog's thread, one step at a time: runs `step` on the sequence's thread, then
  // `then` on the dialog's thread. Until `then` has been called, busy() answers true.
  void run(std::function<void()> step, std::function<void()> then);
  bool busy() const { return busy_; }

 private:
  void join();

  UpdaterView& view_;
  std::thread thread_;
  // Only read and written on the dialog's thread.
  bool busy_ = false;
};

}  // namespace updater
