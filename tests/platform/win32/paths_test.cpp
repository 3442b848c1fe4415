#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch.h"

namespace platform {
namespace {

bool isAbsoluteFolder(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\' && path.back() != '\\' &&
         std::filesystem::is_directory(path);
}

TEST(Win32PathsTest, TheUserFoldersAreAbsoluteExistingFoldersWithoutTrailingSeparator) {
  EXPECT_TRUE(isAbsoluteFolder(tempFolder())) << tempFolder();
  EXPECT_TRUE(isAbsoluteFolder(appDataFolder())) << appDataFolder();
}

TEST(Win32PathsTest, TheProgramAndItsFunctionsLiveInTheExecutable) {
  const std::string program = executablePath();
  EXPECT_TRUE(program.ends_with("\\windows_platform_tests.exe")) << program;
  EXPECT_EQ(modulePathOf(reinterpret_cast<const void*>(&executablePath)), program);
}

TEST(Win32PathsTest, PathTextUsesBothSeparators) {
  struct Case {
    const char* folder;
    const char* name;
    const char* joined;
  };
  for (const Case& c : {Case{"C:\\a", "b.txt", "C:\\a\\b.txt"}, Case{"C:\\a\\", "b", "C:\\a\\b"},
                        Case{"C:/a/", "b", "C:/a/b"}, Case{"C:\\a", "D:\\x", "D:\\x"},
                        Case{"", "b", "b"}, Case{"C:\\a", "", "C:\\a"}}) {
    EXPECT_EQ(joinPath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
  }
  EXPECT_EQ(replaceExtension("C:\\logs.d\\dun_fwdl.log", "bak"), "C:\\logs.d\\dun_fwdl.bak");
  EXPECT_EQ(replaceExtension("C:\\logs.d\\dun_fwdl", ".cfg"), "C:\\logs.d\\dun_fwdl.cfg");
  EXPECT_EQ(replaceExtension("C:/logs.d/dun_fwdl", "cfg"), "C:/logs.d/dun_fwdl.cfg");
}

TEST(Win32PathsTest, APrivateFolderIsMadeOnceAndThenUsed) {
  test::ScratchFolder scratch;
  const std::string folder = privateFolder(scratch.path(), "own");
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(privateFolder(scratch.path(), "own"), folder);
  EXPECT_EQ(privateFolder(scratch.path(), "a\\b"), "");
}

}  // namespace
}  // namespace platform
