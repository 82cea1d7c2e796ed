#include "analysis/ControlLoops.h"

#include <cmath>

#include "calc/DesignConstants.h"

namespace qxr {

namespace {

using M = CDesignModel;

const ControlLoopMembers kVoltageLoop{
    {&M::freqV, &M::plantGainV, &M::plantPhaseV, &M::compGainV, &M::compPhaseV, &M::loopGainV, &M::loopPhaseV},
    &M::crossIdxV,
    &M::phaseCrossIdxV,
    &M::fxV,
    &M::slopeV,
    &M::gainMarginV,
    &M::phaseMarginV,
    &M::F__X_VLOOP,
    &M::PlantGainV,
    &M::CompGainV,
    &M::CompPhaseV,
    &M::LoopPhaseV,
};

const ControlLoopMembers kCurrentLoop{
    {&M::freqI, &M::plantGainI, &M::plantPhaseI, &M::compGainI, &M::compPhaseI, &M::loopGainI, &M::loopPhaseI},
    &M::crossIdxI,
    &M::phaseCrossIdxI,
    &M::fxI,
    &M::slopeI,
    &M::gainMarginI,
    &M::phaseMarginI,
    &M::F__X_ILOOP,
    &M::PlantGainI,
    &M::CompGainI,
    &M::CompPhaseI,
    &M::LoopPhaseI,
};

}  // namespace

const ControlLoopMembers& MembersOf(ControlLoop loop)
{
    return loop == ControlLoop::Voltage ? kVoltageLoop : kCurrentLoop;
}

FrequencyRange BodeRange(CDesignModel& model, ControlLoop loop)
{
    if (loop == ControlLoop::Voltage)
        return {1, 1000};
    return {100, model.Read(model.f__S)};
}

double RequiredCrossover(CDesignModel& model, ControlLoop loop)
{
    return model.Read(model.*MembersOf(loop).requiredCrossover);
}

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

BodePoint EvaluateLoop(CDesignModel& model, ControlLoop loop, double f)
{
    const ControlLoopMembers& members = MembersOf(loop);
    const double w = kTwoPi * f;
    const double plantGain = (model.*members.plantGain)(w);
    const double compGain = (model.*members.compGain)(w);
    // The loop gain is the sum in dB, as LoopGainV and LoopGainI compute it.
    return {
        plantGain, -90.0, compGain, (model.*members.compPhase)(w), plantGain + compGain, (model.*members.loopPhase)(w)};
}

LoopStability StabilityOf(const CDesignModel& model, ControlLoop loop)
{
    const ControlLoopMembers& members = MembersOf(loop);
    return {model.*members.crossIdx, model.*members.phaseCrossIdx, model.*members.fx,
            model.*members.slope,    model.*members.gainMargin,    model.*members.phaseMargin};
}

}  // namespace qxr
