#include "figures/TimeDomainGraphs.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include <QCoreApplication>

#include "plot/GraphScatter.h"
#include "timedomain/Scenarios.h"

namespace {

enum LineId { kCurve = kTimeDomainCurve, kLimits = 1, kUpperBound = 2, kLowerBound = 3 };
constexpr GraphColor kCurveColors[] = {0xA00000, 0x0000C0, 0x008000, 0x008000, 0x800080};
constexpr GraphColor kLimitColor = 0x0000FF;
constexpr GraphColor kBoundColor = 0x606060;
constexpr int kTitleHeight = 15;
// The harmonic chart's current axis, A: it shows the limits and all but the faintest harmonics.
constexpr double kHarmonicFloor = 1e-4;
constexpr double kHarmonicCeiling = 10;
constexpr int kLowestShownOrder = 2;
constexpr double kBarHalfWidth = 0.35;
// The order axis runs from 1 to 41, labelled at the odd orders.
constexpr double kFirstOrderOnAxis = 1;
constexpr double kLastOrderOnAxis = qxr::kHighestHarmonic + 1;

QString Tr(const char* text)
{
    return QCoreApplication::translate("TimeDomainGraphs", text);
}

std::size_t Index(TimeDomainGraph which)
{
    return static_cast<std::size_t>(which);
}

void SetFixedRange(CGraphAxis& axis, double minimum, double maximum)
{
    axis.minimum = minimum;
    axis.maximum = maximum;
    axis.autoScale = false;
}

void SetTitleHeight(CGraphText& text)
{
    text.height = kTitleHeight;
    text.RebuildFont();
}

void SetUpHarmonicAxes(CGraphScatter& graph)
{
    graph.AddLine(kLimits, kLimitColor, CScatterGraphLine::kSolid);
    graph.yAxis.logScale = true;
    SetFixedRange(graph.yAxis, kHarmonicFloor, kHarmonicCeiling);
    SetFixedRange(graph.xAxis, kFirstOrderOnAxis, kLastOrderOnAxis);
    graph.xAxis.majorStep = 2;
    SetTitleHeight(graph.mainTitle);
}

void PlotWaveform(CGraphScatter& graph, const std::vector<double>& time, const std::vector<double>& values,
                  std::initializer_list<double> levels)
{
    graph.ClearLine(kCurve);
    for (std::size_t k = 0; k < time.size() && k < values.size(); ++k)
        graph.AddPoint(1000 * time[k], values[k], kCurve);
    if (!time.empty())
        SetRoundRange(graph.xAxis, 1000 * time.front(), 1000 * time.back());
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    if (lowest != values.end()) {
        double low = *lowest, high = *highest;
        for (double level : levels) {
            low = std::fmin(low, level);
            high = std::fmax(high, level);
        }
        SetRoundRange(graph.yAxis, low, high);
    }
}

// A level across the whole time span.
void DrawLevel(CGraphScatter& graph, int line, double level)
{
    graph.ClearLine(line);
    graph.AddPoint(graph.xAxis.minimum, level, line);
    graph.AddPoint(graph.xAxis.maximum, level, line);
}

}  // namespace

void SetUpTimeDomainGraph(CGraphScatter& graph, TimeDomainGraph which, GraphColor background)
{
    const QString titles[] = {Tr("Line voltage (V)"), Tr("Line current (A)"), Tr("Harmonics, limits red (A rms)"),
                              Tr("Output voltage (V)"), Tr("Controller output")};
    graph.yTitle.text = titles[Index(which)];
    graph.xTitle.text = which == TimeDomainGraph::Harmonics ? Tr("Harmonic order") : Tr("Time (ms)");
    SetTitleHeight(graph.xTitle);
    SetTitleHeight(graph.yTitle);
    graph.backColor = background;
    graph.textColor = ReadableTextColor(background);
    graph.plotColor = 0xFFFFFF;
    graph.gridColor = 0xE1E1E1;
    const bool bars = which == TimeDomainGraph::Harmonics;
    graph.AddLine(kCurve, kCurveColors[Index(which)], bars ? CScatterGraphLine::kBand : CScatterGraphLine::kSolid);
    if (bars)
        SetUpHarmonicAxes(graph);
    if (which == TimeDomainGraph::OutputVoltage) {
        graph.AddLine(kUpperBound, kBoundColor, CScatterGraphLine::kDashed);
        graph.AddLine(kLowerBound, kBoundColor, CScatterGraphLine::kDashed);
    }
}

QString TimeDomainGraphName(TimeDomainGraph which)
{
    const QString names[] = {Tr("Line voltage over two line cycles"), Tr("Line current over two line cycles"),
                             Tr("Line current harmonics against their limits"),
                             Tr("Output voltage through the scenario"),
                             Tr("Voltage controller's output through the scenario")};
    return names[Index(which)];
}

void DrawWaveform(CGraphScatter& graph, const std::vector<double>& time, const std::vector<double>& values)
{
    PlotWaveform(graph, time, values, {});
    graph.RecalcRanges();
    graph.Redraw();
}

void DrawHarmonics(CGraphScatter& graph, const qxr::SteadyStatePoint* point)
{
    graph.ClearLine(kCurve);
    graph.ClearLine(kLimits);
    graph.mainTitle.text = point != nullptr ? QString::fromStdString(point->limits.text) : QString();
    for (int order = kLowestShownOrder; point != nullptr && order <= qxr::kHighestHarmonic; ++order) {
        const auto k = static_cast<std::size_t>(order);
        const double rms = std::max(point->harmonics.rms[k], kHarmonicFloor);
        const double left = order - kBarHalfWidth, right = order + kBarHalfWidth;
        for (const auto& [x, y] : {std::pair{left, kHarmonicFloor}, std::pair{left, rms}, std::pair{right, rms},
                                   std::pair{right, kHarmonicFloor}})
            graph.AddPoint(x, y, kCurve);
        graph.AddPoint(order - 0.5, point->limits.limit[k], kLimits);
        graph.AddPoint(order + 0.5, point->limits.limit[k], kLimits);
    }
    graph.Redraw();
}

void DrawScenarioOutput(CGraphScatter& graph, const qxr::Waveforms& waveforms, double trip, double least)
{
    PlotWaveform(graph, waveforms.time, waveforms.outputVoltage, {trip, least});
    DrawLevel(graph, kUpperBound, trip);
    DrawLevel(graph, kLowerBound, least);
    graph.RecalcRanges();
    graph.Redraw();
}

int HarmonicOrderAt(const CGraphScatter& graph, int x)
{
    const QRect& plot = graph.plotRect;
    if (plot.width() <= 0)
        return 0;
    const double share = double(x - plot.left()) / plot.width();
    const int order = static_cast<int>(std::lround(kFirstOrderOnAxis + share * (kLastOrderOnAxis - kFirstOrderOnAxis)));
    const bool shown = share >= 0 && share <= 1 && order >= kLowestShownOrder && order <= qxr::kHighestHarmonic;
    return shown ? order : 0;
}
