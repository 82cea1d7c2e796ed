#include "figures/BodeGraphs.h"

#include <tuple>

#include <QCoreApplication>

#include "analysis/Robustness.h"
#include "analysis/StabilityMetrics.h"
#include "calc/LoopModel.h"
#include "model/DesignModel.h"
#include "plot/GraphScatter.h"

using namespace qxr;

namespace {

// The texts keep the translation context of the page they were first written for.
QString Tr(const char* text)
{
    return QCoreApplication::translate("CTabFreqResponse", text);
}

void SetRange(CGraphAxis& axis, const AxisRange& range)
{
    axis.minimum = range.minimum;
    axis.maximum = range.maximum;
    axis.majorStep = range.majorStep;
    axis.minorStep = 0;
    axis.autoScale = false;
}

AxisRange RangeOf(const CGraphAxis& axis)
{
    return {axis.minimum, axis.maximum, axis.majorStep};
}

// Widens an axis to take in a span that reaches beyond it; true when it widened.
bool ExtendRange(CGraphAxis& axis, ValueSpan span)
{
    const std::optional<AxisRange> widened = WidenedRange(RangeOf(axis), span);
    if (widened)
        SetRange(axis, *widened);
    return widened.has_value();
}

// The plot's styles go by the same numbers.
static_assert(static_cast<int>(LineStyle::Solid) == CScatterGraphLine::kSolid);
static_assert(static_cast<int>(LineStyle::Dashed) == CScatterGraphLine::kDashed);
static_assert(static_cast<int>(LineStyle::Band) == CScatterGraphLine::kBand);

}  // namespace

void AddBodeLine(CGraphScatter& graph, BodeLineId line)
{
    const LineLook look = LookOf(line);
    graph.AddLine(line, look.color, static_cast<int>(look.style));
}

BodeGraphs::BodeGraphs(ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase)
    : loop_(loop), axes_(AxesOf(loop)), magnitude_(magnitude), phase_(phase)
{
}

void BodeGraphs::Setup(CDesignModel& model, GraphColor background)
{
    const FrequencyRange range = BodeRange(model, loop_);
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        graph->xAxis.logScale = true;
        SetRange(graph->xAxis, {range.start, range.stop, 0});
        graph->xTitle.text = Tr("Frequency (Hz)");
        graph->xTitle.height = 15;
        graph->yTitle.height = 15;
        graph->xTitle.RebuildFont();
        graph->yTitle.RebuildFont();
        graph->textColor = ReadableTextColor(background);
        graph->backColor = background;
        graph->plotColor = 0xFFFFFF;
        graph->gridColor = 0xE1E1E1;
        // The band first, so that every curve is drawn over it.
        for (BodeLineId line : {kBandLine, kPlantLine, kCompLine, kLoopLine})
            AddBodeLine(*graph, line);
    }
    magnitude_.yTitle.text = Tr("Magnitude (dB)");
    phase_.yTitle.text = Tr("Phase (Degrees)");
    SetRange(magnitude_.yAxis, {axes_.magnitudeMin, axes_.magnitudeMax, 20});
    SetRange(phase_.yAxis, kFixedPhaseRange);
    AddBodeLine(magnitude_, kCrossoverLine);
    AddBodeLine(magnitude_, kZeroDbLine);
    AddBodeLine(phase_, kCrossoverLine);
}

void BodeGraphs::Redraw(CDesignModel& model, ShownCurves shown, const LoopRobustness* sweep)
{
    const FrequencyRange range = BodeRange(model, loop_);
    for (int id : {kBandLine, kPlantLine, kCompLine, kLoopLine, kCrossoverLine})
        phase_.ClearLine(id);
    for (int id : {kBandLine, kPlantLine, kCompLine, kLoopLine, kZeroDbLine, kCrossoverLine})
        magnitude_.ClearLine(id);
    phase_.RecalcRanges();
    magnitude_.RecalcRanges();
    curves_ = BodeCurvesOf(model, loop_, shown);
    DrawCurves(shown);
    if (axes_.fitsRangesToCurves)
        FitRanges(range);
    ExtendRangesToCurves();
    if (shown.loop) {
        DrawCrossoverMarker(range);
        if (sweep)
            DrawSweepBand(*sweep);
    }
    magnitude_.Redraw();
    phase_.Redraw();
}

