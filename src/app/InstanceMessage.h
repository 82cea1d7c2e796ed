#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The bytes of the instance channel (app/InstanceChannel.h), without Qt so
// that they are fuzzed with the engine. A message is the length of an
// absolute file name, 32 bits big-endian, then the name's bytes.
namespace qxr {

inline constexpr std::size_t kInstanceLengthBytes = 4;
// A path; anything longer is not one.
inline constexpr std::size_t kMaxInstanceNameBytes = 64 * 1024;

// The message for a name of 1 to kMaxInstanceNameBytes bytes.
std::string InstanceMessage(std::string_view name);

struct TakenMessage {
    enum class Status { Name, Incomplete, Malformed };
    Status status = Status::Incomplete;
    std::size_t size = 0;  // bytes of the message, with Status::Name
    std::string name;      // with Status::Name: absolute, without NUL
};

// The message at the start of bytes. Incomplete until every byte that its
// length announces has come; malformed as soon as the length is 0 or too
// long, or the whole name is not absolute or holds a NUL byte, which no
// file name does.
TakenMessage TakeInstanceMessage(std::string_view bytes);

}  // namespace qxr
