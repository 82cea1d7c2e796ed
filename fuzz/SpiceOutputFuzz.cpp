// Feeds arbitrary bytes to the reader of ngspice's output, in the layout of
// an AC deck or of the transient deck (the first byte chooses). Nothing may
// crash, hang or allocate beyond what the input justifies; what reads is
// finite and ordered as documented.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "ReaderProperties.h"
#include "Violation.h"
#include "spice/SpiceDecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool transient = data[0] & 1;
    const std::vector<std::string> names =
        transient ? std::vector<std::string>(std::begin(qxr::kTransientVectors), std::end(qxr::kTransientVectors))
                  : std::vector<std::string>(std::begin(qxr::kAcVectors), std::end(qxr::kAcVectors));
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const qxr::SpiceTable table = qxr::ReadSpiceTable(text, transient ? "time" : "frequency", names);
    AbortOnViolation("spice output", qxr::fuzz::SpiceTableViolation(table, names.size()));
    return 0;
}
