// Loading and unloading dun_fwdl.dll: each test loads its own copy from a scratch folder, with
// the configuration file beside it that the copy reads. The Windows side of the library's load
// tests: LoadLibrary and FreeLibrary, and a program that imports the DLL.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fwdl/include/dun_fwdl.h"
#include "platform/profile.h"
#include "tests/fwdl/fwdl_test_support.h"
#include "tests/support/scratch.h"

namespace fwdl::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kLoggingConfiguration =
    "[LogType2]\nName=INFO\nEnabled=1\n[LogFile]\nTypeExtension=1\nPathAndName=";

class DllLoadTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::copy_file(LIBRARY_PATH, library_); }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  void Load() {
    module_ = LoadLibraryA(library_.c_str());
    ASSERT_NE(module_, nullptr) << GetLastError();
  }
  void Unload() {
    ASSERT_TRUE(FreeLibrary(module_));
    module_ = nullptr;
  }
  template <typename Function>
  Function* Export(const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  std::string Profile(const std::string& section, const std::string& key) const {
    return platform::getProfileString(config_, section, key, "<missing>");
  }

  platform::test::ScratchFolder scratch_;
  std::string library_ = scratch_ / "dun_fwdl.dll";
  std::string config_ = scratch_ / "dun_fwdl.cfg";
  std::string log_ = scratch_ / "fwdl.log";
  HMODULE module_ = nullptr;
};

TEST_F(DllLoadTest, EmptyConfigurationBesideTheLibraryIsFilledAndTheExportsAnswer) {
  WriteText(config_, "");
  Load();
  EXPECT_EQ(Profile("Common", "ModuleToken"), "KVOFWDL");
  EXPECT_EQ(Profile("LogFile", "MaxSize"), "5000000");
  EXPECT_EQ(Export<decltype(KVOFWDL_GetVersion)>("KVOFWDL_GetVersion")(),
            uint32_t{KVOFWDL_INTERFACE_VERSION});
  EXPECT_EQ(Export<void()>("_Z7Anythingv"), nullptr);
}

TEST_F(DllLoadTest, LoadAndUnloadAreLogged) {
  WriteText(config_, kLoggingConfiguration + log_ + "\n");
  Load();
  Unload();
  EXPECT_THAT(LogEntries(log_),
              ElementsAre("INFO: [kvo_fwdl::DllMain: DLL_PROCESS_ATTACH (dynamic load)",
                          "INFO: ]kvo_fwdl::DllMain: DLL_PROCESS_ATTACH",
                          "INFO: kvo_fwdl::DllMain: DLL_PROCESS_DETACH",
                          "INFO: Close: closing log file \"" + log_ + "\" ..."));
}

// The C caller imports the DLL; beside it in the scratch folder, it loads this copy.
TEST_F(DllLoadTest, LoadWithTheProgramIsStatic) {
  WriteText(config_, kLoggingConfiguration + log_ + "\n");
  const std::string program = scratch_ / "c_caller.exe";
  std::filesystem::copy_file(PROBE_PATH, program);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program + "\"";
  ASSERT_TRUE(CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &startup, &process))
      << GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, 0u);
  const std::vector<std::string> entries = LogEntries(log_);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.front(), "INFO: [kvo_fwdl::DllMain: DLL_PROCESS_ATTACH (static load)");
  EXPECT_THAT(entries, ::testing::Contains("INFO: kvo_fwdl::DllMain: DLL_PROCESS_DETACH"));
}

}  // namespace
}  // namespace fwdl::test
