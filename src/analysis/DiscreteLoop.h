#pragma once

#include <limits>
#include <vector>

#include "analysis/ControlLoops.h"
#include "calc/CoefficientExport.h"
#include "calc/TwoPoleTwoZero.h"

// Each loop with its compensator as the firmware runs it: the 2p2z set in the
// design's number format at z = e^(jwT), with the prototype loop's plant and
// sampling delay, up to the Nyquist frequency of the set's sampling rate.
namespace qxr {

CoefficientSet CompensatorSetOf(ControlLoop loop);

// The loop's set quantised to the design's format; the set as calculated
// when the format has a problem.
TwoPoleTwoZero RunningCoefficients(const CDesignModel& model, ControlLoop loop);

struct DiscreteLoopCurves {
    std::vector<double> freq, compGain, compPhase, loopGain, loopPhase;  // Hz, dB, degrees
};

// On the loop's Bode range, cut at the Nyquist frequency; empty when the
// sampling frequency is not a positive number.
DiscreteLoopCurves DiscreteLoopCurvesOf(CDesignModel& model, ControlLoop loop);

struct DiscreteLoopFigures {
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    double fx = kNaN;           // Hz: where the gain first falls through 0 dB
    double phaseMargin = kNaN;  // degrees
    double gainMargin = kNaN;   // dB: infinite when the phase does not fall through -180 after fx
    // The discrete loop against the prototype at the required crossover.
    double gainDifferenceDb = kNaN;
    double phaseDifferenceDeg = kNaN;
};

DiscreteLoopFigures DiscreteLoopFiguresOf(CDesignModel& model, ControlLoop loop);

}  // namespace qxr
