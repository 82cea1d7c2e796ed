#include "app/RecoveryName.h"

namespace qxr {

std::optional<std::string> RecoveryNameFromBytes(std::string_view bytes)
{
    if (bytes.size() > kMaxRecoveryNameBytes || bytes.find('\0') != std::string_view::npos)
        return std::nullopt;
    return std::string(bytes);
}

}  // namespace qxr
