// Files, folders and paths. Each operation stands for a Windows service:
//   tempFolder        GetTempPath
//   appDataFolder     SHGetFolderPath(CSIDL_APPDATA)
//   executablePath    GetModuleFileName(NULL)
//   modulePathOf      GetModuleHandleEx(FROM_ADDRESS) + GetModuleFileName
//   privateFolder     CreateDirectory with an owner-only security descriptor
//   replaceExtension  PathRenameExtension
//   joinPath          PathCombine
//
// Folders come back without a trailing separator (unlike GetTempPath's trailing backslash);
// build paths inside them with joinPath. Every function returns an empty string on failure.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The per-user temporary folder: $TMPDIR, else $XDG_RUNTIME_DIR (each only if absolute), else
// a private folder of this user under /tmp (see privateFolder).
std::string tempFolder();

// The per-user application-data folder: $XDG_DATA_HOME if absolute, else $HOME/.local/share;
// created (mode 0700) if missing.
std::string appDataFolder();

// Absolute path of the running program.
std::string executablePath();

// Absolute path of the executable or shared library whose code or data contains `address`.
std::string modulePathOf(const void* address);

// A folder only this user can enter: `parent`/`name`, created with mode 0700 if absent. An
// existing one is used only if it is a real directory (not a symlink) owned by this user that
// nobody else can write to; its mode is then tightened to 0700. Otherwise a fresh folder
// `parent`/`name`-XXXXXX is made with mkdtemp, so a name planted by someone else is never
// trusted.
std::string privateFolder(const std::string& parent, const std::string& name);

// `path` with the extension of its last component replaced by `extension` (given with or
// without the dot), or the extension appended when there is none.
std::string replaceExtension(std::string_view path, std::string_view extension);

// `folder` and `name` joined by one '/'; `name` alone when it is absolute or `folder` is empty.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace platform
