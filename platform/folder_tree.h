// Private folders that are made and removed whole. Each operation stands for a Windows service:
//   uniquePrivateFolder  GetTempFileName-style unique name + CreateDirectory with an owner-only
//                        security descriptor
//   removeFolderTree     FindFirstFile/FindNextFile, SetFileAttributes (read-only off),
//                        DeleteFile, RemoveDirectory
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A new folder `parent`/`prefix`-XXXXXX (mode 0700) with a name nobody could have taken before
// us: the XXXXXX are chosen at creation and an existing entry is never reused. Empty on failure.
std::string uniquePrivateFolder(const std::string& parent, const std::string& prefix);

// Deletes every entry of `folder`, sub-folders recursively, then the folder itself. Symbolic
// links are removed as links, never followed, and `folder` itself must not be one. Read-only
// folders inside are made writable first so their entries can go. Stops at the first failure
// and leaves the rest; true when the folder is gone.
[[nodiscard]] bool removeFolderTree(const std::string& folder);

// GetCurrentProcessId.
uint32_t currentProcessId();

}  // namespace platform
