#include "analysis/StabilityMetrics.h"

#include <cmath>
#include <cstddef>
#include <limits>

#include "analysis/ControlLoops.h"
#include "model/DesignModel.h"

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

}  // namespace qxr

using namespace qxr;

namespace {

// The metrics measured on the loop's grid: the crossover at the gain closest
// to 0 dB, the slope between its neighbours, the gain margin at the phase
// closest to -180 degrees above it.
void ComputeGridMetrics(CDesignModel& model, ControlLoop loop)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const ControlLoopMembers& members = MembersOf(loop);
    const std::vector<double>& freq = BodeSeriesOf(model, loop, kFreq);
    const std::vector<double>& gain = BodeSeriesOf(model, loop, kLoopGain);
    const std::vector<double>& phase = BodeSeriesOf(model, loop, kLoopPhase);

    const int x = FindCrossoverIndex(gain);
    model.*members.crossIdx = x;
    if (x == 0)
        return;  // no crossover: the previous figures stay
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    model.*members.fx = freq[at(x)];
    if (x > 1 && at(x) + 1 < freq.size()) {
        model.*members.slope =
            (gain[at(x + 1)] - gain[at(x - 1)]) / (std::log10(freq[at(x + 1)]) - std::log10(freq[at(x - 1)]));
    } else {
        model.*members.slope = nan;
    }
    const int pc = FindPhaseCrossoverIndex(phase, x);
    model.*members.phaseCrossIdx = pc;
    model.*members.gainMargin = pc != 0 ? -gain[at(pc)] : nan;
    model.*members.phaseMargin = phase[at(x)] + 180;
}

}  // namespace

void CDesignModel::ComputeMetricsV()
{
    ComputeGridMetrics(*this, ControlLoop::Voltage);
}

void CDesignModel::ComputeMetricsI()
{
    ComputeGridMetrics(*this, ControlLoop::Current);
}
