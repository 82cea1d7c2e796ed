#include "timedomain/StageSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include <boost/numeric/odeint.hpp>

#include "calc/DesignConstants.h"
#include "timedomain/StiffStepper.h"

namespace qxr {

namespace {

namespace odeint = boost::numeric::odeint;
using Dopri = odeint::runge_kutta_dopri5<StageState>;
using ControlledDopri = odeint::result_of::make_controlled<Dopri>::type;

// Per state and step, an error of 1e-5 of its value or 1e-5 absolute (A, V);
// in the stiff stretches the inductor current's absolute part is this many
// times the stage's peak current at low line.
constexpr double kAbsoluteTolerance = 1e-5;
constexpr double kRelativeTolerance = 1e-5;
constexpr double kStiffCurrentScale = 10;
// Explicit steps stay stable while the inductor's pole times the step is below
// this (Dormand-Prince's bound on the real axis is about 3.3); a stiff step
// costs about as much as this many explicit ones.
constexpr double kExplicitStability = 2.5;
constexpr double kStiffStepCost = 1;
// A limit met within a step is found to this resolution (s).
constexpr double kEventResolution = 1e-12;
// Steps beyond which a run is given up: more than 2 million per simulated
// second (0.5 us a step on average, a few steps per sample of a firmware
// sampling at 1 MHz), or 4 million in all, well under a second's work, so
// that the twelve runs of a report stay within a few seconds on one core.
constexpr double kMaxStepsPerSecond = 2e6;
constexpr double kStepAllowance = 1e5;
constexpr double kMaxStepsPerRun = 4e6;
// The soft-start capacitor's charging current of the analog chip.
constexpr double kSoftStartCurrent = 10e-6;

// The cubic through both ends of a step with their slopes.
StageState Hermite(const StageState& x0, const StageState& f0, double t0, const StageState& x1, const StageState& f1,
                   double t1, double t)
{
    const double h = t1 - t0;
    const double s = (t - t0) / h;
    const double s2 = s * s, s3 = s2 * s;
    const double h00 = 2 * s3 - 3 * s2 + 1, h10 = (s3 - 2 * s2 + s) * h, h01 = 3 * s2 - 2 * s3, h11 = (s3 - s2) * h;
    StageState x;
    for (std::size_t i = 0; i < kStateCount; ++i)
        x[i] = h00 * x0[i] + h10 * f0[i] + h01 * x1[i] + h11 * f1[i];
    return x;
}

// Near a line zero crossing the stiff stretches hold currents of microamps;
// their error counts against the stage's full current, not against itself.
StageState StiffTolerances(const TimeDomainInputs& inputs)
{
    StageState tolerance;
    tolerance.fill(kAbsoluteTolerance);
    tolerance[kInductorCurrent] =
        kAbsoluteTolerance * kSqrt2 * inputs.pOut / inputs.lineVoltages[0] * kStiffCurrentScale;
    return tolerance;
}

// The states that change: the digital controller's are its own numbers, and
// an ideal current loop has no inductor or amplifier dynamics.
std::vector<std::size_t> LiveStates(const TimeDomainInputs& inputs)
{
    if (inputs.ideal.currentTracking)
        return inputs.analog ? std::vector<std::size_t>{kOutputVoltage, kVoltageAmpFeedback, kVoltageAmpZero,
                                                        kFeedForwardPin, kFeedForwardOut}
                             : std::vector<std::size_t>{kOutputVoltage};
    if (!inputs.analog)
        return {kInductorCurrent, kOutputVoltage};
    std::vector<std::size_t> all(kStateCount);
    for (std::size_t i = 0; i < kStateCount; ++i)
        all[i] = i;
    return all;
}

std::string At(double t)
{
    char text[48];
    std::snprintf(text, sizeof text, "at t = %.6g s", t);
    return text;
}

}  // namespace

// The frozen system between two events, as both steppers call it.
struct StageSimulation::FrozenSystem final : StiffSystemView {
    FrozenSystem(const StageModel& m, const StageModes& f, const HeldInputs& h, double scale,
                 const std::vector<std::size_t>& states)
        : model(m), modes(f), held(h), timeScale(scale), live(states)
    {
    }

