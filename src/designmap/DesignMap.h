#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "model/DesignModel.h"
#include "model/LoopData.h"

// The design map of one loop: the design recalculated for every required
// crossover (log-spaced, the columns) and phase margin (the rows) of a grid,
// each point judged over the stability sweep's corners and, in a second and
// optional pass, in the time domain.
namespace qxr {

// The proposal's limits (PM__WORST_MIN, M__S_MAX, H3__MAX, V__STEP_MIN).
struct MapLimits {
    double worstPmMin = 0, msMax = 0;
    double h3Max = 0, stepMin = 0;  // % of the fundamental, V; held only where known
};

// Everything a map needs, read from the model on the thread that owns it; the
// map itself is then computed anywhere.
struct DesignMapInputs {
    std::string notComputed;  // why no map can be computed (a setting out of range); empty when it can
    ControlLoop loop = ControlLoop::Voltage;
    DesignState state;                 // the design as it is; each point enters its crossover and margin into it
    std::vector<double> crossovers;    // Hz, rising
    std::vector<double> phaseMargins;  // degrees, rising
    MapLimits limits;
};

DesignMapInputs ReadDesignMapInputs(CDesignModel& model, ControlLoop loop);

// F__X_VLOOP or F__X_ILOOP, PM__VLOOP or PM__ILOOP: where a point of the map is entered.
CSymbol& RequiredCrossoverSymbol(CDesignModel& model, ControlLoop loop);
CSymbol& RequiredMarginSymbol(CDesignModel& model, ControlLoop loop);
// Enters a point's crossover and margin as the user's; the caller recalculates.
void EnterPoint(CDesignModel& model, ControlLoop loop, double crossover, double phaseMargin);

struct MapCell {
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    bool computed = false;    // false until its point is done, and for points a cancel left out
    bool realisable = false;  // every part positive and the nominal crossover where asked
    // Over the sweep's corners: the lowest phase margin (NaN when a corner has
    // no crossover) and the largest Ms. NaN where not realisable.
    double worstPm = kNaN, worstMs = kNaN;
    // From the time-domain pass: the third harmonic at V__IN_MIN and full load
    // (% of the fundamental) and the output's minimum on the load step (V).
    double h3 = kNaN, stepMin = kNaN;
};

struct DesignMap {
    std::string notComputed;
    ControlLoop loop = ControlLoop::Voltage;
    std::vector<double> crossovers, phaseMargins;
    std::vector<MapCell> cells;  // row by row: cells[row * crossovers.size() + column]
    bool timeDomain = false;     // the time-domain pass ran: h3 and stepMin are known
    bool complete = false;       // every point computed, none left out by a cancel

    const MapCell& At(std::size_t row, std::size_t column) const { return cells[row * crossovers.size() + column]; }
};

struct DesignMapOptions {
    unsigned threads = 1;     // the calling thread among them; the map is the same for any number
    bool timeDomain = false;  // the second pass: two simulations per realisable point
    // Set from another thread to give up; checked before every point.
    const std::atomic<bool>* cancel = nullptr;
    // Called as each point is done, from the thread that computed it.
    std::function<void(std::size_t row, std::size_t column, const MapCell&)> cellDone;
};

// With the time-domain pass, a map of more points than this is not computed:
// two simulations a point, about 0.1 s on one core, keep it within seconds.
inline constexpr std::size_t kMaxTimeDomainMapPoints = 64;

// The map before its first point: the grid with every cell still to compute
// (none where the inputs say why no map can be computed).
DesignMap EmptyDesignMap(const DesignMapInputs& inputs);

// The settings that scale the map's work and their maxima: N__MAP_FX and
// N__MAP_PM up to 64 points each, so 4096 points at most (with the time-domain
// pass kMaxTimeDomainMapPoints); each costs one
// design pass and 2^7 corners, and with the time-domain pass two simulations.
DesignMap ComputeDesignMap(const DesignMapInputs& inputs, const DesignMapOptions& options = {});

}  // namespace qxr
