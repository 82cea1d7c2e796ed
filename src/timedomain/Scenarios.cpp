#include "timedomain/Scenarios.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>

#include "analysis/ExactMetrics.h"

namespace qxr {

namespace {

// Settled: the output's line-period mean has less than this share of V__OUT
// still to go, and the controller's mean less than this share of its range.
constexpr double kSettledOutputChange = 2e-4;
constexpr double kSettledControlChange = 1e-3;
// The first periods of a steady state correct the controller's output towards the power the load takes.
constexpr int kOperatingPointCorrections = 2;
// A trend at the controller's limit is judged over this many line periods; a fall over as many periods
// that keeps at least this share of the fall before does not slow down.
constexpr std::size_t kTrendPeriods = 4;
constexpr double kSteadyFall = 0.9;
// Regulated: the output's mean over half a line period within this share of V__OUT.
constexpr double kRegulationBand = 0.01;

std::string Printed(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// What the stage is rated to draw from the line: the harmonic standard's limits go by it.
double RatedInputPower(const TimeDomainInputs& inputs)
{
    return inputs.pOut / inputs.efficiency;
}

StageLoad LoadAt(const TimeDomainInputs& inputs, double fraction)
{
    return {inputs.loadKind, fraction * inputs.pOut, inputs.vOut};
}

// One line period of a run, from its samples.
struct PeriodStats {
    std::size_t first = 0, end = 0;  // the samples after the period's start up to its end
    double meanOutput = kNaN, meanControl = kNaN, inputPower = kNaN, loadPower = kNaN;
    double minOutput = kNaN, maxOutput = kNaN, maxControl = kNaN, inductorPeak = kNaN, limitedShare = kNaN;
};

PeriodStats StatsOf(const std::vector<StageSample>& samples, std::size_t first, std::size_t end, const StageLoad& load)
{
    PeriodStats stats;
    stats.first = first;
    stats.end = end;
    double output = 0, control = 0, input = 0, taken = 0, limited = 0;
    for (std::size_t k = first; k < end; ++k) {
        const StageSample& s = samples[k];
        output += s.outputVoltage;
        control += s.controlOutput;
        input += s.lineVoltage * s.lineCurrent;
        taken += s.outputVoltage * load.Current(s.outputVoltage);
        limited += s.controlAtLimit ? 1 : 0;
        stats.minOutput = std::fmin(stats.minOutput, s.outputVoltage);
        stats.maxOutput = std::fmax(stats.maxOutput, s.outputVoltage);
        stats.maxControl = std::fmax(stats.maxControl, s.controlOutput);
        stats.inductorPeak = std::fmax(stats.inductorPeak, s.inductorCurrent);
    }
    const auto n = static_cast<double>(end - first);
    stats.meanOutput = output / n;
    stats.meanControl = control / n;
    stats.inputPower = input / n;
    stats.loadPower = taken / n;
    stats.limitedShare = limited / n;
    return stats;
}

// A simulation run line period by line period.
class ScenarioRun {
public:
    ScenarioRun(const TimeDomainInputs& inputs, double lineVoltage, double loadFraction,
                const SimulationOptions& options)
        : inputs_(inputs), sim_(inputs, lineVoltage, LoadAt(inputs, loadFraction), options), lineVoltage_(lineVoltage)
    {
    }

    StageSimulation& Sim() { return sim_; }
    const StageSimulation& Sim() const { return sim_; }
    const std::vector<StageSample>& Samples() const { return sim_.Samples(); }
    const TimeDomainInputs& Inputs() const { return inputs_; }
    double LineVoltage() const { return lineVoltage_; }

    // Runs to the next line zero crossing that starts a period; false when the run stopped.
    bool RunPeriod()
    {
        const double f = inputs_.lineFrequency;
        const double next = (std::floor(sim_.Time() * f * (1 + 1e-12)) + 1) / f;
        const std::size_t first = sim_.Samples().size();
        if (!sim_.RunUntil(next))
            return false;
        last_ = StatsOf(sim_.Samples(), first, sim_.Samples().size(), sim_.Load());
        return true;
    }
    const PeriodStats& Last() const { return last_; }

private:
    const TimeDomainInputs& inputs_;
    StageSimulation sim_;
    double lineVoltage_;
    PeriodStats last_;
};

std::string DeliveryText(const ScenarioRun& run)
{
    return Printed("%.4g", run.Sim().Load().power) + " W at " + Printed("%.4g", run.LineVoltage()) + " V";
}

// Whether the controller reached its limit in each of the last periods, enough of them to judge a trend.
bool LimitedThroughout(const std::vector<PeriodStats>& history, std::size_t periods)
{
    if (history.size() < periods)
        return false;
    return std::all_of(history.end() - static_cast<std::ptrdiff_t>(periods), history.end(),
                       [](const PeriodStats& s) { return s.limitedShare > 0; });
}

// Below the regulation band with the controller at its limit: the output does not rise, or too slowly to be
// regulated in the time left. The sentence says which; empty while regulation is in reach.
std::string BelowRegulationText(const ScenarioRun& run, const std::vector<PeriodStats>& history, double timeLeft)
{
    const TimeDomainInputs& inputs = run.Inputs();
    const double lowerEdge = (1 - kRegulationBand) * inputs.vOut;
    if (!LimitedThroughout(history, kTrendPeriods) || !(history.back().meanOutput < lowerEdge))
        return {};
    const std::size_t n = history.size();
    const double mean = history[n - 1].meanOutput;
    const double rise = (mean - history[n - 3].meanOutput) / 2;  // per line period
    if (!(rise > 0))
        return "At its limit: the stage cannot deliver " + DeliveryText(run) + "; the output " +
               (rise < 0 ? "falls by " + Printed("%.3g", -rise) + " V per line period, at " : "stays near ") +
               Printed("%.5g", mean) + " V, below regulation.";
    const double toRegulation = (lowerEdge - mean) / rise / inputs.lineFrequency;
    if (toRegulation <= timeLeft)
        return {};
    return "At its limit: the stage delivers " + DeliveryText(run) + " with almost nothing to spare; the output " +
           "rises by only " + Printed("%.3g", rise) + " V per line period from " + Printed("%.5g", mean) +
           " V, about " + Printed("%.2g", toRegulation) + " s from regulation.";
}

// With the controller at its limit the output falls and its fall does not slow down: there is no steady state.
std::string CollapseText(const ScenarioRun& run, const std::vector<PeriodStats>& history)
{
    // Falls over kTrendPeriods periods each, so that an alternation from one period to the next cancels.
    const std::size_t n = history.size();
    if (n < 2 * kTrendPeriods + 1)
        return {};
    // A digital loop at its limit may touch it only every other period.
    const auto limited = std::count_if(history.end() - 2 * kTrendPeriods, history.end(),
                                       [](const PeriodStats& s) { return s.limitedShare > 0; });
    if (limited < static_cast<std::ptrdiff_t>(kTrendPeriods))
        return {};
    const double lately = history[n - 1 - kTrendPeriods].meanOutput - history[n - 1].meanOutput;
    const double before = history[n - 1 - 2 * kTrendPeriods].meanOutput - history[n - 1 - kTrendPeriods].meanOutput;
    if (!(lately > kSettledOutputChange * run.Inputs().vOut && lately >= kSteadyFall * before))
        return {};
    return "At its limit: the stage cannot deliver " + DeliveryText(run) + "; the output falls by " +
           Printed("%.3g", lately / kTrendPeriods) + " V per line period, at " +
           Printed("%.5g", history[n - 1].meanOutput) + " V, and finds no steady state.";
}

struct Settling {
    bool settled = false;
    std::string note;  // why not, or the run's stop
    bool stopped = false;
};

// How far a line-period mean has still to go, judged from its last two
// changes: when they shrink geometrically, the rest of the series they start;
// else the last change again (infinite while the changes grow).
double RemainingChange(double m0, double m1, double m2)
{
    const double last = m2 - m1, before = m1 - m0;
    const double ratio = last / before;
    if (!(ratio > 0))
        return std::abs(last);
    return ratio < 1 ? std::abs(last) * ratio / (1 - ratio) : std::numeric_limits<double>::infinity();
}

// Runs from an operating point until the line-period means have nearly no way left to go, or the controller
// sits at its limit and the output does not rise, or the time runs out. The first periods correct the
// controller's output towards the power the load takes.
Settling Settle(ScenarioRun& run)
{
    StageSimulation& sim = run.Sim();
    const TimeDomainInputs& inputs = run.Inputs();
    const double start = sim.Time();
    Settling result;
    std::vector<PeriodStats> history;
    int corrections = 0;
    for (;;) {
        if (!run.RunPeriod()) {
            result.note = sim.Stopped();
            result.stopped = true;
            return result;
        }
        const PeriodStats& s = run.Last();
        if (s.end - s.first < static_cast<std::size_t>(kSamplesPerPeriod))
            continue;  // the part period up to the first zero crossing
        if (corrections < kOperatingPointCorrections && s.limitedShare == 0) {
            const double controlDelta = (s.loadPower / inputs.efficiency - s.inputPower) / sim.PowerPerUnitControl();
            sim.AdjustOperatingPoint(controlDelta, sim.RegulatedOutput() - s.meanOutput);
            ++corrections;
            history.clear();
            continue;
        }
        history.push_back(s);
        const std::size_t n = history.size();
        if (n >= 3) {
            const PeriodStats &a = history[n - 3], &b = history[n - 2], &c = history[n - 1];
            const bool still =
                RemainingChange(a.meanOutput, b.meanOutput, c.meanOutput) < kSettledOutputChange * inputs.vOut &&
                RemainingChange(a.meanControl, b.meanControl, c.meanControl) <
                    kSettledControlChange * sim.ControlLimit();
            if (still) {
                result.settled = true;
                return result;
            }
        }
        result.note = CollapseText(run, history);
        if (!result.note.empty())
            return result;
        if (sim.Time() - start >= inputs.settleMax) {
            result.note = "Not settled within t__SETTLE_MAX = " + Printed("%.4g", inputs.settleMax) +
                          " s; the figures are of the last line period.";
            return result;
        }
    }
}

Waveforms WaveformsOf(const std::vector<StageSample>& samples, std::size_t first, std::size_t end)
{
    Waveforms w;
    if (end <= first)
        return w;
    const std::size_t stride = (end - first + kMaxWaveformPoints - 1) / kMaxWaveformPoints;
    for (std::size_t k = first; k < end; k += stride) {
        const StageSample& s = samples[k];
        w.time.push_back(s.t);
        w.lineVoltage.push_back(s.lineVoltage);
        w.lineCurrent.push_back(s.lineCurrent);
        w.inductorCurrent.push_back(s.inductorCurrent);
        w.outputVoltage.push_back(s.outputVoltage);
        w.controlOutput.push_back(s.controlOutput);
    }
    return w;
}

ControlHeadroom HeadroomOf(const ScenarioRun& run, const PeriodStats& s, bool settled)
{
    ControlHeadroom h;
    h.mean = s.meanControl;
    h.max = s.maxControl;
    h.limit = run.Sim().ControlLimit();
    h.headroom = h.limit - h.max;
    h.limitedShare = s.limitedShare;
    h.atLimit = s.limitedShare > 0;
    if (!h.atLimit)
        return h;
    const double vOut = run.Inputs().vOut;
    h.text = "At its limit for " + Printed("%.3g", 100 * s.limitedShare) + " % of the line period: ";
    // A sag beyond a thousandth of V__OUT: the stage delivers the load only below regulation.
    if (!settled)
        h.text += "the stage cannot deliver " + DeliveryText(run) + "; the output does not settle.";
    else if (vOut - s.meanOutput > 1e-3 * vOut)
        h.text += "the stage cannot deliver " + DeliveryText(run) + " at regulation; the output settles at " +
                  Printed("%.5g", s.meanOutput) + " V instead of " + Printed("%.5g", vOut) + " V.";
    else
        h.text += "the peaks of its ripple are clipped.";
    return h;
}

// The output's mean over the last half line period, sample by sample, against the regulation band.
class BandTracker {
public:
    BandTracker(const ScenarioRun& run, double since)
        : since_(since), target_(run.Inputs().vOut), window_(kSamplesPerPeriod / 2)
    {
        const std::vector<StageSample>& samples = run.Samples();
        next_ = samples.size();
        while (next_ > 0 && samples[next_ - 1].t >= since)
            --next_;
        next_ = next_ >= window_ ? next_ - window_ : 0;
    }

    // Takes the samples up to the end; true when every mean of them lay in the band.
    bool Take(const std::vector<StageSample>& samples, Recovery& r)
    {
        bool inBand = true;
        for (; next_ < samples.size(); ++next_) {
            const StageSample& s = samples[next_];
            sum_ += s.outputVoltage;
            if (++count_ > window_)
                sum_ -= samples[next_ - window_].outputVoltage;
            if (s.t < since_ || count_ < window_)
                continue;
            const double mean = sum_ / static_cast<double>(window_);
            r.outputMin = std::fmin(r.outputMin, s.outputVoltage);
            r.outputMax = std::fmax(r.outputMax, s.outputVoltage);
            r.averagedMin = std::fmin(r.averagedMin, mean);
            r.averagedMax = std::fmax(r.averagedMax, mean);
            r.inductorPeak = std::fmax(r.inductorPeak, s.inductorCurrent);
            if (std::abs(mean - target_) > kRegulationBand * target_) {
                lastOutside_ = s.t;
                inBand = false;
            }
        }
        return inBand;
    }
    double LastOutside() const { return lastOutside_; }

private:
    double since_, target_;
    std::size_t window_;
    std::size_t next_ = 0, count_ = 0;
    double sum_ = 0;
    double lastOutside_ = kNaN;
};

// Runs after a change at `since` until the output has been regulated for two line periods, the controller
// sits at its limit below the band, the run stops or the time runs out.
Recovery RunToRegulation(ScenarioRun& run, double since, std::string& stopped)
{
    StageSimulation& sim = run.Sim();
    const TimeDomainInputs& inputs = run.Inputs();
    Recovery r;
    BandTracker tracker(run, since);
    std::vector<PeriodStats> history;
    bool previousInBand = false;
    for (;;) {
        if (!run.RunPeriod()) {
            stopped = sim.Stopped();
            r.note = stopped;
            return r;
        }
        const PeriodStats& s = run.Last();
        const bool inBand = tracker.Take(run.Samples(), r);
        if (inBand && previousInBand && std::abs(s.meanOutput - history.back().meanOutput) < 1e-3 * inputs.vOut) {
            r.settlingTime = std::isnan(tracker.LastOutside()) ? 0.0 : tracker.LastOutside() - since;
            return r;
        }
        history.push_back(s);
        r.note = BelowRegulationText(run, history, inputs.settleMax - (sim.Time() - since));
        if (!r.note.empty())
            return r;
        if (sim.Time() - since >= inputs.settleMax) {
            r.note = "Not back within 1 % of V__OUT in t__SETTLE_MAX = " + Printed("%.4g", inputs.settleMax) + " s.";
            return r;
        }
        previousInBand = inBand;
    }
}

// The first sample at or after t.
// Each run once, over `threads` threads taking the next run not taken yet.
void RunEach(const std::vector<std::function<void()>>& runs, unsigned threads,
             const std::function<void(int, int)>& runEnded)
{
    std::atomic<std::size_t> next{0};
    std::atomic<int> ended{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < runs.size(); i = next++) {
            runs[i]();
            const int done = ++ended;
            if (runEnded)
                runEnded(done, static_cast<int>(runs.size()));
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned k = 1; k < std::min<std::size_t>(threads, runs.size()); ++k)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

std::size_t SampleAt(const std::vector<StageSample>& samples, double t)
{
    return static_cast<std::size_t>(
        std::lower_bound(samples.begin(), samples.end(), t, [](const StageSample& s, double v) { return s.t < v; }) -
        samples.begin());
}

}  // namespace

SteadyStatePoint SimulateSteadyState(const TimeDomainInputs& inputs, double lineVoltage, double loadFraction,
                                     const SimulationOptions& options)
{
    SteadyStatePoint point;
    point.lineVoltage = lineVoltage;
    point.loadFraction = loadFraction;
    point.notComputed = inputs.notComputed;
    if (!point.notComputed.empty())
        return point;
    ScenarioRun run(inputs, lineVoltage, loadFraction, options);
    run.Sim().StartAtOperatingPoint(0.25 / inputs.lineFrequency);
    const Settling settling = Settle(run);
    const std::vector<StageSample>& samples = run.Samples();
    if (settling.stopped) {
        point.notComputed = settling.note;
        point.waveforms = WaveformsOf(samples, 0, samples.size());
        return point;
    }
    point.settled = settling.settled;
    point.settlingNote = settling.note;
    point.simulatedTime = run.Sim().Time();
    // The analysed period from its zero crossing on, so its first sample is at phase 0.
    const PeriodStats& s = run.Last();
    std::vector<double> voltage, current;
    for (std::size_t k = s.first - 1; k + 1 < s.end; ++k) {
        voltage.push_back(samples[k].lineVoltage);
        current.push_back(samples[k].lineCurrent);
    }
    point.harmonics = AnalyseOnePeriod(voltage, current);
    point.limits = CheckHarmonicLimits(point.harmonics, inputs.harmonicClass, RatedInputPower(inputs));
    point.outputMean = s.meanOutput;
    point.outputPeakToPeak = s.maxOutput - s.minOutput;
    point.outputPower = s.loadPower;
    point.inductorPeak = s.inductorPeak;
    point.headroom = HeadroomOf(run, s, point.settled);
    const std::size_t twoPeriods = 2 * static_cast<std::size_t>(kSamplesPerPeriod);
    point.waveforms = WaveformsOf(samples, s.end > twoPeriods ? s.end - twoPeriods : 0, s.end);
    return point;
}

SteadyStateReport SimulateSteadyStates(const TimeDomainInputs& inputs, const SimulationOptions& options)
{
    SteadyStateReport report;
    report.notComputed = inputs.notComputed;
    if (!report.notComputed.empty())
        return report;
    for (double line : inputs.lineVoltages)
        for (double load : {1.0, 0.5, inputs.minimumLoad})
            report.points.push_back(SimulateSteadyState(inputs, line, load, options));
    return report;
}

VoltageLoopGain EffectiveVoltageLoop(const TimeDomainInputs& inputs, double lineVoltage)
{
    VoltageLoopGain gain;
    if (!inputs.notComputed.empty())
        return gain;
    const StageSimulation sim(inputs, lineVoltage, LoadAt(inputs, 1.0), {});
    gain.assumedPowerPerUnit = inputs.assumedPowerPerVolt;
    gain.effectivePowerPerUnit = sim.PowerPerUnitControl();
    // The design's plant puts the power per unit it assumes straight into C__OUT; the stage passes E__ff of
    // the multiplier's input power on.
    const double perJoule = 1 / (inputs.vOut * inputs.capacitance);  // the output's V/s per W
    LoopModel designed{{gain.assumedPowerPerUnit * perJoule, 1, 1, 1}, inputs.voltageCompensator};
    designed.range = inputs.voltageRange;
    LoopModel effective{{inputs.efficiency * gain.effectivePowerPerUnit * perJoule, 1, 1, 1},
                        inputs.voltageCompensator};
    effective.range = inputs.voltageRange;
    gain.designedCrossover = ExactMetricsOf(designed).fx;
    const ExactMetrics metrics = ExactMetricsOf(effective);
    gain.effectiveCrossover = metrics.fx;
    gain.effectivePhaseMargin = metrics.pm;
    return gain;
}

LoadStepResult SimulateLoadStep(const TimeDomainInputs& inputs, const SimulationOptions& options)
{
    LoadStepResult result;
    result.notComputed = inputs.notComputed;
    if (!result.notComputed.empty())
        return result;
    result.lineVoltage = inputs.lineVoltages[1];
    result.fromPower = inputs.stepFrom * inputs.pOut;
    result.toPower = inputs.stepTo * inputs.pOut;
    result.loop = EffectiveVoltageLoop(inputs, result.lineVoltage);
    ScenarioRun run(inputs, result.lineVoltage, inputs.stepFrom, options);
    StageSimulation& sim = run.Sim();
    sim.StartAtOperatingPoint(0.25 / inputs.lineFrequency);
    const Settling settling = Settle(run);
    if (settling.stopped) {
        result.notComputed = settling.note;
        return result;
    }
    const double stepTime = sim.Time();
    const std::size_t shown = SampleAt(run.Samples(), stepTime - 1 / inputs.lineFrequency);
    std::string stopped;
    sim.SetLoad(LoadAt(inputs, inputs.stepTo));
    result.step = RunToRegulation(run, stepTime, stopped);
    if (stopped.empty()) {
        const double backTime = sim.Time();
        sim.SetLoad(LoadAt(inputs, inputs.stepFrom));
        result.stepBack = RunToRegulation(run, backTime, stopped);
    }
    result.notComputed = stopped;
    result.outputMin = std::fmin(result.step.outputMin, result.stepBack.outputMin);
    result.outputMax = std::fmax(result.step.outputMax, result.stepBack.outputMax);
    result.reachesOverVoltage = result.outputMax >= inputs.vOutMax;
    result.fallsBelowMinimum = result.outputMin < inputs.vOutMin;
    result.waveforms = WaveformsOf(run.Samples(), shown, run.Samples().size());
    return result;
}

StartUpResult SimulateStartUp(const TimeDomainInputs& inputs, const SimulationOptions& options)
{
    StartUpResult result;
    result.notComputed = inputs.notComputed;
    if (!result.notComputed.empty())
        return result;
    result.lineVoltage = inputs.lineVoltages[1];
    ScenarioRun run(inputs, result.lineVoltage, 1.0, options);
    run.Sim().StartUp();
    result.regulation = RunToRegulation(run, 0.0, result.notComputed);
    result.waveforms = WaveformsOf(run.Samples(), 0, run.Samples().size());
    return result;
}

HoldUpResult SimulateHoldUp(const TimeDomainInputs& inputs, const SimulationOptions& options)
{
    HoldUpResult result;
    result.notComputed = inputs.notComputed;
    if (!result.notComputed.empty())
        return result;
    result.lineVoltage = inputs.lineVoltages[1];
    result.outputMin = inputs.vOutMin;
    ScenarioRun run(inputs, result.lineVoltage, 1.0, options);
    StageSimulation& sim = run.Sim();
    sim.StartAtOperatingPoint(0.25 / inputs.lineFrequency);
    const Settling settling = Settle(run);
    if (settling.stopped) {
        result.notComputed = settling.note;
        return result;
    }
    const double lineOff = sim.Time();
    const std::size_t shown = SampleAt(run.Samples(), lineOff - 1 / inputs.lineFrequency);
    sim.SetLineOn(false);
    if (!sim.RunUntil(lineOff + inputs.holdUpTime)) {
        result.notComputed = sim.Stopped();
        return result;
    }
    result.outputAtEnd = sim.OutputVoltage();
    result.holdsUp = result.outputAtEnd >= inputs.vOutMin;
    sim.SetLineOn(true);
    result.recovery = RunToRegulation(run, sim.Time(), result.notComputed);
    result.waveforms = WaveformsOf(run.Samples(), shown, run.Samples().size());
    return result;
}

TimeDomainReport SimulateTimeDomain(const TimeDomainInputs& inputs, const SimulationOptions& options, unsigned threads)
{
    TimeDomainReport report;
    report.notComputed = inputs.notComputed;
    report.steadyStates.notComputed = inputs.notComputed;
    std::vector<std::function<void()>> runs;
    if (inputs.notComputed.empty()) {
        for (double line : inputs.lineVoltages)
            for (double load : {1.0, 0.5, inputs.minimumLoad})
                runs.push_back([&, line, load, i = runs.size()] {
                    report.steadyStates.points[i] = SimulateSteadyState(inputs, line, load, options);
                });
        report.steadyStates.points.resize(runs.size());
    }
    runs.push_back([&] { report.loadStep = SimulateLoadStep(inputs, options); });
    runs.push_back([&] { report.startUp = SimulateStartUp(inputs, options); });
    runs.push_back([&] { report.holdUp = SimulateHoldUp(inputs, options); });
    RunEach(runs, std::max(1u, threads), options.runEnded);
    return report;
}

}  // namespace qxr
