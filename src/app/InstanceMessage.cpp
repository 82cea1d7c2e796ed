#include "app/InstanceMessage.h"

#include <cstdint>

namespace qxr {

std::string InstanceMessage(std::string_view name)
{
    std::string message(kInstanceLengthBytes, '\0');
    for (std::size_t k = 0; k < kInstanceLengthBytes; ++k)
        message[k] = static_cast<char>(name.size() >> (8 * (kInstanceLengthBytes - 1 - k)) & 0xFF);
    return message.append(name);
}

TakenMessage TakeInstanceMessage(std::string_view bytes)
{
    using Status = TakenMessage::Status;
    if (bytes.size() < kInstanceLengthBytes)
        return {};
    std::size_t length = 0;
    for (std::size_t k = 0; k < kInstanceLengthBytes; ++k)
        length = length << 8 | static_cast<uint8_t>(bytes[k]);
    if (length == 0 || length > kMaxInstanceNameBytes)
        return {Status::Malformed, 0, {}};
    if (bytes.size() - kInstanceLengthBytes < length)
        return {};
    const std::string_view name = bytes.substr(kInstanceLengthBytes, length);
    if (name.front() != '/' || name.find('\0') != std::string_view::npos)
        return {Status::Malformed, 0, {}};
    return {Status::Name, kInstanceLengthBytes + length, std::string(name)};
}

}  // namespace qxr
