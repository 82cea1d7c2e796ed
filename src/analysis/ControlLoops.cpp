#include "analysis/ControlLoops.h"

#include <cmath>

namespace qxr {

void BuildLogGrid(double fa, double fb, double fx, std::vector<double>& grid)
{
    constexpr int kPoints = static_cast<int>(kBodeGridPoints);
    const double La = std::log10(fa);
    const double Lb = std::log10(fb);
    const double span = Lb - La;
    const double Lx = std::log10(fx);

    grid.resize(kBodeGridPoints);
    bool fxUsed = false;
    for (int k = 0; k < kPoints; ++k) {
        double g = std::pow(10.0, k * span / kPoints + La);
        if (!fxUsed && (k + 1) * span / kPoints + La > Lx) {
            g = fx;
            fxUsed = true;
        }
        grid[static_cast<std::size_t>(k)] = g;
    }
}

void BuildBodeGrid(CDesignModel& model, ControlLoop loop, std::vector<double>& grid)
{
    const FrequencyRange range = BodeRange(model, loop);
    BuildLogGrid(range.start, range.stop, RequiredCrossover(model, loop), grid);
}

BodePoint EvaluateLoop(const LoopModel& loop, double f)
{
    const double w = kTwoPi * f;
    const PhaseTerms phase(loop.compensator, w);
    return {loop.plant.GainDb(w),       -90.0,
            loop.compensator.GainDb(w), phase.CompensatorDeg(),
            loop.SummedGainDb(w),       phase.LoopDeg(loop.SamplingLag(w))};
}

}  // namespace qxr
