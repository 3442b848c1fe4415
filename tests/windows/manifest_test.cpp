// The manifests in the built programs, read as Windows reads them at a program's start: the
// RT_MANIFEST resource with id 1. The updater asks for administrator rights, the command-line
// programs run as the invoker. The control panel, when it is built, also asks for the common
// controls of version 6 and per-monitor DPI awareness, and carries its icon and skin archive.
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
#ifdef CONTROL_PANEL_EXE
      {CONTROL_PANEL_EXE, "asInvoker"},
#endif
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

#ifdef CONTROL_PANEL_EXE
TEST(ManifestTest, TheControlPanelUsesCommonControlsSixAndIsPerMonitorDpiAware) {
  const std::optional<std::string> manifest = manifestOf(CONTROL_PANEL_EXE);
  ASSERT_TRUE(manifest);
  EXPECT_NE(manifest->find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos)
      << *manifest;
  EXPECT_NE(manifest->find(">PerMonitorV2"), std::string::npos) << *manifest;
  EXPECT_NE(manifest->find(">true/pm<"), std::string::npos) << *manifest;
}

TEST(ManifestTest, TheControlPanelCarriesItsIconAndSkinArchives) {
  const HMODULE module = LoadLibraryExA(CONTROL_PANEL_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(FindResourceA(module, "APPICON", MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
  const HRSRC skin = FindResourceA(module, MAKEINTRESOURCEA(105), "PAL");
  ASSERT_NE(skin, nullptr);
  EXPECT_GT(SizeofResource(module, skin), 100000u);
  // The ×2 skin: the same images with four times the pixels.
  const HRSRC sharp = FindResourceA(module, MAKEINTRESOURCEA(106), "PAL");
  ASSERT_NE(sharp, nullptr);
  EXPECT_GT(SizeofResource(module, sharp), 3 * SizeofResource(module, skin));
  FreeLibrary(module);
}
#endif

}  // namespace
