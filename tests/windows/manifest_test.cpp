// The manifests in the built programs, read as Windows reads them at a program's start: the
// RT_MANIFEST resource with id 1. The updater asks for administrator rights, the command-line
// programs run as the invoker.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// The manifest of the program at `path`, loaded as data, not run.
std::optional<std::string> manifestOf(const char* path) {
  const HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return std::nullopt;
  std::optional<std::string> text;
  if (const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    if (const HGLOBAL loaded = LoadResource(module, found)) {
      text = std::string(static_cast<const char*>(LockResource(loaded)),
                         SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  return text;
}

TEST(ManifestTest, TheUpdaterAsksForAdministratorRightsTheOthersRunAsTheInvoker) {
  const struct {
    const char* path;
    const char* level;
  } programs[] = {
      {UPDATER_EXE, "requireAdministrator"},
      {VELMORACTL_EXE, "asInvoker"},
      {KWF_EXE, "asInvoker"},
  };
  for (const auto& program : programs) {
    const std::optional<std::string> manifest = manifestOf(program.path);
    ASSERT_TRUE(manifest) << program.path << " has no manifest";
    EXPECT_NE(manifest->find(std::string("<requestedExecutionLevel level=\"") + program.level +
                             "\" uiAccess=\"false\"/>"),
              std::string::npos)
        << program.path << ":\n"
        << *manifest;
    EXPECT_NE(manifest->find("xmlns=\"urn:schemas-microsoft-com:asm.v3\""), std::string::npos)
        << program.path;
  }
}

}  // namespace
