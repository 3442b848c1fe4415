// Replacing a file's contents so that it is at every moment either the old or the new file
// (MoveFileEx with MOVEFILE_REPLACE_EXISTING over a temporary file written beside it).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Writes `content` to a temporary file in the same folder, flushes it to disk and renames it
// over `path` (following a symbolic link to its target, keeping an existing file's mode; new
// files get 0644). False, with `path` untouched, when any step fails.
[[nodiscard]] bool replaceFileContents(const std::string& path, std::string_view content);
// As above; on failure `why` (when given) says which step failed and the system's reason,
// e.g. "cannot create a file in its folder: Permission denied".
[[nodiscard]] bool replaceFileContents(const std::string& path, std::string_view content,
                                       std::string* why);

}  // namespace platform
