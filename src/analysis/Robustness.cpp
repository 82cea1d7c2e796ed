#include "analysis/Robustness.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "calc/Design.h"
#include "calc/DesignConstants.h"
#include "model/Utf.h"
#include "model/VectorRegisters.h"

namespace qxr {

namespace {

using M = CDesignModel;

struct SweptSource {
    CSymbol M::*symbol;
    CSymbol M::*tolerance;  // none for the load, which spans the load range
    ControlLoop loop;
    bool analogOnly;  // a compensator part; digital compensators are fixed by their coefficients
};

// In Swept order.
const std::array<SweptSource, kSweptCount> kSweptSources{{
    {&M::P__OUT, nullptr, ControlLoop::Voltage, false},
    {&M::L__MIN, &M::TOL__L_MIN, ControlLoop::Current, false},
    {&M::C__OUT, &M::TOL__C_OUT, ControlLoop::Voltage, false},
    {&M::R__SENSE, &M::TOL__R_SENSE, ControlLoop::Current, false},
    {&M::V__RAMP, &M::TOL__GAIN, ControlLoop::Current, false},
    {&M::DeltaV__AOUT, &M::TOL__GAIN, ControlLoop::Voltage, false},
    {&M::R__IN, &M::TOL__R_COMP, ControlLoop::Voltage, true},
    {&M::R__F, &M::TOL__R_COMP, ControlLoop::Voltage, true},
    {&M::C__Z, &M::TOL__C_COMP, ControlLoop::Voltage, true},
    {&M::C__F, &M::TOL__C_COMP, ControlLoop::Voltage, true},
    {&M::R__I, &M::TOL__R_COMP, ControlLoop::Current, true},
    {&M::R__F_I, &M::TOL__R_COMP, ControlLoop::Current, true},
    {&M::C__Z_I, &M::TOL__C_COMP, ControlLoop::Current, true},
    {&M::C__P_I, &M::TOL__C_COMP, ControlLoop::Current, true},
}};

std::size_t IndexOf(ControlLoop loop)
{
    return static_cast<std::size_t>(loop);
}

double ValueOf(const SweptValues& values, Swept which)
{
    return values[static_cast<std::size_t>(which)];
}

// The first setting that is not a number within its range, as the reason the
// analysis is not computed; empty when every setting is usable.
std::string SettingsProblem(CDesignModel& model)
{
    const int32_t mode = model.Mode();
    if (mode != CTop::ANALOG && mode != CTop::DIGITAL)
        return "The stability sweep is not computed: the Mode is neither ANALOG nor DIGITAL.";
    for (CSymbol* setting : SweepSettings(model, mode)) {
        if (setting->GetEnum())
            continue;  // the distribution is checked below, by name
        if (!std::isfinite(model.Read(*setting)) || setting->IsOutsideLimits())
            return "The stability sweep is not computed: " + ToUtf8(setting->name) + " - " +
                   ToUtf8(setting->description) + " is outside of its range.";
    }
    if (model.Read(model.f__S) > kMaxSweepSwitchingFrequency)
        return "The stability sweep is not computed: f__S - " + ToUtf8(model.f__S.description) +
               " is above 100 MHz, the highest the sweep scans to.";
    const int32_t distribution = TruncToInt32(model.Read(model.dist__MC));
    if (distribution != CDistribution::Uniform && distribution != CDistribution::Normal)
        return "The stability sweep is not computed: dist__MC is not a known distribution.";
    return {};
}

SweptQuantity ReadQuantity(CDesignModel& model, Swept which)
{
    const SweptSource& source = kSweptSources[static_cast<std::size_t>(which)];
    CSymbol& symbol = model.*source.symbol;
    const double nominal = model.Read(symbol);
    if (!source.tolerance)
        return {which, symbol.name, source.loop, nominal, nominal * model.Read(model.P__LOAD_MIN) / 100, nominal};
    const double tolerance = model.Read(model.*source.tolerance) / 100;
    return {which, symbol.name, source.loop, nominal, nominal * (1 - tolerance), nominal * (1 + tolerance)};
}

const SweptQuantity& QuantityOf(const RobustnessInputs& inputs, Swept which)
{
    return *std::find_if(inputs.quantities.begin(), inputs.quantities.end(),
                         [which](const SweptQuantity& quantity) { return quantity.which == which; });
}

RhpzFigures RhpzOver(double vInMin, double vInMax, const SweptQuantity& load, const SweptQuantity& inductance,
                     double vOut)
{
    RhpzFigures rhpz;
    rhpz.nominal = RhpzFrequency(vInMin, load.nominal, inductance.nominal, vOut);
    for (double vIn : {vInMin, vInMax}) {
        for (double pOut : {load.low, load.high}) {
            for (double l : {inductance.low, inductance.high}) {
                const double f = RhpzFrequency(vIn, pOut, l, vOut);
                rhpz.min = std::fmin(rhpz.min, f);
                rhpz.max = std::fmax(rhpz.max, f);
            }
        }
    }
    return rhpz;
}

RhpzFigures RhpzOf(const RobustnessInputs& inputs)
{
    return RhpzOver(inputs.vInMin, inputs.vInMax, QuantityOf(inputs, Swept::Load),
                    QuantityOf(inputs, Swept::Inductance), inputs.vOut);
}

void Widen(MinMax& range, double value)
{
    range.min = std::fmin(range.min, value);  // fmin and fmax pass over NaN
    range.max = std::fmax(range.max, value);
}

void Widen(MetricRanges& ranges, const ExactMetrics& metrics)
{
    for (std::size_t k = 0; k < kSweptMetricMembers.size(); ++k)
        Widen(ranges[k], metrics.*kSweptMetricMembers[k]);
}

// A corner without a crossover counts as the lowest phase margin of all.
bool IsLowerMargin(double pm, double lowest, bool first)
{
    if (first)
        return true;
    if (std::isnan(lowest))
        return false;
    return std::isnan(pm) || pm < lowest;
}

void WidenBand(LoopRobustness& result, const LoopModel& loop, const std::vector<double>& grid)
{
    for (std::size_t k = 0; k < grid.size(); ++k) {
        const double w = kTwoPi * grid[k];
        const double gain = loop.GainDb(w);
        const double phase = loop.PhaseDeg(w);
        result.gainMin[k] = std::fmin(result.gainMin[k], gain);
        result.gainMax[k] = std::fmax(result.gainMax[k], gain);
        result.phaseMin[k] = std::fmin(result.phaseMin[k], phase);
        result.phaseMax[k] = std::fmax(result.phaseMax[k], phase);
    }
}

// Every combination of the loop's quantities at their low and high ends.
void SweepCorners(const RobustnessInputs& inputs, ControlLoop loop, bool bands, LoopRobustness& result)
{
    std::vector<const SweptQuantity*> varied;
    for (const SweptQuantity& quantity : inputs.quantities) {
        if (quantity.loop == loop)
            varied.push_back(&quantity);
    }
    const std::vector<double>& grid = inputs.grids[IndexOf(loop)];
    if (bands) {
        result.bandFrequencies = grid;
        for (auto* band : {&result.gainMin, &result.gainMax, &result.phaseMin, &result.phaseMax})
            band->assign(grid.size(), ExactMetrics::kNaN);
    }
    const std::size_t corners = std::size_t{1} << varied.size();
    for (std::size_t corner = 0; corner < corners; ++corner) {
        SweptValues values = inputs.nominal;
        for (std::size_t i = 0; i < varied.size(); ++i)
            values[static_cast<std::size_t>(varied[i]->which)] = (corner >> i & 1) ? varied[i]->high : varied[i]->low;
        const LoopModel model = LoopAt(inputs, loop, values);
        const ExactMetrics metrics = ExactMetricsOf(model);
        Widen(result.envelope, metrics);
        if (IsLowerMargin(metrics.pm, result.worstPm, corner == 0)) {
            result.worstPm = metrics.pm;
            result.worstCornerMetrics = metrics;
            result.worstCorner.clear();
            for (const SweptQuantity* quantity : varied)
                result.worstCorner.emplace_back(quantity->name, ValueOf(values, quantity->which));
        }
        if (bands)
            WidenBand(result, model, grid);
    }
    result.overall = result.envelope;
}

// Part values drawn from a generator whose output the C++ standard fixes, with
// distribution code of our own, so that a seed gives the same samples with
// every compiler and library.
class PartSampler {
public:
    PartSampler(uint64_t seed, int32_t distribution) : engine_(seed), normal_(distribution == CDistribution::Normal) {}

