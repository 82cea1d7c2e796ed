#include "designmap/Proposal.h"

#include <cmath>
#include <limits>

namespace qxr {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// How far a figure misses its limit, relative to the limit (0 when it meets
// it); a figure that could not be measured misses by all.
double Shortfall(double figure, double limit, bool atMost)
{
    if (std::isnan(figure))
        return kInfinity;
    const double excess = atMost ? figure - limit : limit - figure;
    return excess > 0 ? excess / std::fmax(std::fabs(limit), 1e-300) : 0.0;
}

struct Judged {
    double shortfall = kInfinity;  // summed over the limits
    std::vector<std::string> misses;
};

Judged Judge(const MapCell& cell, const MapLimits& limits, bool timeDomain)
{
    struct Check {
        const char* name;
        double figure, limit;
        bool atMost, known;
    };
    const Check checks[] = {
        {"PM__WORST_MIN", cell.worstPm, limits.worstPmMin, false, true},
        {"M__S_MAX", cell.worstMs, limits.msMax, true, true},
        {"H3__MAX", cell.h3, limits.h3Max, true, timeDomain && !std::isnan(cell.h3)},
        {"V__STEP_MIN", cell.stepMin, limits.stepMin, false, timeDomain && !std::isnan(cell.stepMin)},
    };
    Judged judged{0.0, {}};
    for (const Check& check : checks) {
        if (!check.known)
            continue;
        const double shortfall = Shortfall(check.figure, check.limit, check.atMost);
        if (shortfall > 0) {
            judged.shortfall += shortfall;
            judged.misses.push_back(check.name);
        }
    }
    return judged;
}

// Worst-case margins this close are the same margin: points that differ only
// in the rounding of their corners tie, and the higher crossover takes them.
constexpr double kMarginTie = 1e-6;  // degrees

// NaN, a corner without a crossover, is the lowest margin of all.
bool HigherMargin(double a, double b)
{
    return !std::isnan(a) && (std::isnan(b) || a > b + kMarginTie);
}

// Meeting the limits first, then missing them less, then the higher worst-case
// margin, then the higher crossover.
bool Better(const Judged& a, const MapCell& cellA, double crossoverA, const Judged& b, const MapCell& cellB,
            double crossoverB)
{
    if (a.shortfall != b.shortfall)
        return a.shortfall < b.shortfall;
    if (HigherMargin(cellA.worstPm, cellB.worstPm) || HigherMargin(cellB.worstPm, cellA.worstPm))
        return HigherMargin(cellA.worstPm, cellB.worstPm);
    return crossoverA > crossoverB;
}

}  // namespace

Proposal ProposeFrom(const DesignMap& map, const MapLimits& limits)
{
    Proposal best;
    Judged bestJudged;
    for (std::size_t row = 0; row < map.phaseMargins.size(); ++row) {
        for (std::size_t column = 0; column < map.crossovers.size(); ++column) {
            const MapCell& cell = map.At(row, column);
            if (!cell.computed || !cell.realisable)
                continue;
            const Judged judged = Judge(cell, limits, map.timeDomain);
            if (best.found && !Better(judged, cell, map.crossovers[column], bestJudged, best.cell, best.crossover))
                continue;
            best = {true, row, column, map.crossovers[column], map.phaseMargins[row], cell, judged.misses};
            bestJudged = judged;
        }
    }
    return best;
}

}  // namespace qxr
