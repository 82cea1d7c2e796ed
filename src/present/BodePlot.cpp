#include "present/BodePlot.h"

#include <algorithm>
#include <cmath>

#include "analysis/ControlLoops.h"

namespace qxr {

namespace {

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

}  // namespace

LineLook LookOf(BodeLineId line)
{
    switch (line) {
    case kPlantLine:
        return {0xFF0000, LineStyle::Solid};
    case kCompLine:
        return {0x0000FF, LineStyle::Solid};
    case kLoopLine:
        return {0x008000, LineStyle::Solid};
    case kBandLine:
        return {0xC8E6C8, LineStyle::Band};  // the loop's green, faded
    case kDiscreteCompLine:
        return {0x8000FF, LineStyle::Dashed};
    case kDiscreteLoopLine:
        return {0xFF8000, LineStyle::Dashed};
    case kStandardLoopLine:
        return {0x00A0A0, LineStyle::Dashed};
    case kMeasuredLine:
        return {0x800080, LineStyle::Solid};
    case kComparedPlantLine:
        return {0xC0A000, LineStyle::Dashed};
    case kComparedCompLine:
        return {0x4040C0, LineStyle::Dashed};
    case kComparedLoopLine:
        return {0x008080, LineStyle::Dashed};
    case kSpiceLine:
        return {0x0080FF, LineStyle::Solid};  // orange
    case kCrossoverLine:
    case kZeroDbLine:
    case kCursorLine:
        break;
    }
    return {0x000000, LineStyle::Dashed};
}

BodeCurves BodeCurvesOf(CDesignModel& model, ControlLoop loop, ShownCurves shown)
{
    BodeCurves curves;
    BuildBodeGrid(model, loop, curves.grid);
    if (!shown.plant && !shown.comp && !shown.loop)
        return curves;
    const LoopModel transfer = LoopModelOf(model, loop);
    for (double f : curves.grid) {
        const BodePoint point = EvaluateLoop(transfer, f);
        if (shown.plant) {
            curves.plantGain.push_back(point.plantGain);
            curves.plantPhase.push_back(point.plantPhase);
        }
        if (shown.comp) {
            curves.compGain.push_back(point.compGain);
            curves.compPhase.push_back(point.compPhase);
        }
        if (shown.loop) {
            curves.loopGain.push_back(point.loopGain);
            curves.loopPhase.push_back(point.loopPhase);
        }
    }
    return curves;
}

AxisPolicy AxesOf(ControlLoop loop)
{
    return loop == ControlLoop::Voltage ? AxisPolicy{false, -80, 40} : AxisPolicy{true, -100, 100};
}

double RoundAxisBound(double value)
{
    return value < 0 ? value - std::fmod(value, 10) - 10 : value - std::fmod(value, 10) + 10;
}

AxisRange FittedMagnitudeRange(const BodeCurves& c)
{
    const double lowest = std::min({MinOrCeiling(c.plantGain), MinOrCeiling(c.compGain), MinOrCeiling(c.loopGain)});
    const double highest = std::max({MaxOrFloor(c.plantGain), MaxOrFloor(c.compGain), MaxOrFloor(c.loopGain)});
    return {RoundAxisBound(lowest), RoundAxisBound(highest), 20};
}

AxisRange FittedPhaseRange(const BodeCurves& c)
{
    // The plant's phase is a constant -90; its gains stand in for it here.
    double highestPhase = std::max({MaxOrFloor(c.plantGain), MaxOrFloor(c.compPhase), MaxOrFloor(c.loopPhase)});
    if (highestPhase >= 0)
        highestPhase = 0;
    return {RoundAxisBound(-200), RoundAxisBound(highestPhase), 20};
}

void ValueSpan::TakeIn(double value)
{
    if (std::isfinite(value)) {
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
}

std::optional<AxisRange> WidenedRange(const AxisRange& range, ValueSpan span)
{
    const double minimum = span.lowest < range.minimum ? RoundAxisBound(span.lowest) : range.minimum;
    const double maximum = span.highest > range.maximum ? RoundAxisBound(span.highest) : range.maximum;
    if (minimum == range.minimum && maximum == range.maximum)
        return std::nullopt;
    return AxisRange{minimum, maximum, ReadableStep(maximum - minimum)};
}

}  // namespace qxr
