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
// optional pass, in the time domain: simulated on a sub-grid of at most 8 x 8
// points and interpolated between them.
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
    // The pass simulated this point; otherwise its h3 and stepMin are
    // interpolated between the simulated points around it.
    bool timeDomainSimulated = false;
};

struct DesignMap {
    std::string notComputed;
    ControlLoop loop = ControlLoop::Voltage;
    std::vector<double> crossovers, phaseMargins;
    std::vector<MapCell> cells;  // row by row: cells[row * crossovers.size() + column]
    // The sub-grid the time-domain pass simulates, rising indices; empty without the pass.
    std::vector<std::size_t> timeDomainColumns, timeDomainRows;
    bool timeDomain = false;  // the time-domain pass ran whole: h3 and stepMin are known where they can be
    bool complete = false;    // every point computed (by both passes when asked), none left out by a cancel

    const MapCell& At(std::size_t row, std::size_t column) const { return cells[row * crossovers.size() + column]; }
};

struct DesignMapOptions {
    unsigned threads = 1;     // the calling thread among them; the map is the same for any number
    bool timeDomain = false;  // the second pass: two simulations per realisable point of its sub-grid
    // Set from another thread to give up; checked before every point.
    const std::atomic<bool>* cancel = nullptr;
    // Called as each point is done, by either pass, from the thread that computed it.
    std::function<void(std::size_t row, std::size_t column, const MapCell&)> cellDone;
};

// The time-domain pass simulates at most this many points: two simulations a
// point, about 0.1 s on one core, keep any map within seconds. A larger map is
// simulated on a sub-grid of at most kMaxTimeDomainSide columns and rows.
inline constexpr std::size_t kMaxTimeDomainMapPoints = 64;
inline constexpr std::size_t kMaxTimeDomainSide = 8;

struct TimeDomainSubGrid {
    std::vector<std::size_t> columns, rows;  // rising indices of the map's columns and rows
};

// Every column and row of a map of at most kMaxTimeDomainMapPoints points;
// of a larger one at most kMaxTimeDomainSide of each, spread evenly, both ends included.
TimeDomainSubGrid TimeDomainSubGridOf(std::size_t columns, std::size_t rows);

// Sets the map's timeDomainColumns and timeDomainRows to the sub-grid its
// time-domain pass simulates.
void PlanTimeDomainPass(DesignMap& map);

// The cells the time-domain pass simulates (indexes into map.cells): the
// realisable points of its sub-grid, row by row.
std::vector<std::size_t> TimeDomainPoints(const DesignMap& map);

// The map before its first point: the grid with every cell still to compute
// (none where the inputs say why no map can be computed).
DesignMap EmptyDesignMap(const DesignMapInputs& inputs);

// The settings that scale the map's work and their maxima: N__MAP_FX and
// N__MAP_PM up to 64 points each, so 4096 points at most; each costs one
// design pass and 2^7 corners. The time-domain pass adds two simulations for
// each of at most kMaxTimeDomainMapPoints points.
DesignMap ComputeDesignMap(const DesignMapInputs& inputs, const DesignMapOptions& options = {});

// The time-domain pass over a map whose first pass is complete: the sub-grid's
// points simulated, every other realisable point's h3 and stepMin
// interpolated bilinearly (in log crossover and phase margin) from the four
// sub-grid points around it, NaN where one of them has no figure. A cancel
// leaves the pass undone: timeDomain and complete false, the points
// simulated so far with their figures, none interpolated.
void RunTimeDomainPass(const DesignMapInputs& inputs, DesignMap& map, const DesignMapOptions& options = {});

}  // namespace qxr
