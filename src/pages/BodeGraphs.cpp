#include "pages/BodeGraphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include <QCoreApplication>

#include "analysis/Robustness.h"
#include "analysis/StabilityMetrics.h"
#include "model/DesignModel.h"
#include "plot/GraphScatter.h"

namespace {

constexpr GraphColor kBlack = 0x000000;
constexpr GraphColor kLightGreen = 0xC8E6C8;  // the loop's green, faded: the band behind it
constexpr double kFixedPhaseMin = -200;
constexpr double kFixedPhaseMax = 0;

// The texts keep the translation context of the page they were first written for.
QString Tr(const char* text)
{
    return QCoreApplication::translate("CTabFreqResponse", text);
}

// The largest element and floor, or the smallest and ceiling; NaN elements do not count.
double MaxOrFloor(const std::vector<double>& values)
{
    double result = -100;
    for (double value : values)
        result = value > result ? value : result;
    return result;
}

double MinOrCeiling(const std::vector<double>& values)
{
    double result = 100;
    for (double value : values)
        result = value < result ? value : result;
    return result;
}

// A major step that keeps an extended axis to about a dozen labels; 20 as
// long as the span allows it.
double ReadableStep(double span)
{
    for (double step : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0}) {
        if (span / step <= 12)
            return step;
    }
    return span / 10;
}

void SetRange(CGraphAxis& axis, double minimum, double maximum, double majorStep)
{
    axis.minimum = minimum;
    axis.maximum = maximum;
    axis.majorStep = majorStep;
    axis.minorStep = 0;
    axis.autoScale = false;
}

// The lowest and highest finite value seen.
struct ValueSpan {
    double lowest;
    double highest;

    void TakeIn(double value)
    {
        if (std::isfinite(value)) {
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
    }
};

// Widens an axis to take in a span that reaches beyond it, to rounded bounds
// and a readable step; true when it widened.
bool ExtendRange(CGraphAxis& axis, ValueSpan span)
{
    const double minimum = span.lowest < axis.minimum ? BodeGraphs::RoundAxisBound(span.lowest) : axis.minimum;
    const double maximum = span.highest > axis.maximum ? BodeGraphs::RoundAxisBound(span.highest) : axis.maximum;
    if (minimum == axis.minimum && maximum == axis.maximum)
        return false;
    SetRange(axis, minimum, maximum, ReadableStep(maximum - minimum));
    return true;
}

struct FrequencyPrefix {
    double scale;
    const char* unit;
};

FrequencyPrefix PrefixFor(double hz)
{
    const double magnitude = std::fabs(hz);
    if (magnitude >= 1e6)
        return {1e6, "MHz"};
    return magnitude >= 1e3 ? FrequencyPrefix{1e3, "kHz"} : FrequencyPrefix{1.0, "Hz"};
}

// Three significant digits with an engineering prefix: "9.66 Hz", "13.8 kHz".
QString FrequencyText(double hz)
{
    if (!std::isfinite(hz))
        return QString();
    const FrequencyPrefix prefix = PrefixFor(hz);
    return QString::asprintf("%.3g %s", hz / prefix.scale, prefix.unit);
}

// "minimum / maximum unit" of a sweep; nothing where the sweep has no figure.
QString SweepText(const qxr::MinMax& range, const char* format, const QString& unit, double scale = 1.0)
{
    if (std::isnan(range.min) || std::isnan(range.max))
        return QString();
    const auto number = [format, scale](double x) {
        return std::isinf(x) ? QString(x > 0 ? "∞" : "-∞") : QString::asprintf(format, x / scale);
    };
    return number(range.min) + QStringLiteral(" / ") + number(range.max) + unit;
}

// Both frequencies with the maximum's prefix.
QString FrequencySweepText(const qxr::MinMax& range)
{
    const FrequencyPrefix prefix = PrefixFor(range.max);
    return SweepText(range, "%.3g", QLatin1Char(' ') + QLatin1String(prefix.unit), prefix.scale);
}

}  // namespace

BodeGraphs::AxisPolicy BodeGraphs::AxesOf(qxr::ControlLoop loop)
{
    return loop == qxr::ControlLoop::Voltage ? AxisPolicy{false, -80, 40} : AxisPolicy{true, -100, 100};
}

double BodeGraphs::RoundAxisBound(double value)
{
    return value < 0 ? value - std::fmod(value, 10) - 10 : value - std::fmod(value, 10) + 10;
}

BodeGraphs::BodeGraphs(qxr::ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase)
    : loop_(loop), axes_(AxesOf(loop)), magnitude_(magnitude), phase_(phase)
{
}

