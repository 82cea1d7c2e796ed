#pragma once

#include <vector>

#include "calc/LoopModel.h"
#include "model/LoopData.h"
#include "plot/GraphColor.h"
#include "present/BodePlot.h"

class CDesignModel;
class CGraphScatter;
namespace qxr {
struct LoopRobustness;
}

// The Bode plot of one loop drawn on two graphs, magnitude over phase: the
// curves asked for, the crossover marker and the loop's axes. The Bode pages
// and the printed report draw through it, so both show the same plot.
class BodeGraphs {
public:
    BodeGraphs(qxr::ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase);

    // Titles, colours and the lines; once, before the first Redraw.
    void Setup(CDesignModel& model, GraphColor background);
    // Recomputes the grid and the curves shown, fits the axes and redraws both
    // graphs; with a stability sweep, its spread of the loop lies behind the loop.
    void Redraw(CDesignModel& model, qxr::ShownCurves shown, const qxr::LoopRobustness* sweep = nullptr);

    // Widens the magnitude and phase ranges, as Redraw does for the design's own
    // curves, to the points of the lines drawn over them (kOverlayLines) within
    // the frequency range; the crossover marker spans the widened range.
    void TakeInOverlayLines();

    const qxr::BodeCurves& Curves() const { return curves_; }
    const std::vector<double>& Grid() const { return curves_.grid; }

private:
    void DrawCurves(qxr::ShownCurves shown);
    void FitRanges(qxr::FrequencyRange range);
    void ExtendRangesToCurves();
    void DrawCrossoverMarker(qxr::FrequencyRange range);
    void DrawSweepBand(const qxr::LoopRobustness& sweep);

    const qxr::ControlLoop loop_;
    const qxr::AxisPolicy axes_;
    CGraphScatter& magnitude_;
    CGraphScatter& phase_;
    qxr::BodeCurves curves_;
};

// Adds a Bode line to a graph with the look the plot gives it.
void AddBodeLine(CGraphScatter& graph, qxr::BodeLineId line);
