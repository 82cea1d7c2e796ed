#pragma once

#include <vector>

#include "calc/LoopModel.h"
#include "model/DesignModel.h"
#include "model/LoopData.h"

// The Bode data of a loop: its grid and the six curves on it, from the loop's
// transfer functions (calc/LoopModel.h). The Bode data, the metrics, the
// command line and the pages all go through these.
namespace qxr {

// kBodeGridPoints log-spaced frequencies from fa up to (not including) fb.
// The required crossover fx replaces the last grid point at or below it, so
// the loop is measured exactly there.
void BuildLogGrid(double fa, double fb, double fx, std::vector<double>& grid);
// The grid of a loop's Bode data: its range with its required crossover.
void BuildBodeGrid(CDesignModel& model, ControlLoop loop, std::vector<double>& grid);

// The six curves of a loop at one frequency in Hz.
struct BodePoint {
    double plantGain, plantPhase, compGain, compPhase, loopGain, loopPhase;
};
BodePoint EvaluateLoop(const LoopModel& loop, double f);

}  // namespace qxr
