// An UpdaterView that writes down what the update logic shows and answers its questions from
// a script. Progress posted by the worker, and the tasks posted by the sequence's thread, wait
// in queues until the test delivers them on its own thread, as the dialog's message loop would.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "updater/updater_view.h"

namespace updater::test {

class RecordingView : public UpdaterView {
 public:
  // Answers, in order; once used up, every question gets `No`.
  std::deque<bool> answers;
  // The path chosen in the save-file dialog; nothing cancels it.
  std::optional<std::string> savePath;
  bool updateEnabled = true;
  bool exitEnabled = true;
  bool progressBarShown = false;
  std::optional<int> exitCode;
  std::vector<Question> questions;
  std::vector<SaveFileRequest> saveRequests;
  // The clock's tick count when each notice of the worker was shown.
  std::vector<uint32_t> noticeTicks;

  void setStatusText(const std::string& text) override { record("status: " + text); }
  void enableUpdate(bool enabled) override { updateEnabled = enabled; }
  void enableExit(bool enabled) override { exitEnabled = enabled; }
  void showProgressBar(uint32_t rangeMax) override {
    progressBarShown = true;
    record("progress bar 0.." + std::to_string(rangeMax));
  }
  void setProgress(uint32_t position) override { record("at " + std::to_string(position)); }
  void showMessage(const std::string& text, const std::string& caption) override {
    record("message [" + caption + "] " + text);
  }
  bool ask(const Question& question) override {
    questions.push_back(question);
    record("ask [" + question.caption + "] " + question.text);
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  std::optional<std::string> askSaveFile(const SaveFileRequest& request) override {
    saveRequests.push_back(request);
    record("save [" + request.title + "] " + request.defaultName);
    return savePath;
  }
  void quit(int code) override {
    exitCode = code;
    record("quit " + std::to_string(code));
  }
  void postTask(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    arrived_.notify_all();
  }
  void postProgress(uint32_t status, uint32_t percent) override {
    std::lock_guard lock(mutex_);
    posted_.emplace_back(status, percent);
    postedLog_.emplace_back(status, percent);
    arrived_.notify_all();
  }
  void showNoticeAndWait(const std::string& text, const std::atomic<bool>&) override {
    noticeTicks.push_back(platform::clock().tickCount());
    record("notice " + text);
  }
  void showDownloadWarning(const std::string& text) override {
    record("download warning: " + text);
  }

  // The next posted progress message; nothing when none came within a generous bound (the
  // worker runs on the fake clock and posts at once, so only a broken worker gets here).
  std::optional<std::pair<uint32_t, uint32_t>> nextPosted() {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::seconds(60), [&] { return !posted_.empty(); })) {
      return std::nullopt;
    }
    auto message = posted_.front();
    posted_.pop_front();
    return message;
  }

  // Runs the next posted task on the caller's thread; false when none came within the same
  // bound.
  bool runNextTask() {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      if (!arrived_.wait_for(lock, std::chrono::seconds(60), [&] { return !tasks_.empty(); })) {
        return false;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    return true;
  }

  std::vector<std::string> events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  std::vector<std::pair<uint32_t, uint32_t>> postedLog() const {
    std::lock_guard lock(mutex_);
    return postedLog_;
  }
  // The events that start with `prefix`.
  std::vector<std::string> eventsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& event : events()) {
      if (event.starts_with(prefix)) found.push_back(event);
    }
    return found;
  }

 private:
  void record(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }

  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> events_;
  std::deque<std::function<void()>> tasks_;
  std::deque<std::pair<uint32_t, uint32_t>> posted_;
  std::vector<std::pair<uint32_t, uint32_t>> postedLog_;
};

}  // namespace updater::test
