#include "analysis/BodeCsv.h"

#include "analysis/BodeColumns.h"
#include "analysis/NumberText.h"

namespace qxr {

namespace {

constexpr int kRoundTripDigits = 17;

}  // namespace

std::string FormatBodeCsv(const CDesignModel& model, ControlLoop loop)
{
    std::string csv;
    for (const BodeColumn& column : kBodeColumns)
        csv += (csv.empty() ? "" : ",") + std::string(column.csvHeader);
    csv += '\n';
    // Every series has one value per grid frequency.
    const std::size_t rows = model.Loop(loop).series[kFreq].size();
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t c = 0; c < kBodeSeriesCount; ++c) {
            const double value = model.Loop(loop).series[c][row];
            csv += (c > 0 ? "," : "") + FormatDouble(value, kRoundTripDigits);
        }
        csv += '\n';
    }
    return csv;
}

}  // namespace qxr
