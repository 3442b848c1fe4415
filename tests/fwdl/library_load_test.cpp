// Loading and unloading the library: each test loads its own copy of libdun_fwdl.so from a
// scratch folder, with the configuration file beside it that the copy reads.
#include <dlfcn.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fwdl/include/dun_fwdl.h"
#include "platform/profile.h"
#include "tests/fwdl/fwdl_test_support.h"
#include "tests/support/scratch.h"

extern char** environ;

namespace fwdl::test {
namespace {

using ::testing::ElementsAre;

bool Exists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

// Entries of the load and unload in a log file with only the type prefix.
constexpr const char* kLoggingConfiguration =
    "[LogType2]\nName=INFO\nEnabled=1\n[LogFile]\nTypeExtension=1\nPathAndName=";

class LibraryLoadTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::copy_file(LIBRARY_PATH, library_); }
  void TearDown() override {
    if (handle_ != nullptr) dlclose(handle_);
  }

  void Load() {
    handle_ = dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void Unload() {
    ASSERT_EQ(dlclose(handle_), 0);
    handle_ = nullptr;
  }
  template <typename Function>
  Function* Export(const char* name) {
    return reinterpret_cast<Function*>(dlsym(handle_, name));
  }

  std::string Profile(const std::string& section, const std::string& key) const {
    return platform::getProfileString(config_, section, key, "<missing>");
  }

  platform::test::ScratchFolder scratch_;
  std::string library_ = scratch_ / "libdun_fwdl.so";
  std::string config_ = scratch_ / "libdun_fwdl.cfg";
  std::string log_ = scratch_ / "fwdl.log";
  void* handle_ = nullptr;
};

TEST_F(LibraryLoadTest, EmptyConfigurationBesideTheLibraryIsFilled) {
  WriteText(config_, "");
  Load();
  EXPECT_EQ(Profile("Common", "ModuleToken"), "KVOFWDL");
  EXPECT_EQ(Profile("LogType2", "Enabled"), "1");
  EXPECT_EQ(Profile("LogFile", "MaxSize"), "5000000");
}

TEST_F(LibraryLoadTest, MissingConfigurationIsNotCreated) {
  Load();
  ASSERT_EQ(Export<decltype(KVOFWDL_EnableLogging)>("KVOFWDL_EnableLogging")(log_.c_str()),
            KVOFWDL_STATUS_SUCCESS);
  EXPECT_FALSE(Exists(config_));
}

TEST_F(LibraryLoadTest, LoadAndUnloadAreLogged) {
  WriteText(config_, kLoggingConfiguration + log_ + "\n");
  Load();
  Unload();
  EXPECT_THAT(LogEntries(log_),
              ElementsAre("INFO: [kvo_fwdl::DllMain: DLL_PROCESS_ATTACH (dynamic load)",
                          "INFO: ]kvo_fwdl::DllMain: DLL_PROCESS_ATTACH",
                          "INFO: kvo_fwdl::DllMain: DLL_PROCESS_DETACH",
                          "INFO: Close: closing log file \"" + log_ + "\" ..."));
}

TEST_F(LibraryLoadTest, LoadWithTheProgramIsStatic) {
  WriteText(config_, kLoggingConfiguration + log_ + "\n");
  const std::string libraryPath = "LD_LIBRARY_PATH=" + scratch_.path();
  std::vector<char*> environment{const_cast<char*>(libraryPath.c_str())};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (!std::string_view(*variable).starts_with("LD_LIBRARY_PATH=")) {
      environment.push_back(*variable);
    }
  }
  environment.push_back(nullptr);
  char* arguments[] = {const_cast<char*>(PROBE_PATH), nullptr};
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, PROBE_PATH, nullptr, nullptr, arguments, environment.data()), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::vector<std::string> entries = LogEntries(log_);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.front(), "INFO: [kvo_fwdl::DllMain: DLL_PROCESS_ATTACH (static load)");
  EXPECT_THAT(entries, ::testing::Contains("INFO: kvo_fwdl::DllMain: DLL_PROCESS_DETACH"));
}

TEST_F(LibraryLoadTest, ChosenLogFileIsRecordedBesideTheLibrary) {
  WriteText(config_, "[Common]\nModuleToken=KVOFWDL\n");
  Load();
  const auto enableLogging = Export<decltype(KVOFWDL_EnableLogging)>("KVOFWDL_EnableLogging");
  ASSERT_EQ(enableLogging(log_.c_str()), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(Profile("LogFile", "PathAndName"), log_);
  ASSERT_EQ(enableLogging(nullptr), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(Profile("LogFile", "PathAndName"), "");
}

}  // namespace
}  // namespace fwdl::test
