#include "analysis/DiscreteLoop.h"

#include <cmath>

#include "calc/DesignConstants.h"
#include "calc/FixedPoint.h"

namespace qxr {

CoefficientSet CompensatorSetOf(ControlLoop loop)
{
    return loop == ControlLoop::Voltage ? CoefficientSet::VoltageLoop : CoefficientSet::CurrentLoop;
}

TwoPoleTwoZero RunningCoefficients(const CDesignModel& model, ControlLoop loop)
{
    const CoefficientSet set = CompensatorSetOf(loop);
    const CoefficientFormat format = CoefficientFormatOf(model);
    if (!FormatProblem(format).empty())
        return CoefficientsOf(model, set);
    return FirmwareSetOf(model, set, format).quantised.realised;
}

namespace {

struct DiscretePoint {
    double compGain, compPhase, loopGain, loopPhase;
    ResponseDifference fromPrototype;
};

double SamplingFrequency(const CDesignModel& model, ControlLoop loop)
{
    return (model.*LayoutOf(CompensatorSetOf(loop)).samplingFrequency).Value();
}

// The prototype's curves moved by the discrete compensator's difference from
// the prototype compensator: the plant and the delay stay as they are.
DiscretePoint EvaluateDiscrete(const LoopModel& loop, const TwoPoleTwoZero& filter, double fSamp, double f)
{
    const BodePoint prototype = EvaluateLoop(loop, f);
    const std::complex<double> prototypeComp =
        std::polar(std::pow(10.0, prototype.compGain / 20), prototype.compPhase / kRadToDeg);
    const ResponseDifference difference = DifferenceOf(FrequencyResponse(filter, f, fSamp), prototypeComp);
    return {prototype.compGain + difference.gainDb, prototype.compPhase + difference.phaseDeg,
            prototype.loopGain + difference.gainDb, prototype.loopPhase + difference.phaseDeg, difference};
}

// The frequency between lo and hi where value(f) changes sign, halving in log f.
template <typename Value>
double Bisect(Value value, double lo, double hi)
{
    const bool loPositive = value(lo) > 0;
    for (int i = 0; i < 60; ++i) {
        const double mid = std::sqrt(lo * hi);
        ((value(mid) > 0) == loPositive ? lo : hi) = mid;
    }
    return std::sqrt(lo * hi);
}

// The first grid step from start on which series falls through level, or 0.
std::size_t FirstFallThrough(const std::vector<double>& series, double level, std::size_t start)
{
    for (std::size_t k = start + 1; k < series.size(); ++k)
        if (series[k - 1] >= level && series[k] < level)
            return k;
    return 0;
}

}  // namespace

DiscreteLoopCurves DiscreteLoopCurvesOf(CDesignModel& model, ControlLoop loop)
{
    DiscreteLoopCurves curves;
    const double fSamp = SamplingFrequency(model, loop);
    const FrequencyRange range = BodeRange(model, loop);
    const double stop = std::fmin(range.stop, fSamp / 2);
    if (!(fSamp > 0 && std::isfinite(fSamp) && stop > range.start))
        return curves;
    BuildLogGrid(range.start, stop, RequiredCrossover(model, loop), curves.freq);
    const TwoPoleTwoZero filter = RunningCoefficients(model, loop);
    const LoopModel prototype = LoopModelOf(model, loop);
    for (double f : curves.freq) {
        const DiscretePoint point = EvaluateDiscrete(prototype, filter, fSamp, f);
        curves.compGain.push_back(point.compGain);
        curves.compPhase.push_back(point.compPhase);
        curves.loopGain.push_back(point.loopGain);
        curves.loopPhase.push_back(point.loopPhase);
    }
    return curves;
}

DiscreteLoopFigures DiscreteLoopFiguresOf(CDesignModel& model, ControlLoop loop)
{
    DiscreteLoopFigures figures;
    const DiscreteLoopCurves curves = DiscreteLoopCurvesOf(model, loop);
    if (curves.freq.empty())
        return figures;
    const TwoPoleTwoZero filter = RunningCoefficients(model, loop);
    const LoopModel prototype = LoopModelOf(model, loop);
    const double fSamp = SamplingFrequency(model, loop);
    const auto at = [&](double f) { return EvaluateDiscrete(prototype, filter, fSamp, f); };
    const ResponseDifference atRequired = at(RequiredCrossover(model, loop)).fromPrototype;
    figures.gainDifferenceDb = atRequired.gainDb;
    figures.phaseDifferenceDeg = atRequired.phaseDeg;
    const std::size_t gainStep = FirstFallThrough(curves.loopGain, 0, 0);
    if (gainStep == 0)
        return figures;
    figures.fx = Bisect([&](double f) { return at(f).loopGain; }, curves.freq[gainStep - 1], curves.freq[gainStep]);
    figures.phaseMargin = 180 + at(figures.fx).loopPhase;
    const std::size_t phaseStep = FirstFallThrough(curves.loopPhase, -180, gainStep - 1);
    figures.gainMargin = std::numeric_limits<double>::infinity();
    if (phaseStep != 0) {
        const double f180 =
            Bisect([&](double f) { return at(f).loopPhase + 180; }, curves.freq[phaseStep - 1], curves.freq[phaseStep]);
        figures.gainMargin = -at(f180).loopGain;
    }
    return figures;
}

}  // namespace qxr
