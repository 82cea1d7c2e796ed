// Feeds arbitrary bytes to the reader of a recovery copy's .path file: what
// reads is one file name, exactly the bytes that were written.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ReaderProperties.h"
#include "Violation.h"
#include "app/RecoveryName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    AbortOnViolation("recovery name", qxr::fuzz::RecoveryNameViolation(bytes, qxr::RecoveryNameFromBytes(bytes)));
    return 0;
}
