#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "designmap/DesignMap.h"

// The point of a design map to propose: the realisable one with the highest
// worst-case phase margin among those that meet the limits, ties (within
// 1e-6 degrees) to the higher crossover; when none meets them, the one that
// misses them least.
namespace qxr {

struct Proposal {
    bool found = false;  // the map has a realisable point
    std::size_t row = 0, column = 0;
    double crossover = MapCell::kNaN, phaseMargin = MapCell::kNaN;  // Hz, degrees
    MapCell cell;
    // The limits the point misses, by symbol name (PM__WORST_MIN, M__S_MAX,
    // H3__MAX, V__STEP_MIN); empty when it meets them all.
    std::vector<std::string> misses;

    bool Meets() const { return found && misses.empty(); }
};

// The third harmonic and the load step's minimum count only where the map knows them.
Proposal ProposeFrom(const DesignMap& map, const MapLimits& limits);

}  // namespace qxr