    void operator()(const StageState& x, StageState& dxdt, double t) const
    {
        model.Derivatives(x, t, modes, held, dxdt);
    }
    void Derivatives(const StageState& x, double t, StageState& dxdt) const override { (*this)(x, dxdt, t); }
    // Forward differences.
    void Jacobian(const StageState& x0, double t, const StageState& f, StageMatrix& jacobian,
                  StageState& dfdt) const override
    {
        const double root = std::sqrt(std::numeric_limits<double>::epsilon());
        StageState x = x0, shifted;
        const double vIn = model.RectifiedLine(t, held);
        for (std::size_t j : live) {
            const double h = root * std::max(std::abs(x0[j]), 1e-3);
            x[j] = x0[j] + h;
            model.Derivatives(x, t, vIn, modes, held, shifted);
            x[j] = x0[j];
            for (std::size_t i = 0; i < kStateCount; ++i)
                jacobian[i][j] = (shifted[i] - f[i]) / h;
        }
        const double ht = root * std::max(std::abs(t), timeScale);
        (*this)(x, shifted, t + ht);
        for (std::size_t i = 0; i < kStateCount; ++i)
            dfdt[i] = (shifted[i] - f[i]) / ht;
    }

    const StageModel& model;
    const StageModes& modes;
    const HeldInputs& held;
    double timeScale;
    const std::vector<std::size_t>& live;
};

// Odeint's Dormand-Prince in continuous conduction. In discontinuous
// conduction the averaged inductor current relaxes within a switching period
// (a pole near 2 (vOut - vIn) / (vIn d Ts), beyond 10^6 /s near the line's
// zero crossings), which explicit steps follow only in steps far shorter
// than the waveform needs; a Rosenbrock stepper (L-stable) takes over there.
struct StageSimulation::Integrator {
    Integrator(const StageState& stiffTolerance, std::vector<std::size_t> live)
        : stiffStepper(stiffTolerance, kRelativeTolerance, std::move(live))
    {
    }