void BodeGraphs::Setup(CDesignModel& model, GraphColor background)
{
    const qxr::FrequencyRange range = qxr::BodeRange(model, loop_);
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        graph->xAxis.logScale = true;
        SetRange(graph->xAxis, range.start, range.stop, 0);
        graph->xTitle.text = Tr("Frequency (Hz)");
        graph->xTitle.height = 15;
        graph->yTitle.height = 15;
        graph->xTitle.RebuildFont();
        graph->yTitle.RebuildFont();
        graph->textColor = ReadableTextColor(background);
        graph->backColor = background;
        graph->plotColor = 0xFFFFFF;
        graph->gridColor = 0xE1E1E1;
        graph->AddLine(kBand, kLightGreen, CScatterGraphLine::kBand);  // first, so that every curve is drawn over it
        graph->AddLine(kPlant, 0xFF0000, CScatterGraphLine::kSolid);
        graph->AddLine(kComp, 0x0000FF, CScatterGraphLine::kSolid);
        graph->AddLine(kLoop, 0x008000, CScatterGraphLine::kSolid);
    }
    magnitude_.yTitle.text = Tr("Magnitude (dB)");
    phase_.yTitle.text = Tr("Phase (Degrees)");
    SetRange(magnitude_.yAxis, axes_.magnitudeMin, axes_.magnitudeMax, 20);
    SetRange(phase_.yAxis, kFixedPhaseMin, kFixedPhaseMax, 20);
    magnitude_.AddLine(kCrossover, kBlack, CScatterGraphLine::kDashed);
    magnitude_.AddLine(kZeroDb, kBlack, CScatterGraphLine::kDashed);
    phase_.AddLine(kCrossover, kBlack, CScatterGraphLine::kDashed);
}

void BodeGraphs::Redraw(CDesignModel& model, Curves shown, const qxr::LoopRobustness* sweep)
{
    const qxr::FrequencyRange range = qxr::BodeRange(model, loop_);
    qxr::BuildBodeGrid(model, loop_, grid_);
    for (int id : {kBand, kPlant, kComp, kLoop, kCrossover})
        phase_.ClearLine(id);
    for (int id : {kBand, kPlant, kComp, kLoop, kZeroDb, kCrossover})
        magnitude_.ClearLine(id);
    phase_.RecalcRanges();
    magnitude_.RecalcRanges();
    ComputeCurves(model, shown);
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
void BodeGraphs::DrawSweepBand(const qxr::LoopRobustness& sweep)
{
    const std::vector<double>& f = sweep.bandFrequencies;
    for (auto [graph, low, high] : {std::tuple{&magnitude_, &sweep.gainMin, &sweep.gainMax},
                                    std::tuple{&phase_, &sweep.phaseMin, &sweep.phaseMax}}) {
        for (std::size_t k = 0; k < f.size(); ++k)
            graph->AddPoint(f[k], (*low)[k], kBand);
        for (std::size_t k = f.size(); k-- > 0;)
            graph->AddPoint(f[k], (*high)[k], kBand);
    }
}

void BodeGraphs::ComputeCurves(CDesignModel& model, Curves shown)
{
    for (std::vector<double>* values : {&plantGain_, &plantPhase_, &compGain_, &compPhase_, &loopGain_, &loopPhase_})
        values->clear();
    if (!shown.plant && !shown.comp && !shown.loop)
        return;
    const auto add = [this](int line, double f, double gain, double phase, std::vector<double>& gains,
                            std::vector<double>& phases) {
        gains.push_back(gain);
        phases.push_back(phase);
        magnitude_.AddPoint(f, gain, line);
        phase_.AddPoint(f, phase, line);
    };
    const qxr::LoopModel transfer = qxr::LoopModelOf(model, loop_);
    for (double f : grid_) {
        const qxr::BodePoint point = qxr::EvaluateLoop(transfer, f);
        if (shown.plant)
            add(kPlant, f, point.plantGain, point.plantPhase, plantGain_, plantPhase_);
        if (shown.comp)
            add(kComp, f, point.compGain, point.compPhase, compGain_, compPhase_);
        if (shown.loop)
            add(kLoop, f, point.loopGain, point.loopPhase, loopGain_, loopPhase_);
    }
}

// The magnitude axis spans the curves; the phase axis runs from -210 to
// just above the highest curve, at most 10.
void BodeGraphs::FitRanges(qxr::FrequencyRange range)
{
    const double lowest = std::min({MinOrCeiling(plantGain_), MinOrCeiling(compGain_), MinOrCeiling(loopGain_)});
    const double highest = std::max({MaxOrFloor(plantGain_), MaxOrFloor(compGain_), MaxOrFloor(loopGain_)});
    SetRange(magnitude_.yAxis, RoundAxisBound(lowest), RoundAxisBound(highest), 20);
    // The plant's phase is a constant -90; its gains stand in for it here.
    double highestPhase = std::max({MaxOrFloor(plantGain_), MaxOrFloor(compPhase_), MaxOrFloor(loopPhase_)});
    if (highestPhase >= 0)
        highestPhase = 0;
    SetRange(phase_.yAxis, RoundAxisBound(-200), RoundAxisBound(highestPhase), 20);
    for (CGraphScatter* graph : {&magnitude_, &phase_})
        SetRange(graph->xAxis, range.start, range.stop, 0);
}

// A curve is never cut off: the fixed ranges, or the fitted phase range's
// floor, widen to take it in, and the fixed ones return once it is back.
void BodeGraphs::ExtendRangesToCurves()
{
    if (!axes_.fitsRangesToCurves) {
        SetRange(magnitude_.yAxis, axes_.magnitudeMin, axes_.magnitudeMax, 20);
        SetRange(phase_.yAxis, kFixedPhaseMin, kFixedPhaseMax, 20);
    }
    const auto extend = [](CGraphScatter& graph, std::initializer_list<const std::vector<double>*> curves) {
        ValueSpan span{graph.yAxis.minimum, graph.yAxis.maximum};
        for (const std::vector<double>* curve : curves) {
            for (const double value : *curve)
                span.TakeIn(value);
        }
        ExtendRange(graph.yAxis, span);
    };
    extend(magnitude_, {&plantGain_, &compGain_, &loopGain_});
    extend(phase_, {&plantPhase_, &compPhase_, &loopPhase_});
}

void BodeGraphs::TakeInLines(std::initializer_list<int> lineIds)
{
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        ValueSpan span{graph->yAxis.minimum, graph->yAxis.maximum};
        for (int id : lineIds) {
            if (const CScatterGraphLine* line = graph->FindLine(id)) {
                for (const CScatterGraphPoint& point : line->points) {
                    if (point.x >= graph->xAxis.minimum && point.x <= graph->xAxis.maximum)
                        span.TakeIn(point.y);
                }
            }
        }
        if (ExtendRange(graph->yAxis, span)) {
            if (CScatterGraphLine* marker = graph->FindLine(kCrossover); marker && marker->points.size() == 2) {
                marker->points[0].y = graph->yAxis.maximum;
                marker->points[1].y = graph->yAxis.minimum;
            }
        }
    }
}

