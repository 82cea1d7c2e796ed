#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The .path file beside a recovery copy (app/RecoveryCopies.h), without Qt so
// that it is fuzzed with the engine. It holds the bytes of the original
// file's name as the document had it and nothing more: no line break ends
// it, and a name may hold one. It is empty for a design never saved.
namespace qxr {

// A path; anything longer is not one.
inline constexpr std::size_t kMaxRecoveryNameBytes = 64 * 1024;

// The name in a .path file's bytes; none when they cannot be a file name (a
// NUL byte, or longer than kMaxRecoveryNameBytes), and the copy is then
// restored as a design without a file.
std::optional<std::string> RecoveryNameFromBytes(std::string_view bytes);

}  // namespace qxr