    ControlledDopri explicitStepper = odeint::make_controlled<Dopri>(kAbsoluteTolerance, kRelativeTolerance);
    StiffStepper stiffStepper;
    double explicitStep = 1e-6, stiffStep = 1e-6;  // s, each stepper's next step
};

StageSimulation::StageSimulation(const TimeDomainInputs& inputs, double lineRms, const StageLoad& load,
                                 const SimulationOptions& options)
    : inputs_(inputs),
      model_(inputs, lineRms),
      options_(options),
      live_(LiveStates(inputs)),
      integrator_(std::make_unique<Integrator>(StiffTolerances(inputs), live_)),
      period_(1 / inputs.lineFrequency)
{
    if (!inputs.analog)
        firmware_.emplace(inputs, lineRms);
    held_.load = load;
    runawayVoltage_ = 10 * std::max(inputs.vOutMax, inputs.vOut);
    const double designPeak = kSqrt2 * inputs.pOut / (inputs.efficiency * inputs.lineVoltages[0]);
    runawayCurrent_ = 100 * std::max(designPeak, inputs.analog ? inputs.analogParts.tripCurrent : 0.0);
}

StageSimulation::~StageSimulation() = default;

double StageSimulation::ControlLimit() const
{
    return inputs_.analog ? inputs_.analogParts.outputMax : inputs_.digitalParts.deltaVAout;
}

double StageSimulation::PowerPerUnitControl() const
{
    return inputs_.analog ? model_.MultiplierPowerPerVolt() : firmware_->PowerPerUnit();
}

double StageSimulation::RegulatedOutput() const
{
    const AnalogControllerParts& p = inputs_.analogParts;
    return inputs_.analog ? p.vRef * (1 + p.rIn / p.rD) : inputs_.vOut;
}

void StageSimulation::StartAtOperatingPoint(double t)
{
    x_.fill(0.0);
    t_ = tStart_ = t;
    x_[kOutputVoltage] = RegulatedOutput();
    held_.ramping = false;
    const double vOut = x_[kOutputVoltage];
    const double inputPower = held_.load.Current(vOut) * vOut / inputs_.efficiency;
    if (inputs_.analog)
        SetAnalogOperatingPoint(t, inputPower);
    else
        SetDigitalOperatingPoint(t, inputPower);
    Begin();
}

void StageSimulation::SetAnalogOperatingPoint(double t, double inputPower)
{
    const AnalogControllerParts& p = inputs_.analogParts;
    const AmplifierNetwork& va = model_.VoltageAmp();
    held_.referenceFinal = p.vRef;
    model_.PeriodicFeedForward(t, x_);
    const double vaOut = StageModel::MultiplierThreshold() + inputPower / model_.MultiplierPowerPerVolt();
    if (vaOut <= va.high) {
        x_[kVoltageAmpFeedback] = p.vRef - vaOut;
    } else {
        // At its limit the input node sits where the divider puts it.
        x_[kVoltageAmpFeedback] = x_[kOutputVoltage] / (1 + p.rIn / p.rD) - va.high;
    }
    x_[kVoltageAmpZero] = x_[kVoltageAmpFeedback];
    modes_ = model_.NaturalModes(x_, t, StageModes{}, held_);
    const double iL = model_.SenseReference(x_, t, model_.RectifiedLine(t, held_), held_, modes_) / inputs_.rSense;
    x_[kInductorCurrent] = iL;
    const double duty = std::clamp(HoldingDuty(iL, model_.RectifiedLine(t, held_), x_[kOutputVoltage],
                                               inputs_.inductance, 1 / inputs_.switchingFrequency),
                                   0.0, kMaxDuty);
    x_[kCurrentAmpFeedback] = x_[kCurrentAmpZero] = -duty * p.rampVoltage;
}

void StageSimulation::SetDigitalOperatingPoint(double t, double inputPower)
{
    held_.referenceFinal = inputs_.vOut;
    firmware_->SettleFeedForward(t);
    firmware_->HoldVoltageLoop(std::clamp(inputPower / firmware_->PowerPerUnit(), 0.0, ControlLimit()), held_);
    const double vIn = model_.RectifiedLine(t, held_);
    const double iL = held_.referenceGain * vIn / inputs_.rSense;
    x_[kInductorCurrent] = iL;
    const double duty = std::clamp(
        HoldingDuty(iL, vIn, x_[kOutputVoltage], inputs_.inductance, 1 / inputs_.switchingFrequency), 0.0, kMaxDuty);
    firmware_->HoldCurrentLoop(t, duty, held_);
}

void StageSimulation::StartUp()
{
    x_.fill(0.0);
    t_ = tStart_ = 0;
    x_[kOutputVoltage] = kSqrt2 * model_.LineRms();
    held_.ramping = true;
    held_.rampStart = 0;
    if (inputs_.analog) {
        // The line has charged the feed-forward filter while the chip started up.
        model_.ChargedFeedForward(0, inputs_.startUpTime, x_);
        held_.referenceFinal = inputs_.analogParts.vRef;
        held_.rampSlope = kSoftStartCurrent / inputs_.analogParts.softStartCapacitor;
    } else {
        firmware_->SettleFeedForward(0);
        firmware_->HoldVoltageLoop(0, held_);
        firmware_->HoldCurrentLoop(0, 0, held_);
        held_.referenceFinal = inputs_.vOut;
        held_.ramping = inputs_.digitalParts.softStart > 0;
        held_.rampSlope = held_.ramping ? inputs_.vOut / inputs_.digitalParts.softStart : 0.0;
    }
    modes_ = StageModes{};
    Begin();
}

void StageSimulation::Begin()
{
    const double samplesPerSecond = kSamplesPerPeriod / period_;
    nextSample_ = static_cast<int64_t>(std::ceil(t_ * samplesPerSecond));
    nextProgress_ = (std::floor(t_ / period_) + 1) * period_;
    RefreshModes();
    if (static_cast<double>(nextSample_) / samplesPerSecond == t_) {
        samples_.push_back(SampleAt(x_, t_));
        ++nextSample_;
    }
}

void StageSimulation::AdjustOperatingPoint(double controlDelta, double outputDelta)
{
    if (inputs_.analog) {
        // VAOUT is V__REF less the voltage across C__F; C__Z moves with it, so no current starts in R__F.
        x_[kVoltageAmpFeedback] -= controlDelta;
        x_[kVoltageAmpZero] -= controlDelta;
    } else {
        firmware_->ShiftVoltageLoop(controlDelta, held_);
    }
    x_[kOutputVoltage] += outputDelta;
    RefreshModes();
}

void StageSimulation::SetLoad(const StageLoad& load)
{
    held_.load = load;
    RefreshModes();
}

void StageSimulation::SetLineOn(bool on)
{
    held_.lineOn = on;
    RefreshModes();
}

void StageSimulation::RefreshModes()
{
    modes_ = model_.NaturalModes(x_, t_, modes_, held_);
    model_.Project(x_, modes_);
    model_.Derivatives(x_, t_, modes_, held_, dxdt_);
}

double StageSimulation::NextScheduledEvent() const
{
    // The rectified line's kink at each zero crossing.
    const double halfPeriods = 2 * inputs_.lineFrequency;
    double crossing = (std::floor(t_ * halfPeriods) + 1) / halfPeriods;
    if (crossing <= t_)
        crossing = (std::floor(t_ * halfPeriods) + 2) / halfPeriods;
    double next = crossing;
    if (held_.ramping)
        next = std::min(next, held_.rampStart + held_.referenceFinal / held_.rampSlope);
    if (firmware_)
        next = std::min(next, firmware_->NextEvent());
    return next;
}

void StageSimulation::ApplyDueEvents()
{
    if (held_.ramping && t_ >= held_.rampStart + held_.referenceFinal / held_.rampSlope)
        held_.ramping = false;
    if (firmware_)
        firmware_->RunDue(t_, model_.RectifiedLine(t_, held_), x_[kOutputVoltage],
                          model_.InductorCurrent(x_, t_, modes_, held_), model_.Reference(t_, held_), held_);
    RefreshModes();
}

bool StageSimulation::RunUntil(double t)
{
    while (t_ < t && stopped_.empty()) {
        AdvanceTo(std::min(t, NextScheduledEvent()));
        if (stopped_.empty())
            ApplyDueEvents();
    }
    return stopped_.empty();
}

void StageSimulation::AdvanceTo(double tEnd)
{
    while (t_ < tEnd && stopped_.empty()) {
        TakeStep(tEnd);
        CheckHealth();
    }
}

bool StageSimulation::TakeStep(double tEnd)
{
    if (!model_.AnchorHolds(held_.anchor, t_ + period_ / kSamplesPerPeriod))
        held_.anchor = model_.AnchorAt(t_);
    const FrozenSystem system(model_, modes_, held_, period_, live_);
    StepEnd end;
    const bool stiff = TryStep(system, tEnd, end);
    if (!end.taken)
        return false;
    StageModes changed = model_.NaturalModes(end.x, end.t, modes_, held_);
    if (changed != modes_) {
        const double tChange = LocateChange(x_, dxdt_, t_, end.x, end.f, end.t, changed);
        if (tChange < end.t)
            StepTo(system, stiff, tChange, end);
    }
    Record(x_, dxdt_, t_, end.x, end.f, end.t);
    x_ = end.x;
    dxdt_ = end.f;
    t_ = end.t;
    if (changed != modes_) {
        modes_ = changed;
        model_.Project(x_, modes_);
        model_.Derivatives(x_, t_, modes_, held_, dxdt_);
    }
    return true;
}

bool StageSimulation::TryStep(const FrozenSystem& system, double tEnd, StepEnd& end)
{
    Integrator& integrator = *integrator_;
    // No step is longer than the sampling grid's spacing, so no limit is met and left within one unseen.
    const double maxStep = period_ / kSamplesPerPeriod;
    // Explicit steps short enough to stay stable, unless the way to the next event takes more of them than
    // one stiff step costs.
    const double reach = std::min(maxStep, tEnd - t_);
    const double stable = kExplicitStability / model_.InductorPole(x_, t_, modes_, held_);
    const bool stiff = stable * kStiffStepCost < reach;
    double& suggested = stiff ? integrator.stiffStep : integrator.explicitStep;
    const double dt = std::min({suggested, reach, stiff ? reach : stable});
    double next = dt;
    double t = t_;
    ++steps_;
    end.taken = stiff
                    ? integrator.stiffStepper.TryStep(system, x_, t_, end.x, next)
                    : integrator.explicitStepper.try_step(system, x_, dxdt_, t, end.x, end.f, next) == odeint::success;
    if (!end.taken) {
        suggested = next;
        return stiff;
    }
    // A step cut short to meet an event leaves the suggestion for the next as it was.
    const bool toEnd = dt == tEnd - t_;
    suggested = toEnd ? std::max(suggested, next) : next;
    end.t = toEnd ? tEnd : t_ + dt;
    if (stiff)
        system(end.x, end.f, end.t);
    return stiff;
}

void StageSimulation::StepTo(const FrozenSystem& system, bool stiff, double t, StepEnd& end)
{
    Integrator& integrator = *integrator_;
    if (stiff) {
        StageState error;
        integrator.stiffStepper.DoStep(system, x_, t_, t - t_, end.x, error);
        system(end.x, end.f, t);
    } else {
        end.x = x_;
        end.f = dxdt_;
        integrator.explicitStepper.stepper().do_step(system, end.x, end.f, t_, t - t_);
    }
    end.t = t;
}

double StageSimulation::LocateChange(const StageState& x0, const StageState& f0, double t0, const StageState& x1,
                                     const StageState& f1, double t1, StageModes& changed) const
{
    double lo = t0, hi = t1;
    while (hi - lo > kEventResolution) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi)
            break;
        const StageModes modes = model_.NaturalModes(Hermite(x0, f0, t0, x1, f1, t1, mid), mid, modes_, held_);
        if (modes != modes_) {
            hi = mid;
            changed = modes;
        } else {
            lo = mid;
        }
    }
    return hi;
}

