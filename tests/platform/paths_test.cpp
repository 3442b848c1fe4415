#include "platform/paths.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/scratch.h"

namespace platform {
namespace {

using test::ScopedEnv;
using test::ScratchFolder;

// "$S" in a test value stands for the scratch folder.
std::optional<std::string> expand(const char* value, const ScratchFolder& scratch) {
  if (value == nullptr) return std::nullopt;
  std::string text = value;
  if (text.starts_with("$S")) text.replace(0, 2, scratch.path());
  return text;
}

struct Lstat {
  bool exists = false;
  struct stat status {};
};

Lstat lstatOf(const std::string& path) {
  Lstat result;
  result.exists = lstat(path.c_str(), &result.status) == 0;
  return result;
}

// A real directory of this user with mode 0700.
void expectPrivateFolder(const std::string& path) {
  const Lstat info = lstatOf(path);
  ASSERT_TRUE(info.exists) << path;
  EXPECT_TRUE(S_ISDIR(info.status.st_mode)) << path;
  EXPECT_EQ(info.status.st_uid, geteuid()) << path;
  EXPECT_EQ(info.status.st_mode & 07777, 0700u) << path;
}

struct TempFolderCase {
  const char* title;
  const char* tmpdir;
  const char* runtimeDir;
  const char* expected;
};

TEST(TempFolderTest, HonoursTheEnvironment) {
  const TempFolderCase cases[] = {
      {"TMPDIR first, trailing slash dropped", "$S/tmp/", "$S/run", "$S/tmp"},
      {"XDG_RUNTIME_DIR without TMPDIR", nullptr, "$S/run", "$S/run"},
      {"relative TMPDIR ignored", "relative", "$S/run", "$S/run"},
      {"empty TMPDIR ignored", "", "$S/run", "$S/run"},
  };
  ScratchFolder scratch;
  for (const TempFolderCase& c : cases) {
    SCOPED_TRACE(c.title);
    ScopedEnv tmpdir("TMPDIR", expand(c.tmpdir, scratch));
    ScopedEnv runtimeDir("XDG_RUNTIME_DIR", expand(c.runtimeDir, scratch));
    EXPECT_EQ(tempFolder(), expand(c.expected, scratch));
  }
}

TEST(TempFolderTest, WithoutEnvironmentIsAStablePrivateFolder) {
  ScopedEnv tmpdir("TMPDIR", std::nullopt);
  ScopedEnv runtimeDir("XDG_RUNTIME_DIR", std::nullopt);
  const std::string folder = tempFolder();
  expectPrivateFolder(folder);
  EXPECT_EQ(tempFolder(), folder);
}

// What is already at `parent/name` when privateFolder is asked for it.
enum class Planted {
  Nothing,
  OwnFolder0755,
  OwnFolder0500,
  WorldWritable,
  GroupWritable,
  Symlink,
  File,
  ForeignOwned
};

struct PrivateFolderCase {
  const char* title;
  Planted planted;
  bool reused;  // true: the folder at the name is used; false: a fresh one beside it
};

class PrivateFolderTest : public ::testing::TestWithParam<PrivateFolderCase> {};

TEST_P(PrivateFolderTest, TrustsOnlyAFolderOfOurOwn) {
  const PrivateFolderCase& c = GetParam();
  if (c.planted == Planted::ForeignOwned && geteuid() != 0) {
    GTEST_SKIP() << "planting a folder of another user needs root";
  }
  ScratchFolder scratch;
  const std::string named = scratch / "velmora-1000";
  const std::string elsewhere = scratch / "elsewhere";
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
  auto plantFolder = [&](mode_t mode) {
    ASSERT_EQ(mkdir(named.c_str(), 0700), 0);
    ASSERT_EQ(chmod(named.c_str(), mode), 0);
  };
  switch (c.planted) {
    case Planted::Nothing:
      break;
    case Planted::OwnFolder0755:
      plantFolder(0755);
      break;
    case Planted::OwnFolder0500:
      plantFolder(0500);
      break;
    case Planted::WorldWritable:
      plantFolder(0777);
      break;
    case Planted::GroupWritable:
      plantFolder(0770);
      break;
    case Planted::Symlink:
      ASSERT_EQ(symlink(elsewhere.c_str(), named.c_str()), 0);
      break;
    case Planted::File:
      ASSERT_EQ(close(creat(named.c_str(), 0600)), 0);
      break;
    case Planted::ForeignOwned:
      plantFolder(0700);
      ASSERT_EQ(chown(named.c_str(), 65534, 65534), 0);
      break;
  }
  const Lstat before = lstatOf(named);

  const std::string folder = privateFolder(scratch.path(), "velmora-1000");

  expectPrivateFolder(folder);
  if (c.reused) {
    EXPECT_EQ(folder, named);
  } else {
    EXPECT_TRUE(folder.starts_with(named + "-")) << folder;
    // What was planted is left alone.
    const Lstat after = lstatOf(named);
    EXPECT_EQ(after.status.st_mode, before.status.st_mode);
    EXPECT_EQ(after.status.st_uid, before.status.st_uid);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Planted, PrivateFolderTest,
    ::testing::Values(PrivateFolderCase{"Absent", Planted::Nothing, true},
                      PrivateFolderCase{"OwnReadable", Planted::OwnFolder0755, true},
                      PrivateFolderCase{"OwnReadOnly", Planted::OwnFolder0500, true},
                      PrivateFolderCase{"WorldWritable", Planted::WorldWritable, false},
                      PrivateFolderCase{"GroupWritable", Planted::GroupWritable, false},
                      PrivateFolderCase{"Symlink", Planted::Symlink, false},
                      PrivateFolderCase{"File", Planted::File, false},
                      PrivateFolderCase{"ForeignOwned", Planted::ForeignOwned, false}),
    [](const auto& info) { return std::string(info.param.title); });

struct AppDataCase {
  const char* title;
  const char* dataHome;
  const char* home;
  const char* expected;
};

TEST(AppDataFolderTest, HonoursTheEnvironmentAndCreatesTheFolder) {
  const AppDataCase cases[] = {
      {"XDG_DATA_HOME", "$S/xdg/data", "$S/home", "$S/xdg/data"},
      {"HOME without XDG_DATA_HOME", nullptr, "$S/home", "$S/home/.local/share"},
      {"relative XDG_DATA_HOME ignored", "relative/data", "$S/home2", "$S/home2/.local/share"},
  };
  ScratchFolder scratch;
  for (const AppDataCase& c : cases) {
    SCOPED_TRACE(c.title);
    ScopedEnv dataHome("XDG_DATA_HOME", expand(c.dataHome, scratch));
    ScopedEnv home("HOME", expand(c.home, scratch));
    const std::string expected = *expand(c.expected, scratch);
    EXPECT_EQ(appDataFolder(), expected);
    EXPECT_TRUE(S_ISDIR(lstatOf(expected).status.st_mode));
  }
}

int functionInThisProgram() {
  return 42;
}

TEST(ModulePathTest, AFunctionOfTheProgramLivesInTheExecutable) {
  const std::string executable = executablePath();
  EXPECT_TRUE(executable.ends_with("/platform_tests")) << executable;
  EXPECT_EQ(modulePathOf(reinterpret_cast<const void*>(&functionInThisProgram)), executable);
}

TEST(ModulePathTest, AFunctionOfASharedLibraryLivesInThatLibrary) {
  const void* libraryFunction = dlsym(RTLD_DEFAULT, "getpid");
  ASSERT_NE(libraryFunction, nullptr);
  const std::string library = modulePathOf(libraryFunction);
  EXPECT_NE(library.find(".so"), std::string::npos) << library;
  EXPECT_TRUE(lstatOf(library).exists) << library;
}

TEST(PathTextTest, ReplaceExtension) {
  const struct {
    const char* path;
    const char* extension;
    const char* expected;
  } cases[] = {
      {"/opt/velmora/lib/libdun_fwdl.so", "cfg", "/opt/velmora/lib/libdun_fwdl.cfg"},
      {"/var/log/fwdl.log", ".bak", "/var/log/fwdl.bak"},
      {"/opt/v1.2/fwdl", "cfg", "/opt/v1.2/fwdl.cfg"},
      {"/home/user/.profile", "cfg", "/home/user/.profile.cfg"},
      {"mix.tar.vmpro", "", "mix.tar"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(replaceExtension(c.path, c.extension), c.expected) << c.path;
  }
}

TEST(PathTextTest, JoinPath) {
  const struct {
    const char* folder;
    const char* name;
    const char* expected;
  } cases[] = {
      {"/tmp/velmora-0", "VelmoraProLog.txt", "/tmp/velmora-0/VelmoraProLog.txt"},
      {"/tmp/", "a", "/tmp/a"},
      {"/", "a", "/a"},
      {"", "a", "a"},
      {"/tmp", "/abs/a", "/abs/a"},
      {"/tmp", "", "/tmp"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(joinPath(c.folder, c.name), c.expected) << c.folder << " + " << c.name;
  }
}

}  // namespace
}  // namespace platform