void BodeGraphs::DrawCrossoverMarker(qxr::FrequencyRange range)
{
    const double fx = grid_[static_cast<std::size_t>(qxr::FindCrossoverIndex(loopGain_))];
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        graph->AddPoint(fx, graph->yAxis.maximum, kCrossover);
        graph->AddPoint(fx, graph->yAxis.minimum, kCrossover);
    }
    magnitude_.AddPoint(range.start, 0, kZeroDb);
    magnitude_.AddPoint(range.stop, 0, kZeroDb);
}

StabilityTexts FormatStability(const CDesignModel& model, qxr::ControlLoop loop, const std::vector<double>& loopGains)
{
    const qxr::LoopData& figures = model.Loop(loop);
    StabilityTexts texts;
    texts.crossover = QString::asprintf("%1.0f Hz", figures.fx);
    texts.phaseMargin = QString::asprintf("%1.0f°", figures.phaseMargin);
    if (!std::isnan(figures.gainMargin))
        texts.gainMargin = QString::asprintf("%1.0f dB", figures.gainMargin);
    else if (!loopGains.empty())
        texts.gainMargin = QString::asprintf("> %1.0f dB", std::fabs(loopGains.back()));
    texts.slope = QString::asprintf("%1.0f dB/dec", figures.slope);
    return texts;
}

SweepTexts FormatSweep(const qxr::RobustnessReport* report, qxr::ControlLoop loop)
{
    if (report == nullptr || !report->notComputed.empty())
        return {};
    const std::array<qxr::MinMax, 4>& range = report->loops[static_cast<std::size_t>(loop)].overall;
    return {FrequencySweepText(range[0]),
            SweepText(range[1], "%1.0f", QStringLiteral("°")),
            SweepText(range[2], "%1.0f", QStringLiteral(" dB")),
            SweepText(range[3], "%1.0f", QStringLiteral(" dB/dec")),
            FrequencyText(report->rhpz.nominal),
            FrequencySweepText({report->rhpz.min, report->rhpz.max})};
}