    double Draw(const SweptQuantity& quantity)
    {
        if (normal_ && quantity.which != Swept::Load)
            return quantity.nominal + (quantity.high - quantity.nominal) / 3 * StandardNormal();
        return quantity.low + (quantity.high - quantity.low) * Unit();
    }

private:
    // Uniform in [0, 1) from the top 53 bits.
    double Unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

    // Marsaglia's polar method; the second value of each pair is not used.
    double StandardNormal()
    {
        for (;;) {
            const double u = 2 * Unit() - 1;
            const double v = 2 * Unit() - 1;
            const double s = u * u + v * v;
            if (s > 0 && s < 1)
                return u * std::sqrt(-2 * std::log(s) / s);
        }
    }

    std::mt19937_64 engine_;
    bool normal_;
};

// p-th percentile by nearest rank over the values that are numbers.
Percentiles PercentilesOf(std::vector<double>& values)
{
    Percentiles result;
    const std::size_t n = values.size();
    if (n == 0)
        return result;
    for (auto [percent, target] : {std::pair{1, &result.p1}, {50, &result.p50}, {99, &result.p99}}) {
        const std::size_t rank = (static_cast<std::size_t>(percent) * n + 99) / 100;
        const auto nth = values.begin() + static_cast<std::ptrdiff_t>(rank - 1);
        std::nth_element(values.begin(), nth, values.end());
        *target = *nth;
    }
    return result;
}

// The values' span in kHistogramBins bins; infinite values are not counted.
Histogram HistogramOf(const std::vector<double>& values)
{
    Histogram histogram;
    for (double value : values) {
        if (std::isfinite(value)) {
            histogram.low = std::fmin(histogram.low, value);
            histogram.high = std::fmax(histogram.high, value);
        }
    }
    if (std::isnan(histogram.low))
        return histogram;
    histogram.counts.assign(kHistogramBins, 0);
    const double width = (histogram.high - histogram.low) / kHistogramBins;
    for (double value : values) {
        if (!std::isfinite(value))
            continue;
        const double bin = width > 0 ? std::floor((value - histogram.low) / width) : 0.0;
        ++histogram.counts[std::min(static_cast<std::size_t>(bin), kHistogramBins - 1)];
    }
    return histogram;
}

bool MeetsMargins(const ExactMetrics& metrics, const RobustnessInputs& inputs)
{
    return !std::isnan(metrics.fx) && metrics.pm >= inputs.pmMin && metrics.gm >= inputs.gmMin;
}

void RunMonteCarlo(const RobustnessInputs& inputs, const RobustnessOptions& options, RobustnessReport& report)
{
    PartSampler sampler(inputs.seed, inputs.distribution);
    std::array<std::array<std::vector<double>, kSweptMetricMembers.size()>, 2> figures;
    std::array<uint32_t, 2> good{};
    for (auto& loopFigures : figures) {
        for (auto& values : loopFigures)
            values.reserve(inputs.samples);
    }
    for (uint32_t sample = 0; sample < inputs.samples; ++sample) {
        if (options.cancel && options.cancel->load(std::memory_order_relaxed))
            return;
        SweptValues values = inputs.nominal;
        for (const SweptQuantity& quantity : inputs.quantities)
            values[static_cast<std::size_t>(quantity.which)] = sampler.Draw(quantity);
        std::array<ExactMetrics, 2> metrics;
        for (ControlLoop loop : kControlLoops) {
            const std::size_t i = IndexOf(loop);
            metrics[i] = ExactMetricsOf(LoopAt(inputs, loop, values));
            Widen(report.loops[i].overall, metrics[i]);
            good[i] += MeetsMargins(metrics[i], inputs) ? 1 : 0;
            for (std::size_t k = 0; k < kSweptMetricMembers.size(); ++k) {
                const double figure = metrics[i].*kSweptMetricMembers[k];
                if (!std::isnan(figure))
                    figures[i][k].push_back(figure);
            }
        }
        if (options.sampleSink)
            options.sampleSink(values, metrics);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        report.loops[i].yield = static_cast<double>(good[i]) / inputs.samples;
        report.loops[i].fxHistogram = HistogramOf(figures[i][0]);
        report.loops[i].pmHistogram = HistogramOf(figures[i][1]);
        for (std::size_t k = 0; k < kSweptMetricMembers.size(); ++k)
            report.loops[i].percentiles[k] = PercentilesOf(figures[i][k]);
    }
}

}  // namespace

RobustnessInputs ReadRobustnessInputs(CDesignModel& model)
{
    RobustnessInputs inputs;
    inputs.notComputed = SettingsProblem(model);
    if (!inputs.notComputed.empty())
        return inputs;
    inputs.analog = model.Mode() == CTop::ANALOG;
    for (std::size_t k = 0; k < kSweptCount; ++k) {
        if (kSweptSources[k].analogOnly && !inputs.analog)
            continue;
        inputs.quantities.push_back(ReadQuantity(model, static_cast<Swept>(k)));
        inputs.nominal[k] = inputs.quantities.back().nominal;
    }
    inputs.efficiency = model.Read(model.E__ff);
    inputs.vOut = model.Read(model.V__OUT);
    if (!inputs.analog) {
        inputs.fSamp = model.Read(model.F__SAMP);
        inputs.tD = model.Read(model.T__D);
    }
    inputs.designCompensators = {
        Compensator(model.Read(model.v_fcp0), model.Read(model.v_fcp1), model.Read(model.v_fcz1)),
        Compensator(model.Read(model.i_fcp0), model.Read(model.i_fcp1), model.Read(model.i_fcz1))};
    for (ControlLoop loop : kControlLoops) {
        inputs.ranges[IndexOf(loop)] = BodeRange(model, loop);
        inputs.grids[IndexOf(loop)] = model.Loop(loop).series[kFreq];
    }
    inputs.vInMin = model.Read(model.V__IN_MIN);
    inputs.vInMax = model.Read(model.V__IN_MAX);
    inputs.distribution = TruncToInt32(model.Read(model.dist__MC));
    inputs.samples = static_cast<uint32_t>(model.Read(model.N__MC));
    inputs.seed = static_cast<uint64_t>(model.Read(model.SEED__MC));
    inputs.pmMin = model.Read(model.PM__MIN);
    inputs.gmMin = model.Read(model.GM__MIN);
    return inputs;
}

LoopModel LoopAt(const RobustnessInputs& inputs, ControlLoop loop, const SweptValues& values)
{
    const auto at = [&values](Swept which) { return ValueOf(values, which); };
    LoopModel model{{}, inputs.designCompensators[IndexOf(loop)]};
    model.range = inputs.ranges[IndexOf(loop)];
    if (loop == ControlLoop::Voltage) {
        model.plant = VoltagePlantOf(at(Swept::Load), inputs.efficiency, inputs.vOut, at(Swept::AmplifierRange),
                                     at(Swept::OutputCapacitance));
        if (inputs.analog)
            model.compensator =
                CompensatorFromParts(at(Swept::VoltageInputResistor), at(Swept::VoltageFeedbackResistor),
                                     at(Swept::VoltageZeroCapacitor), at(Swept::VoltagePoleCapacitor));
        return model;
    }
    model.plant = CurrentPlantOf(at(Swept::SenseResistor), inputs.vOut, at(Swept::Inductance), at(Swept::RampVoltage));
    if (inputs.analog) {
        model.compensator = CompensatorFromParts(at(Swept::CurrentInputResistor), at(Swept::CurrentFeedbackResistor),
                                                 at(Swept::CurrentZeroCapacitor), at(Swept::CurrentPoleCapacitor));
    } else {
        model.sampled = true;
        model.fSamp = inputs.fSamp;
        model.tD = inputs.tD;
    }
    return model;
}

RobustnessReport AnalyseRobustness(const RobustnessInputs& inputs, const RobustnessOptions& options)
{
    ClearUpperVectorHalves();
    RobustnessReport report;
    report.notComputed = inputs.notComputed;
    if (!report.notComputed.empty())
        return report;
    report.rhpz = RhpzOf(inputs);
    for (ControlLoop loop : kControlLoops)
        report.loops[IndexOf(loop)] = AnalyseCorners(inputs, loop, options.bands);
    RunMonteCarlo(inputs, options, report);
    return report;
}

LoopRobustness AnalyseCorners(const RobustnessInputs& inputs, ControlLoop loop, bool bands)
{
    LoopRobustness result;
    result.nominal = ExactMetricsOf(LoopAt(inputs, loop, inputs.nominal));
    SweepCorners(inputs, loop, bands, result);
    return result;
}

double LowestRhpz(CDesignModel& model)
{
    return RhpzOver(model.Read(model.V__IN_MIN), model.Read(model.V__IN_MAX), ReadQuantity(model, Swept::Load),
                    ReadQuantity(model, Swept::Inductance), model.Read(model.V__OUT))
        .min;
}

double RhpzFrequency(double vIn, double pOut, double inductance, double vOut)
{
    // 1 - D = sqrt(2) vIn / vOut at the line peak; a boost cannot run below D = 0.
    const double ratio = kSqrt2 * vIn / vOut;
    const double offDuty = ratio > 1 ? 1.0 : ratio;
    const double loadResistance = vOut * vOut / pOut;
    return loadResistance * offDuty * offDuty / (kTwoPi * inductance);
}

}  // namespace qxr
