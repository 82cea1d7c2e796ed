#pragma once

#include <initializer_list>
#include <vector>

#include <QString>

#include "analysis/ControlLoops.h"
#include "plot/GraphColor.h"

class CDesignModel;
class CGraphScatter;
namespace qxr {
struct LoopRobustness;
struct RobustnessReport;
}  // namespace qxr

// The Bode plot of one loop on two graphs, magnitude over phase: the curves
// asked for, the crossover marker and the loop's axes. The Bode pages and
// the printed report draw through it, so both show the same plot.
class BodeGraphs {
public:
    enum LineId { kPlant = 0, kComp = 1, kLoop = 2, kBand = 3, kCrossover = 5, kZeroDb = 6, kCursor = 7 };

    // How a loop scales its axes: fixed ranges set once, or ranges fitted to
    // the curves at every redraw.
    struct AxisPolicy {
        bool fitsRangesToCurves;
        double magnitudeMin;
        double magnitudeMax;
    };
    struct Curves {
        bool plant;
        bool comp;
        bool loop;
    };

    // The voltage loop's fixed axes and the current loop's fitted ones.
    static AxisPolicy AxesOf(qxr::ControlLoop loop);
    // An axis bound rounded outward to the next multiple of 10 beyond it.
    static double RoundAxisBound(double value);

    BodeGraphs(qxr::ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase);

    // Titles, colours and the lines; once, before the first Redraw.
    void Setup(CDesignModel& model, GraphColor background);
    // Recomputes the grid and the curves shown, fits the axes and redraws both
    // graphs; with a stability sweep, its spread of the loop lies behind the loop.
    void Redraw(CDesignModel& model, Curves shown, const qxr::LoopRobustness* sweep = nullptr);

    // Widens the magnitude and phase ranges, as Redraw does for the design's own
    // curves, to the points of lines drawn over them within the frequency range;
    // the crossover marker spans the widened range.
    void TakeInLines(std::initializer_list<int> lineIds);

    const std::vector<double>& Grid() const { return grid_; }
    const std::vector<double>& PlantGain() const { return plantGain_; }
    const std::vector<double>& PlantPhase() const { return plantPhase_; }
    const std::vector<double>& CompGain() const { return compGain_; }
    const std::vector<double>& CompPhase() const { return compPhase_; }
    const std::vector<double>& LoopGain() const { return loopGain_; }
    const std::vector<double>& LoopPhase() const { return loopPhase_; }

private:
    void ComputeCurves(CDesignModel& model, Curves shown);
    void FitRanges(qxr::FrequencyRange range);
    void ExtendRangesToCurves();
    void DrawCrossoverMarker(qxr::FrequencyRange range);
    void DrawSweepBand(const qxr::LoopRobustness& sweep);

    const qxr::ControlLoop loop_;
    const AxisPolicy axes_;
    CGraphScatter& magnitude_;
    CGraphScatter& phase_;
    std::vector<double> grid_;
    std::vector<double> plantGain_, plantPhase_, compGain_, compPhase_, loopGain_, loopPhase_;
};

// The stability figures of a loop as the Bode page's fields show them.
struct StabilityTexts {
    QString crossover;
    QString phaseMargin;
    QString gainMargin;  // empty when there is neither a margin nor a curve to bound it
    QString slope;
};
// loopGains: the loop's gains as plotted; its last one bounds a gain margin
// that could not be measured.
StabilityTexts FormatStability(const CDesignModel& model, qxr::ControlLoop loop, const std::vector<double>& loopGains);

// The stability sweep of a loop as the Bode page's fields show it: minimum
// and maximum of each figure over the corners and samples, and the
// right-half-plane zero; all empty without a computed sweep.
struct SweepTexts {
    QString crossover;
    QString phaseMargin;
    QString gainMargin;
    QString slope;
    QString rhpz;
    QString rhpzSpread;
};
SweepTexts FormatSweep(const qxr::RobustnessReport* report, qxr::ControlLoop loop);
