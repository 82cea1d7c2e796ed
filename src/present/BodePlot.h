#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/DesignModel.h"
#include "model/LoopData.h"

// What a Bode plot of a loop shows, without drawing it: its lines and their
// looks, the curves on the loop's grid, and the ranges of its axes. The Bode
// pages and the printed report draw from here.
namespace qxr {

// Every line a Bode graph may hold, by the id the graph knows it by.
enum BodeLineId : int {
    kPlantLine = 0,
    kCompLine = 1,
    kLoopLine = 2,
    kBandLine = 3,  // the loop's spread over the stability sweep's corners
    kCrossoverLine = 5,
    kZeroDbLine = 6,
    kCursorLine = 7,
    kDiscreteCompLine = 8,  // the digital compensator and loop as the firmware runs them
    kDiscreteLoopLine = 9,
    kStandardLoopLine = 10,  // the analog loop with its parts at their standard values
    kMeasuredLine = 11,
    kComparedPlantLine = 12,
    kComparedCompLine = 13,
    kComparedLoopLine = 14,
    kSpiceLine = 15,  // the loop as ngspice measured it on the design's AC deck
};

enum class LineStyle { Solid = 0, Dashed = 1, Band = 2 };
struct LineLook {
    std::uint32_t color;  // 0x00BBGGRR
    LineStyle style;
};
LineLook LookOf(BodeLineId line);

// The lines drawn over the design's own curves, which widen the axes as they do.
inline constexpr BodeLineId kOverlayLines[] = {kStandardLoopLine, kMeasuredLine,     kComparedPlantLine,
                                               kComparedCompLine, kComparedLoopLine, kSpiceLine};

struct ShownCurves {
    bool plant;
    bool comp;
    bool loop;
};

// The loop's grid and, for the curves shown, their gains and phases on it
// (the other series stay empty).
struct BodeCurves {
    std::vector<double> grid, plantGain, plantPhase, compGain, compPhase, loopGain, loopPhase;
};
BodeCurves BodeCurvesOf(CDesignModel& model, ControlLoop loop, ShownCurves shown);

struct AxisRange {
    double minimum;
    double maximum;
    double majorStep;
};

// How a loop scales its axes: the voltage loop's fixed ranges, or the
// current loop's fitted to the curves at every redraw.
struct AxisPolicy {
    bool fitsRangesToCurves;
    double magnitudeMin;
    double magnitudeMax;
};
AxisPolicy AxesOf(ControlLoop loop);
inline constexpr AxisRange kFixedPhaseRange{-200, 0, 20};

// An axis bound rounded outward to the next multiple of 10 beyond it.
double RoundAxisBound(double value);

// The fitted ranges: the magnitude axis spans the curves; the phase axis
// runs from -210 to just above the highest curve, at most 10.
AxisRange FittedMagnitudeRange(const BodeCurves& curves);
AxisRange FittedPhaseRange(const BodeCurves& curves);

// The lowest and highest finite value seen.
struct ValueSpan {
    double lowest;
    double highest;

    void TakeIn(double value);
};
// The range widened to take in a span that reaches beyond it, to rounded
// bounds and a readable step; nothing when the span lies within it.
std::optional<AxisRange> WidenedRange(const AxisRange& range, ValueSpan span);

}  // namespace qxr
