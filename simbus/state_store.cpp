#include "simbus/state_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "simbus/daemon_paths.h"

namespace simbus {

namespace {

constexpr char kStateName[] = "bus.state";
constexpr char kCorruptSuffix[] = ".corrupt";
// A saved bus is a few KiB per unit; anything far larger is not ours.
constexpr size_t kMaxStateSize = 16 * 1024 * 1024;

bool setError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

enum class ReadOutcome { Read, Missing, Unreadable, TooLarge };

ReadOutcome readSmallFile(const std::string& path, std::string& text, std::string* why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return ReadOutcome::Missing;
    setError(why, std::strerror(errno));
    return ReadOutcome::Unreadable;
  }
  text.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      setError(why, std::strerror(errno));
      ::close(fd);
      return ReadOutcome::Unreadable;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
    if (text.size() > kMaxStateSize) {
      setError(why, "larger than " + std::to_string(kMaxStateSize) + " bytes");
      ::close(fd);
      return ReadOutcome::TooLarge;
    }
  }
  ::close(fd);
  return ReadOutcome::Read;
}

}  // namespace

StateStore::StateStore(std::string folder)
    : folder_(std::move(folder)), statePath_(platform::joinPath(folder_, kStateName)) {}

StateStore::Loaded StateStore::load(SimBus& bus, std::string* detail) {
  if (!makePrivateFolders(folder_, detail)) return Loaded::Failed;
  std::string text;
  std::string why;
  switch (readSmallFile(statePath_, text, &why)) {
    case ReadOutcome::Missing:
      return Loaded::Nothing;
    case ReadOutcome::Unreadable:
      setError(detail, "cannot read " + statePath_ + ": " + why);
      return Loaded::Failed;
    case ReadOutcome::TooLarge:
      break;
    case ReadOutcome::Read:
      if (bus.loadState(text, &why)) {
        savedVersion_ = bus.stateVersion();
        saved_ = true;
        return Loaded::Restored;
      }
      break;
  }
  const std::string corruptPath = statePath_ + kCorruptSuffix;
  if (std::rename(statePath_.c_str(), corruptPath.c_str()) != 0) {
    setError(detail, statePath_ + " is corrupt (" + why +
                         ") and cannot be moved aside: " + std::strerror(errno));
    return Loaded::Failed;
  }
  setError(detail, statePath_ + " is corrupt (" + why + "); kept as " + corruptPath);
  return Loaded::Corrupt;
}

bool StateStore::saveIfChanged(const SimBus& bus, std::string* error) {
  if (!changed(bus)) return true;
  const uint64_t version = bus.stateVersion();
  if (!save(bus.saveState(), error)) return false;
  savedVersion_ = version;
  saved_ = true;
  return true;
}

bool StateStore::save(const std::string& text, std::string* error) {
  if (!platform::replaceFileContents(statePath_, text)) {
    return setError(error, "cannot save " + statePath_ + ": " + std::strerror(errno));
  }
  return true;
}

}  // namespace simbus