void StageSimulation::Record(const StageState& x0, const StageState& f0, double t0, const StageState& x1,
                             const StageState& f1, double t1)
{
    const double samplesPerSecond = kSamplesPerPeriod / period_;
    for (double ts = static_cast<double>(nextSample_) / samplesPerSecond; ts <= t1;
         ts = static_cast<double>(nextSample_) / samplesPerSecond) {
        samples_.push_back(SampleAt(Hermite(x0, f0, t0, x1, f1, t1, ts), ts));
        ++nextSample_;
    }
}

StageSample StageSimulation::SampleAt(const StageState& x, double t) const
{
    StageSample sample{};
    sample.t = t;
    const double line = held_.lineOn ? std::sin(model_.LineOmega() * t) : 0.0;
    sample.lineVoltage = kSqrt2 * model_.LineRms() * line;
    sample.inductorCurrent = model_.InductorCurrent(x, t, modes_, held_);
    sample.lineCurrent = line == 0 ? 0.0 : std::copysign(sample.inductorCurrent, line);
    sample.outputVoltage = x[kOutputVoltage];
    if (inputs_.analog) {
        sample.controlOutput = model_.VoltageAmpOutput(x, t, held_);
        sample.controlAtLimit = sample.controlOutput >= ControlLimit();
    } else {
        sample.controlOutput = firmware_->ControlOutput();
        sample.controlAtLimit = firmware_->ControlAtLimit();
    }
    return sample;
}

