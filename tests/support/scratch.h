// Scratch folders and environment changes that undo themselves.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

namespace platform::test {

// A fresh empty folder, removed with everything in it at the end of the scope.
class ScratchFolder {
 public:
#ifdef _WIN32
  // Windows has no mkdtemp: a random name in the user's temporary folder, made only if new.
  ScratchFolder() {
    std::error_code error;
    const auto parent = std::filesystem::temp_directory_path(error);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty() && !error; ++attempt) {
      const auto candidate = parent / ("velmora-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
  }
#else
  ScratchFolder() {
    std::string pattern = "/tmp/velmora-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
#endif
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const {
    return path_;
  }
  std::string operator/(const std::string& name) const {
    return path_ + "/" + name;
  }

 private:
  std::string path_;
};

// Sets (or with nullopt unsets) an environment variable for the scope, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    apply(value);
  }
  ~ScopedEnv() { apply(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void apply(const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable, as unsetenv does.
    _putenv_s(name_, value ? value->c_str() : "");
#else
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
#endif
  }

  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace platform::test
