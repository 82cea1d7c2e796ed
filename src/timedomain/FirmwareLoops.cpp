#include "timedomain/FirmwareLoops.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "calc/DesignConstants.h"

namespace qxr {

namespace {

// The firmware runs its feed-forward low-pass this many line periods before it starts switching.
constexpr double kFeedForwardSettlingPeriods = 10;

// The loop's output times rectified line over V_FF^2, scaled so that the whole range asks for full power:
// with V_FF the mean of the rectified line, (2 sqrt 2 / pi) Vrms, the input power is u Vrms^2 8 / (pi^2 V_FF^2) / R.
constexpr double kMultiplierScale = 8 / (kPi * kPi);

}  // namespace

template <typename Value>
Value FirmwareSetRunner<Value>::Encode(double physical) const
{
    if constexpr (std::is_integral_v<Value>) {
        constexpr double kMax = std::numeric_limits<Value>::max();
        constexpr double kMin = std::numeric_limits<Value>::min();
        return static_cast<Value>(std::clamp(std::nearbyint(physical * toNumber), kMin, kMax));
    } else {
        return static_cast<Value>(physical);
    }
}

template <typename Value>
FirmwareSetRunner<Value> FirmwareFilter::MakeRunner(const FirmwareSetNumbers& numbers, const CoefficientFormat& format,
                                                    double low, double high)
{
    FirmwareSetRunner<Value> runner;
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        runner.c[i] =
            std::is_integral_v<Value> ? static_cast<Value>(numbers.integers[i]) : static_cast<Value>(numbers.reals[i]);
    runner.shift = numbers.shift;
    if constexpr (std::is_integral_v<Value>)
        runner.toNumber = std::ldexp(1.0, format.WordBits() - 1) / numbers.fullScale;
    runner.low = runner.Encode(low);
    runner.high = runner.Encode(high);
    return runner;
}

FirmwareFilter::FirmwareFilter(const FirmwareSetNumbers& numbers, const CoefficientFormat& format, double low,
                               double high)
{
    switch (format.kind) {
    case CCoefficientFormat::Float:
        runner_ = MakeRunner<float>(numbers, format, low, high);
        break;
    case CCoefficientFormat::Q15:
        runner_ = MakeRunner<int16_t>(numbers, format, low, high);
        break;
    case CCoefficientFormat::Q31:
    case CCoefficientFormat::Qmn:
        runner_ = MakeRunner<int32_t>(numbers, format, low, high);
        break;
    default:
        runner_ = MakeRunner<double>(numbers, format, low, high);
        break;
    }
}

double FirmwareFilter::Step(double input)
{
    return std::visit(
        [&](auto& r) {
            using Value = std::decay_t<decltype(r.low)>;
            Value y{};
            if constexpr (std::is_integral_v<Value>)
                y = FirmwareStep(r.state, r.c, r.shift, r.Encode(input));
            else
                y = FirmwareStep(r.state, r.c, r.Encode(input));
            atHigh_ = y >= r.high;
            if (y > r.high)
                y = r.state.y1 = r.high;
            else if (y < r.low)
                y = r.state.y1 = r.low;
            return r.Decode(y);
        },
        runner_);
}

void FirmwareFilter::Hold(double input, double output)
{
    std::visit(
        [&](auto& r) {
            r.state.x1 = r.state.x2 = r.Encode(input);
            r.state.y1 = r.state.y2 = r.Encode(output);
        },
        runner_);
    atHigh_ = false;
}

void FirmwareFilter::ShiftOutput(double delta)
{
    std::visit(
        [&](auto& r) {
            r.state.y1 = r.Encode(r.Decode(r.state.y1) + delta);
            r.state.y2 = r.Encode(r.Decode(r.state.y2) + delta);
        },
        runner_);
}

double FirmwareFilter::DcGain() const
{
    return std::visit(
        [](const auto& r) {
            using Value = std::decay_t<decltype(r.low)>;
            const double unity = std::is_integral_v<Value> ? std::ldexp(1.0, r.shift) : 1.0;
            return (static_cast<double>(r.c[0]) + r.c[1] + r.c[2]) / (unity - r.c[3] - r.c[4]);
        },
        runner_);
}

FirmwareLoops::FirmwareLoops(const TimeDomainInputs& inputs, double lineRms)
    : feedForward_(inputs.digitalParts.sets[0], inputs.digitalParts.format, -std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::infinity()),
      voltage_(inputs.digitalParts.sets[1], inputs.digitalParts.format, 0, inputs.digitalParts.deltaVAout),
      current_(inputs.digitalParts.sets[2], inputs.digitalParts.format, 0, kMaxDuty),
      currentSampling_(inputs.digitalParts.currentSampling),
      voltageSampling_(inputs.digitalParts.voltageSampling),
      delay_(inputs.digitalParts.delay),
      lineRms_(lineRms),
      omega_(kTwoPi * inputs.lineFrequency),
      rSense_(inputs.rSense),
      deltaVAout_(inputs.digitalParts.deltaVAout),
      // Below half the minimum line's mean the multiplier's gain rises no further.
      feedForwardFloor_(0.5 * (2 * kSqrt2 / kPi) * inputs.lineVoltages[0]),
      ideal_(inputs.ideal)
{
}

double FirmwareLoops::Line(double t) const
{
    return kSqrt2 * lineRms_ * std::abs(std::sin(omega_ * t));
}

void FirmwareLoops::SettleFeedForward(double t)
{
    const double lineFrequency = omega_ / kTwoPi;
    const auto first = static_cast<int64_t>(std::ceil(t * voltageSampling_));
    const auto count = static_cast<int64_t>(std::ceil(kFeedForwardSettlingPeriods * voltageSampling_ / lineFrequency));
    feedForward_.Hold(0, 0);
    for (int64_t m = first - count; m < first; ++m)
        feedForwardOutput_ = feedForward_.Step(Line(SampleTime(m, voltageSampling_)));
    nextVoltage_ = first;
}

void FirmwareLoops::HoldVoltageLoop(double controlOutput, HeldInputs& held)
{
    voltage_.Hold(0, controlOutput);
    controlOutput_ = controlOutput;
    UpdateReferenceGain(held);
}

void FirmwareLoops::HoldCurrentLoop(double t, double duty, HeldInputs& held)
{
    current_.Hold(0, duty);
    held.duty = duty;
    nextCurrent_ = static_cast<int64_t>(std::ceil(t * currentSampling_));
    pendingDuties_.clear();
}

void FirmwareLoops::ShiftVoltageLoop(double delta, HeldInputs& held)
{
    voltage_.ShiftOutput(delta);
    controlOutput_ += delta;
    UpdateReferenceGain(held);
}

double FirmwareLoops::NextEvent() const
{
    double next = std::min(SampleTime(nextCurrent_, currentSampling_), SampleTime(nextVoltage_, voltageSampling_));
    if (!pendingDuties_.empty())
        next = std::min(next, pendingDuties_.front().first);
    return next;
}

void FirmwareLoops::RunDue(double t, double rectifiedLine, double vOut, double iL, double reference, HeldInputs& held)
{
    if (SampleTime(nextVoltage_, voltageSampling_) <= t) {
        feedForwardOutput_ = feedForward_.Step(rectifiedLine);
        controlOutput_ = voltage_.Step(reference - vOut);
        ++nextVoltage_;
        UpdateReferenceGain(held);
    }
    if (SampleTime(nextCurrent_, currentSampling_) <= t) {
        const double error = held.referenceGain * rectifiedLine - iL * rSense_;
        pendingDuties_.emplace_back(t + delay_ / currentSampling_, current_.Step(error));
        ++nextCurrent_;
    }
    while (!pendingDuties_.empty() && pendingDuties_.front().first <= t) {
        held.duty = pendingDuties_.front().second;
        pendingDuties_.pop_front();
    }
}

double FirmwareLoops::ReferenceGainOf(double controlOutput, double feedForward) const
{
    return kMultiplierScale * controlOutput / (feedForward * feedForward);
}

void FirmwareLoops::UpdateReferenceGain(HeldInputs& held)
{
    const double control = std::isnan(ideal_.amplifierOutput) ? controlOutput_ : ideal_.amplifierOutput;
    const double feedForward =
        std::isnan(ideal_.feedForward) ? std::max(feedForwardOutput_, feedForwardFloor_) : ideal_.feedForward;
    held.referenceGain = ReferenceGainOf(control, feedForward);
}

double FirmwareLoops::MeanFeedForward() const
{
    if (!std::isnan(ideal_.feedForward))
        return ideal_.feedForward;
    return feedForward_.DcGain() * (2 * kSqrt2 / kPi) * lineRms_;
}

double FirmwareLoops::PowerPerUnit() const
{
    const double vff = MeanFeedForward();
    return kMultiplierScale * lineRms_ * lineRms_ / (vff * vff * rSense_);
}

}  // namespace qxr
