#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path);

// Replaces the file's content so that it is either the old or the new one,
// never a mix and never lost: the bytes go to a temporary file in the same
// folder, are flushed to the disk and then renamed over the file. On failure
// the old file is untouched and the temporary file removed. A replaced file
// keeps its permissions.
bool WriteFileBytesAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
