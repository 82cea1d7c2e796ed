#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// Far above any design; a larger file is refused without being read.
inline constexpr std::size_t kMaxFileBytes = std::size_t{64} * 1024 * 1024;

// The whole content of a regular file of at most kMaxFileBytes, or nothing.
// Nothing else is opened (no FIFO, device or socket), opening never waits,
// and a file that grows beyond the limit while it is read is refused.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path);
// The same for files of at most maxBytes (no more than kMaxFileBytes); after a
// failure, reason holds the system's reason (ENOENT, EACCES, EISDIR for a
// folder, ...), or 0 when the file was refused for what it is or for its size.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path, int& reason,
                                                  std::size_t maxBytes = kMaxFileBytes);

// Saves the bytes so that no failure loses or damages the old content. A
// symbolic link stays and the file it leads to is saved (created, when the
// link dangles). Only a regular file this process may write is replaced:
// folders, FIFOs, devices and sockets are refused. The bytes normally go to a
// temporary file in the target's folder, are flushed to the disk and renamed
// over the file, which is therefore always either old or new and keeps its
// permission bits and, where the system lets this process set them, its owner
// and group. A file with other hard links, or in a folder that takes no new
// file, is rewritten in place instead: its old content is kept and written
// back when the new cannot be written whole.
bool WriteFileBytesAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
