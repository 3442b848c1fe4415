#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/file_access.h"
#include "platform/folder_tree.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

std::string contentsOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Win32FilesTest, ReplacingContentsLeavesOnlyTheNewFile) {
  test::ScratchFolder scratch;
  const std::string file = scratch / "settings.ini";
  ASSERT_TRUE(replaceFileContents(file, "old"));
  ASSERT_TRUE(replaceFileContents(file, "new\r\ncontent"));
  EXPECT_EQ(contentsOf(file), "new\r\ncontent");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1);
}

TEST(Win32FilesTest, SizeDeleteRenameAndOpen) {
  test::ScratchFolder scratch;
  const std::string file = scratch / "a.log";
  EXPECT_FALSE(fileSize(file));
  std::ofstream(file, std::ios::binary) << "12345";
  EXPECT_EQ(fileSize(file), 5u);

  uint64_t size = 0;
  FILE* stream = openRegularFile(file, size);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(size, 5u);
  std::fclose(stream);
  EXPECT_EQ(openRegularFile(scratch.path(), size), nullptr);
  EXPECT_EQ(openRegularFile(scratch / "missing", size), nullptr);

  EXPECT_TRUE(renameFile(file, scratch / "a.bak"));
  std::ofstream(file) << "x";
  EXPECT_FALSE(renameFile(file, scratch / "a.bak"));  // the backup goes first, as on Windows
  EXPECT_TRUE(deleteFile(scratch / "a.bak"));
  EXPECT_FALSE(deleteFile(scratch / "a.bak"));

  FILE* log = openFileForAppending(file);
  ASSERT_NE(log, nullptr);
  std::fputs("y", log);
  std::fclose(log);
  EXPECT_EQ(contentsOf(file), "xy");
}

TEST(Win32FilesTest, UniqueFoldersAreNewAndGoWithEverythingInside) {
  test::ScratchFolder scratch;
  const std::string first = uniquePrivateFolder(scratch.path(), "VelmoraProUpdater");
  const std::string second = uniquePrivateFolder(scratch.path(), "VelmoraProUpdater");
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  std::filesystem::create_directories(first + "\\sub\\deeper");
  std::ofstream(first + "\\sub\\deeper\\file") << "x";
  std::ofstream(first + "\\read-only") << "x";
  std::filesystem::permissions(first + "\\read-only", std::filesystem::perms::owner_read);
  EXPECT_TRUE(removeFolderTree(first));
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_FALSE(removeFolderTree(first));
}

}  // namespace
}  // namespace platform
