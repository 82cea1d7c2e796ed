#include "analysis/StabilityMetrics.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace qxr {

namespace {

// Smallest |value + offset| from start on, strictly improving on the start
// value taken with its sign; NaN never improves.
int FindClosestIndex(const std::vector<double>& values, double offset, std::size_t start)
{
    if (start >= values.size())
        return 0;
    double best = values[start] + offset;
    int result = 0;
    for (std::size_t i = start; i < values.size(); ++i) {
        const double distance = std::fabs(values[i] + offset);
        if (best > distance) {
            best = distance;
            result = static_cast<int>(i);
        }
    }
    return result;
}

}  // namespace

int FindCrossoverIndex(const std::vector<double>& gains)
{
    return FindClosestIndex(gains, 0.0, 0);
}

int FindPhaseCrossoverIndex(const std::vector<double>& phases, int start)
{
    return FindClosestIndex(phases, 180.0, static_cast<std::size_t>(start));
}

void ComputeGridMetrics(LoopData& loop)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double>& freq = loop.series[kFreq];
    const std::vector<double>& gain = loop.series[kLoopGain];
    const std::vector<double>& phase = loop.series[kLoopPhase];

    const int x = FindCrossoverIndex(gain);
    loop.crossIdx = x;
    if (x == 0)
        return;  // no crossover: the previous figures stay
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    loop.fx = freq[at(x)];
    if (x > 1 && at(x) + 1 < freq.size()) {
        loop.slope = (gain[at(x + 1)] - gain[at(x - 1)]) / (std::log10(freq[at(x + 1)]) - std::log10(freq[at(x - 1)]));
    } else {
        loop.slope = nan;
    }
    const int pc = FindPhaseCrossoverIndex(phase, x);
    loop.phaseCrossIdx = pc;
    loop.gainMargin = pc != 0 ? -gain[at(pc)] : nan;
    loop.phaseMargin = phase[at(x)] + 180;
}

}  // namespace qxr
