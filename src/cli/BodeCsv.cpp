#include "cli/BodeCsv.h"

#include "cli/NumberText.h"

namespace qxr::cli {

namespace {

constexpr int kRoundTripDigits = 17;

}  // namespace

std::string FormatBodeCsv(const CDesignModel& model, Loop loop)
{
    const LoopView view = ViewOf(model, loop);
    std::string csv;
    for (const BodeColumn& column : kBodeColumns)
        csv += (csv.empty() ? "" : ",") + std::string(column.csvHeader);
    csv += '\n';
    // Every series has one value per grid frequency.
    for (std::size_t row = 0; row < view.series[0]->size(); ++row) {
        for (std::size_t c = 0; c < view.series.size(); ++c)
            csv += (c > 0 ? "," : "") + FormatDouble((*view.series[c])[row], kRoundTripDigits);
        csv += '\n';
    }
    return csv;
}

}  // namespace qxr::cli
