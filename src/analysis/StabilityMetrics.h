#pragma once

#include <vector>

#include "model/LoopData.h"

namespace qxr {

// Index of the gain closest to 0 dB; 0 means no crossover. The first gain
// competes with its sign, so a loop already below 0 dB at the first point
// reports none.
int FindCrossoverIndex(const std::vector<double>& gains);

// Index at or after start whose phase is closest to -180 degrees; 0 means
// none. The start phase competes with its sign, so a loop already below
// -180 degrees there reports none.
int FindPhaseCrossoverIndex(const std::vector<double>& phases, int start);

// The loop's figures measured on its Bode series: the crossover at the gain
// closest to 0 dB, the slope between its neighbours, the gain margin at the
// phase closest to -180 degrees above it. Without a crossover only crossIdx
// changes (to 0); the other figures keep their values.
void ComputeGridMetrics(LoopData& loop);

}  // namespace qxr
