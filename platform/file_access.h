// Plain files the library reads and logs to. Each operation stands for a Windows service:
//   fileSize               GetFileAttributesEx
//   deleteFile             DeleteFile
//   renameFile             MoveFile
//   openRegularFile        CreateFile(GENERIC_READ, OPEN_EXISTING) + GetFileType/size checks
//   openFileForAppending   fopen "a+b", not inherited by child processes
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// The size of the file or folder entry at `path`; nothing when there is none.
std::optional<uint64_t> fileSize(const std::string& path);

[[nodiscard]] bool deleteFile(const std::string& path);

// Renames `from` to `to`; fails when `to` exists.
[[nodiscard]] bool renameFile(const std::string& from, const std::string& to);

// `path` opened for binary reading when it is a regular file (never blocking on a pipe or
// device of that name), with its size; null otherwise.
FILE* openRegularFile(const std::string& path, uint64_t& size);

// `path` opened (created when missing) for binary appending and reading.
FILE* openFileForAppending(const std::string& path);

}  // namespace platform