void StageSimulation::CheckHealth()
{
    for (double value : x_) {
        if (!std::isfinite(value)) {
            stopped_ = "The simulation diverged " + At(t_) + ": the stage's state is no longer a finite number.";
            return;
        }
    }
    char text[160];
    if (!(x_[kOutputVoltage] < runawayVoltage_ && x_[kOutputVoltage] > -0.01 * runawayVoltage_)) {
        std::snprintf(text, sizeof text, ": the output voltage ran away to %.4g V.", x_[kOutputVoltage]);
        stopped_ = "The simulation diverged " + At(t_) + text;
    } else if (!(x_[kInductorCurrent] < runawayCurrent_)) {
        std::snprintf(text, sizeof text, ": the inductor current ran away to %.4g A.", x_[kInductorCurrent]);
        stopped_ = "The simulation diverged " + At(t_) + text;
    } else if (static_cast<double>(steps_) >
               std::min(kMaxStepsPerSecond * (t_ - tStart_) + kStepAllowance, kMaxStepsPerRun)) {
        stopped_ = "The simulation stopped " + At(t_) + ": the integrator needed more steps than it is allowed.";
    } else if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) {
        stopped_ = "The simulation was cancelled.";
    }
    if (stopped_.empty() && t_ >= nextProgress_) {
        nextProgress_ = (std::floor(t_ / period_) + 1) * period_;
        if (options_.progress)
            options_.progress(t_ - tStart_);
    }
}

}  // namespace qxr