// The outline runs along the minimum and back along the maximum.
void BodeGraphs::DrawSweepBand(const LoopRobustness& sweep)
{
    const std::vector<double>& f = sweep.bandFrequencies;
    for (auto [graph, low, high] : {std::tuple{&magnitude_, &sweep.gainMin, &sweep.gainMax},
                                    std::tuple{&phase_, &sweep.phaseMin, &sweep.phaseMax}}) {
        for (std::size_t k = 0; k < f.size(); ++k)
            graph->AddPoint(f[k], (*low)[k], kBandLine);
        for (std::size_t k = f.size(); k-- > 0;)
            graph->AddPoint(f[k], (*high)[k], kBandLine);
    }
}

void BodeGraphs::DrawCurves(ShownCurves shown)
{
    const auto draw = [this](BodeLineId line, const std::vector<double>& gains, const std::vector<double>& phases) {
        for (std::size_t k = 0; k < gains.size(); ++k) {
            magnitude_.AddPoint(curves_.grid[k], gains[k], line);
            phase_.AddPoint(curves_.grid[k], phases[k], line);
        }
    };
    if (shown.plant)
        draw(kPlantLine, curves_.plantGain, curves_.plantPhase);
    if (shown.comp)
        draw(kCompLine, curves_.compGain, curves_.compPhase);
    if (shown.loop)
        draw(kLoopLine, curves_.loopGain, curves_.loopPhase);
}

void BodeGraphs::FitRanges(FrequencyRange range)
{
    SetRange(magnitude_.yAxis, FittedMagnitudeRange(curves_));
    SetRange(phase_.yAxis, FittedPhaseRange(curves_));
    for (CGraphScatter* graph : {&magnitude_, &phase_})
        SetRange(graph->xAxis, {range.start, range.stop, 0});
}

// A curve is never cut off: the fixed ranges, or the fitted phase range's
// floor, widen to take it in, and the fixed ones return once it is back.
void BodeGraphs::ExtendRangesToCurves()
{
    if (!axes_.fitsRangesToCurves) {
        SetRange(magnitude_.yAxis, {axes_.magnitudeMin, axes_.magnitudeMax, 20});
        SetRange(phase_.yAxis, kFixedPhaseRange);
    }
    const auto extend = [](CGraphScatter& graph, std::initializer_list<const std::vector<double>*> curves) {
        ValueSpan span{graph.yAxis.minimum, graph.yAxis.maximum};
        for (const std::vector<double>* curve : curves) {
            for (const double value : *curve)
                span.TakeIn(value);
        }
        ExtendRange(graph.yAxis, span);
    };
    extend(magnitude_, {&curves_.plantGain, &curves_.compGain, &curves_.loopGain});
    extend(phase_, {&curves_.plantPhase, &curves_.compPhase, &curves_.loopPhase});
}

void BodeGraphs::TakeInOverlayLines()
{
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        ValueSpan span{graph->yAxis.minimum, graph->yAxis.maximum};
        for (int id : kOverlayLines) {
            if (const CScatterGraphLine* line = graph->FindLine(id)) {
                for (const CScatterGraphPoint& point : line->points) {
                    if (point.x >= graph->xAxis.minimum && point.x <= graph->xAxis.maximum)
                        span.TakeIn(point.y);
                }
            }
        }
        if (ExtendRange(graph->yAxis, span)) {
            if (CScatterGraphLine* marker = graph->FindLine(kCrossoverLine); marker && marker->points.size() == 2) {
                marker->points[0].y = graph->yAxis.maximum;
                marker->points[1].y = graph->yAxis.minimum;
            }
        }
    }
}

void BodeGraphs::DrawCrossoverMarker(FrequencyRange range)
{
    const double fx = curves_.grid[static_cast<std::size_t>(FindCrossoverIndex(curves_.loopGain))];
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        graph->AddPoint(fx, graph->yAxis.maximum, kCrossoverLine);
        graph->AddPoint(fx, graph->yAxis.minimum, kCrossoverLine);
    }
    magnitude_.AddPoint(range.start, 0, kZeroDbLine);
    magnitude_.AddPoint(range.stop, 0, kZeroDbLine);
}
