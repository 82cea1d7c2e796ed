#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// Far above any design; a larger file is refused without being read.
inline constexpr std::size_t kMaxFileBytes = std::size_t{64} * 1024 * 1024;

// The whole content of a regular file of at most kMaxFileBytes, or nothing.
// Opening never waits (a FIFO without a writer, a device), only a regular
// file is read, and one that grows beyond the limit while it is read is
// refused.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path);
// The same; after a failure, reason holds the system's reason (ENOENT,
// EACCES, EISDIR for a folder, ...), or 0 when the file was refused for what
// it is or for its size.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path, int& reason);

// Replaces the file's content so that it is either the old or the new one,
// never a mix and never lost: the bytes go to a temporary file in the same
// folder, are flushed to the disk and then renamed over the file. On failure
// the old file is untouched and the temporary file removed. A replaced file
// keeps its permissions.
bool WriteFileBytesAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
