// Feeds arbitrary bytes to the measurement reader. Nothing may crash, hang or
// allocate beyond what the input justifies; what reads is a measurement as
// documented, and its figures are numbers where they are documented to be.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ReaderProperties.h"
#include "Violation.h"
#include "analysis/MeasuredLoop.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const qxr::MeasurementRead read = qxr::ReadMeasurement({reinterpret_cast<const char*>(data), size});
    AbortOnViolation("measurement", qxr::fuzz::MeasurementViolation(read));
    if (!read.points.empty())
        AbortOnViolation("measured figures", qxr::fuzz::MeasuredFiguresViolation(qxr::MeasuredMetricsOf(read.points)));
    return 0;
}
