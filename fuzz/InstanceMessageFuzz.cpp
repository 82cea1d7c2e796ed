// Feeds arbitrary bytes to the instance channel's decoding as the socket
// delivers them: message after message until one is incomplete or malformed.
// Every name taken is one absolute file name, exactly as it was sent.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ReaderProperties.h"
#include "Violation.h"
#include "app/InstanceMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (;;) {
        const qxr::TakenMessage taken = qxr::TakeInstanceMessage(bytes);
        AbortOnViolation("instance message", qxr::fuzz::InstanceMessageViolation(bytes, taken));
        if (taken.status != qxr::TakenMessage::Status::Name)
            return 0;
        bytes.remove_prefix(taken.size);
    }
}
