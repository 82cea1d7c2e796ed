#include "present/DesignMapTexts.h"

#include <cmath>

#include "present/NumberFormat.h"

namespace qxr {

namespace {

std::string Point(double crossover, double phaseMargin)
{
    const std::string frequency =
        crossover >= 1000 ? FormatSignificant(crossover / 1000, 3) + " kHz" : FormatSignificant(crossover, 3) + " Hz";
    return frequency + ", " + FormatFixed(phaseMargin, 1) + "°";
}

// The cell's robust figures; the time-domain ones only where the map knows
// them, marked "≈" where they are interpolated between simulated points.
std::string Figures(const MapCell& cell)
{
    std::string text = std::isnan(cell.worstPm) ? "a corner without crossover"
                                                : "worst-case phase margin " + FormatFixed(cell.worstPm, 1) + "°";
    text += ", Ms " + FormatFixed(cell.worstMs, 2);
    const std::string mark = cell.timeDomainSimulated ? "" : "≈ ";
    if (!std::isnan(cell.h3))
        text += ", third harmonic " + mark + FormatFixed(cell.h3, 2) + " %";
    if (!std::isnan(cell.stepMin))
        text += ", load-step minimum " + mark + FormatFixed(cell.stepMin, 1) + " V";
    return text;
}

std::string Limit(const std::string& symbol, const MapLimits& limits)
{
    if (symbol == "PM__WORST_MIN")
        return "worst-case phase margin of at least " + FormatFixed(limits.worstPmMin, 1) + "°";
    if (symbol == "M__S_MAX")
        return "Ms of at most " + FormatFixed(limits.msMax, 2);
    if (symbol == "H3__MAX")
        return "third harmonic of at most " + FormatFixed(limits.h3Max, 2) + " %";
    return "load-step minimum of at least " + FormatFixed(limits.stepMin, 1) + " V";
}

}  // namespace

std::string CellReadout(const DesignMap& map, std::size_t row, std::size_t column)
{
    const MapCell& cell = map.At(row, column);
    const std::string point = Point(map.crossovers[column], map.phaseMargins[row]);
    if (!cell.computed)
        return point + ": not computed yet";
    if (!cell.realisable)
        return point + ": cannot be realised";
    return point + ": " + Figures(cell);
}

std::string ProposalSummary(const Proposal& proposal, const MapLimits& limits)
{
    if (!proposal.found)
        return "No point of the map can be realised.";
    std::string text = "Proposal: " + Point(proposal.crossover, proposal.phaseMargin) + ", " + Figures(proposal.cell);
    if (proposal.Meets())
        return text + "; it meets every limit.";
    text += "; no point meets every limit, this one misses the ";
    for (std::size_t i = 0; i < proposal.misses.size(); ++i)
        text += (i == 0                            ? ""
                 : i + 1 == proposal.misses.size() ? " and the "
                                                   : ", the ") +
                Limit(proposal.misses[i], limits);
    return text + ".";
}

}  // namespace qxr
