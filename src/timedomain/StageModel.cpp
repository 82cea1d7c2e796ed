#include "timedomain/StageModel.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

#include "calc/DesignConstants.h"

namespace qxr {

Conduction ConductionOf(double duty, double iL, double vIn, double inductance, double period)
{
    // The on time's current rise against twice the mean: continuous when the mean reaches the rise.
    const double onRise = vIn * duty * period;
    const double twiceFlux = 2 * inductance * iL;
    return twiceFlux >= onRise ? Conduction::Continuous : Conduction::Discontinuous;
}

double OffFraction(Conduction conduction, double duty, double iL, double vIn, double inductance, double period)
{
    const double onRise = vIn * duty * period;
    if (conduction == Conduction::Continuous || !(onRise > 0))
        return 1 - duty;
    return std::max(0.0, 2 * inductance * iL / onRise - duty);
}

double HoldingDuty(double iL, double vIn, double vOut, double inductance, double period)
{
    if (!(vOut > vIn))
        return vOut > 0 ? 1 - vIn / vOut : 0.0;
    const double continuous = 1 - vIn / vOut;
    if (2 * inductance * iL >= vIn * continuous * period)
        return continuous;
    // Discontinuous: d vIn = d2 (vOut - vIn) with d + d2 = 2 L iL / (vIn d Ts), solved for d.
    return std::sqrt(2 * inductance * iL * (vOut - vIn) / (vIn * vOut * period));
}

double StageLoad::Current(double vOut) const
{
    if (kind == CLoadKind::Resistive)
        return vOut * power / (nominalVoltage * nominalVoltage);
    const double knee = 1e-3 * nominalVoltage;
    return power * vOut / (vOut * vOut + knee * knee);
}

StageModel::StageModel(const TimeDomainInputs& inputs, double lineRms)
    : analog_(inputs.analog),
      lineRms_(lineRms),
      omega_(kTwoPi * inputs.lineFrequency),
      inductance_(inputs.inductance),
      capacitance_(inputs.capacitance),
      period_(1 / inputs.switchingFrequency),
      efficiency_(inputs.efficiency),
      rSense_(inputs.rSense),
      perInductance_(1 / inputs.inductance),
      perCapacitance_(1 / inputs.capacitance),
      trip_(inputs.analog ? inputs.analogParts.tripCurrent : std::numeric_limits<double>::infinity()),
      parts_(inputs.analogParts),
      voltageAmp_{parts_.rIn, 1 / parts_.rD, parts_.rF, parts_.cZ, parts_.cF, 0, parts_.outputMax},
      currentAmp_{parts_.rI, 0, parts_.rFI, parts_.cZI, parts_.cPI, 0, kMaxDuty * parts_.rampVoltage},
      // Below half the minimum line's value the multiplier's gain rises no further.
      feedForwardFloor_(0.5 * parts_.feedForwardMin),
      cornerOmega_(kTwoPi * parts_.feedForwardCorner),
      ideal_(inputs.ideal)
{
}

double StageModel::RectifiedLine(double t, const HeldInputs& held) const
{
    return held.lineOn ? kSqrt2 * lineRms_ * std::abs(LineSine(t, held.anchor)) : 0.0;
}

LineAnchor StageModel::AnchorAt(double t) const
{
    return {t, std::sin(omega_ * t), std::cos(omega_ * t)};
}

double StageModel::LineSine(double t, const LineAnchor& anchor) const
{
    const double a = omega_ * (t - anchor.t);
    if (!(std::abs(a) <= kAnchorSpan))
        return std::sin(omega_ * t);
    // Taylor's series, its factors' reciprocals as constants so that no division is left.
    const double a2 = a * a;
    const double sinA = a * (1 - a2 * (1.0 / 6) * (1 - a2 * (1.0 / 20) * (1 - a2 * (1.0 / 42))));
    const double cosA = 1 - a2 * 0.5 * (1 - a2 * (1.0 / 12) * (1 - a2 * (1.0 / 30) * (1 - a2 * (1.0 / 56))));
    return anchor.sine * cosA + anchor.cosine * sinA;
}

double StageModel::Reference(double t, const HeldInputs& held) const
{
    return held.ramping ? std::min(held.referenceFinal, held.rampSlope * (t - held.rampStart)) : held.referenceFinal;
}

namespace {

// The amplifier's capacitors: the input current less the bias current feeds C_F and the R_F + C_Z branch.
void AmplifierDerivatives(const AmplifierNetwork& net, double vF, double vZ, double source, double node, double& dvF,
                          double& dvZ)
{
    const double input = (source - node) / net.rIn - node * net.biasConductance;
    const double branch = (vF - vZ) / net.rF;
    dvF = (input - branch) / net.cF;
    dvZ = branch / net.cZ;
}

// The inverting input: at the reference while the output follows, else where the clamped output and C_F put it.
double NodeVoltage(const AmplifierNetwork& net, Clamp clamp, double reference, double vF)
{
    return clamp == Clamp::Linear ? reference : net.Output(clamp, reference - vF) + vF;
}

}  // namespace

double StageModel::FeedForwardVoltage(const StageState& x) const
{
    if (!std::isnan(ideal_.feedForward))
        return ideal_.feedForward;
    return std::max(x[kFeedForwardOut], feedForwardFloor_);
}

double StageModel::VoltageAmpOutput(const StageState& x, double t, const HeldInputs& held, Clamp clamp) const
{
    if (!std::isnan(ideal_.amplifierOutput))
        return ideal_.amplifierOutput;
    return voltageAmp_.Output(clamp, Reference(t, held) - x[kVoltageAmpFeedback]);
}

double StageModel::VoltageAmpOutput(const StageState& x, double t, const HeldInputs& held) const
{
    return VoltageAmpOutput(x, t, held, voltageAmp_.ClampOf(Reference(t, held) - x[kVoltageAmpFeedback]));
}

double StageModel::SenseReference(const StageState& x, double t, double vIn, const HeldInputs& held,
                                  const StageModes& modes) const
{
    if (!modes.multiplierOn)
        return 0.0;
    const double vaOut = VoltageAmpOutput(x, t, held, modes.voltageAmp);
    const double vff = FeedForwardVoltage(x);
    const double iAc = vIn / parts_.rAc;
    return iAc * (vaOut - MultiplierThreshold()) / (parts_.multiplierGain * vff * vff) * parts_.rMout;
}

double StageModel::MeanFeedForward() const
{
    if (!std::isnan(ideal_.feedForward))
        return ideal_.feedForward;
    // Half of I_AC's mean into R__VFF; the second stage passes the mean unchanged.
    return 0.5 * parts_.rVff * (2 * kSqrt2 / kPi) * lineRms_ / parts_.rAc;
}

double StageModel::MultiplierPowerPerVolt() const
{
    const double vff = MeanFeedForward();
    return lineRms_ * lineRms_ * parts_.rMout / (parts_.rAc * parts_.multiplierGain * vff * vff * rSense_);
}

double StageModel::DutyOf(const StageState& x, Clamp currentAmp) const
{
    return currentAmp_.Output(currentAmp, -x[kCurrentAmpFeedback]) / parts_.rampVoltage;
}

double StageModel::InductorSlope(Conduction conduction, double duty, double iL, double vIn, double vOut) const
{
    const double off = OffFraction(conduction, duty, iL, vIn, inductance_, period_);
    return (duty * vIn + off * (vIn - vOut)) / inductance_;
}

double StageModel::NaturalSlope(double duty, double iL, double vIn, double vOut) const
{
    return InductorSlope(ConductionOf(duty, iL, vIn, inductance_, period_), duty, iL, vIn, vOut);
}

double StageModel::AppliedDuty(double commanded, StageModes::Inductor mode, double iL, double vIn, double vOut) const
{
    // The comparator ends each on time where the current reaches the trip level.
    if (mode == StageModes::Inductor::AtTrip)
        return std::max(0.0, HoldingDuty(iL, vIn, vOut, inductance_, period_));
    return commanded;
}

void StageModel::InductorAndOutput(const StageState& x, double vIn, double duty, const StageModes& modes,
                                   const HeldInputs& held, StageState& dxdt) const
{
    const double iL = x[kInductorCurrent];
    const double vOut = x[kOutputVoltage];
    const double applied = AppliedDuty(duty, modes.inductor, iL, vIn, vOut);
    const double off = OffFraction(modes.conduction, applied, iL, vIn, inductance_, period_);
    const bool moves =
        modes.inductor == StageModes::Inductor::Free ||
        (modes.inductor == StageModes::Inductor::AtTrip && HoldingDuty(iL, vIn, vOut, inductance_, period_) < 0);
    dxdt[kInductorCurrent] = moves ? (applied * vIn + off * (vIn - vOut)) * perInductance_ : 0.0;
    // The diode carries the share d2 / (d + d2) of the mean current, all of it but the duty in continuous conduction.
    double delivered = efficiency_ * iL * off;
    if (modes.conduction == Conduction::Discontinuous)
        delivered = applied + off > 0 ? delivered / (applied + off) : 0.0;
    dxdt[kOutputVoltage] = (delivered - held.load.Current(vOut)) * perCapacitance_;
}

double StageModel::InductorPole(const StageState& x, double t, const StageModes& modes, const HeldInputs& held) const
{
    if (modes.conduction == Conduction::Continuous || modes.inductor != StageModes::Inductor::Free ||
        ideal_.currentTracking)
        return 0.0;
    const double vIn = RectifiedLine(t, held);
    const double duty = analog_ ? DutyOf(x, modes.currentAmp) : held.duty;
    const double onRise = vIn * duty * period_;
    if (OffFraction(Conduction::Discontinuous, duty, x[kInductorCurrent], vIn, inductance_, period_) <= 0)
        return 0.0;
    return onRise > 0 ? 2 * std::abs(x[kOutputVoltage] - vIn) / onRise : std::numeric_limits<double>::infinity();
}

double StageModel::InductorCurrent(const StageState& x, double t, const StageModes& modes, const HeldInputs& held) const
{
    if (!ideal_.currentTracking)
        return x[kInductorCurrent];
    if (!analog_)
        return held.referenceGain * RectifiedLine(t, held) / rSense_;
    return SenseReference(x, t, RectifiedLine(t, held), held, modes) / rSense_;
}

void StageModel::Derivatives(const StageState& x, double t, const StageModes& modes, const HeldInputs& held,
                             StageState& dxdt) const
{
    Derivatives(x, t, RectifiedLine(t, held), modes, held, dxdt);
}

void StageModel::Derivatives(const StageState& x, double t, double vIn, const StageModes& modes, const HeldInputs& held,
                             StageState& dxdt) const
{
    dxdt.fill(0.0);
    double duty = held.duty;
    if (analog_) {
        const double reference = Reference(t, held);
        const double node = NodeVoltage(voltageAmp_, modes.voltageAmp, reference, x[kVoltageAmpFeedback]);
        AmplifierDerivatives(voltageAmp_, x[kVoltageAmpFeedback], x[kVoltageAmpZero], x[kOutputVoltage], node,
                             dxdt[kVoltageAmpFeedback], dxdt[kVoltageAmpZero]);
        const double pinCurrent = 0.5 * vIn / parts_.rAc;  // half of I_AC feeds the VFF pin
        dxdt[kFeedForwardPin] = (pinCurrent - x[kFeedForwardPin] / parts_.rVff) / parts_.cVff;
        dxdt[kFeedForwardOut] = cornerOmega_ * (x[kFeedForwardPin] - x[kFeedForwardOut]);
        if (!ideal_.currentTracking) {
            const double senseReference = SenseReference(x, t, vIn, held, modes);
            const double error = senseReference - x[kInductorCurrent] * rSense_;
            const double currentNode = NodeVoltage(currentAmp_, modes.currentAmp, 0.0, x[kCurrentAmpFeedback]);
            AmplifierDerivatives(currentAmp_, x[kCurrentAmpFeedback], x[kCurrentAmpZero], -error, currentNode,
                                 dxdt[kCurrentAmpFeedback], dxdt[kCurrentAmpZero]);
            duty = DutyOf(x, modes.currentAmp);
        }
    }
    if (ideal_.currentTracking) {
        // The stage passes E__ff times the input power on, whatever the duty.
        const double vOut = x[kOutputVoltage];
        const double input = vIn * InductorCurrent(x, t, modes, held);
        dxdt[kOutputVoltage] = (vOut > 0 ? efficiency_ * input / vOut : 0.0) - held.load.Current(vOut);
        dxdt[kOutputVoltage] /= capacitance_;
        return;
    }
    InductorAndOutput(x, vIn, duty, modes, held, dxdt);
}

StageModes::Inductor StageModel::NaturalInductor(const StageState& x, double vIn, double duty,
                                                 StageModes::Inductor current) const
{
    const double iL = x[kInductorCurrent];
    const double vOut = x[kOutputVoltage];
    switch (current) {
    case StageModes::Inductor::Empty:
        return NaturalSlope(duty, 0.0, vIn, vOut) > 0 ? StageModes::Inductor::Free : current;
    case StageModes::Inductor::AtTrip:
        return duty < HoldingDuty(iL, vIn, vOut, inductance_, period_) ? StageModes::Inductor::Free : current;
    case StageModes::Inductor::Free:
        break;
    }
    if (iL <= 0 && NaturalSlope(duty, 0.0, vIn, vOut) <= 0)
        return StageModes::Inductor::Empty;
    if (iL >= trip_ && duty > HoldingDuty(iL, vIn, vOut, inductance_, period_))
        return StageModes::Inductor::AtTrip;
    return current;
}

StageModes StageModel::NaturalModes(const StageState& x, double t, const StageModes& current,
                                    const HeldInputs& held) const
{
    StageModes modes = current;
    double duty = held.duty;
    if (analog_) {
        const double unclamped = Reference(t, held) - x[kVoltageAmpFeedback];
        modes.voltageAmp = voltageAmp_.ClampOf(unclamped);
        modes.multiplierOn = VoltageAmpOutput(x, t, held, modes.voltageAmp) > MultiplierThreshold();
        modes.currentAmp = currentAmp_.ClampOf(-x[kCurrentAmpFeedback]);
        duty = DutyOf(x, modes.currentAmp);
    }
    if (!ideal_.currentTracking) {
        const double vIn = RectifiedLine(t, held);
        const double iL = x[kInductorCurrent];
        modes.inductor = NaturalInductor(x, vIn, duty, current.inductor);
        const double applied = AppliedDuty(duty, modes.inductor, iL, vIn, x[kOutputVoltage]);
        modes.conduction = ConductionOf(applied, iL, vIn, inductance_, period_);
    }
    return modes;
}

void StageModel::Project(StageState& x, const StageModes& modes) const
{
    if (modes.inductor == StageModes::Inductor::Empty)
        x[kInductorCurrent] = 0;
    else if (modes.inductor == StageModes::Inductor::AtTrip)
        x[kInductorCurrent] = std::max(x[kInductorCurrent], trip_);
}

void StageModel::PeriodicFeedForward(double t, StageState& x) const
{
    // |sin wt| = 2/pi - 4/pi sum cos(2kwt) / (4k^2 - 1), through R__VFF || C__VFF and the second RC stage.
    constexpr int kTerms = 400;
    const double drive = 0.5 * kSqrt2 * lineRms_ / parts_.rAc;
    const double pinTau = parts_.rVff * parts_.cVff;
    double pin = 2 / kPi * parts_.rVff;
    double out = pin;
    for (int k = 1; k <= kTerms; ++k) {
        const double w = 2 * k * omega_;
        const std::complex<double> first = parts_.rVff / std::complex<double>(1, w * pinTau);
        const std::complex<double> both = first / std::complex<double>(1, w / cornerOmega_);
        const std::complex<double> phasor = std::polar(1.0, w * t) * (4 / kPi / (4.0 * k * k - 1));
        pin -= (first * phasor).real();
        out -= (both * phasor).real();
    }
    x[kFeedForwardPin] = drive * pin;
    x[kFeedForwardOut] = drive * out;
}

void StageModel::ChargedFeedForward(double t, double chargingTime, StageState& x) const
{
    // x(t) = periodic(t) + e^(A T) (0 - periodic(t - T)) for the filter's lower-triangular A.
    StageState before{};
    PeriodicFeedForward(t - chargingTime, before);
    PeriodicFeedForward(t, x);
    const double a = 1 / (parts_.rVff * parts_.cVff);
    const double b = cornerOmega_;
    const double ea = std::exp(-a * chargingTime);
    const double eb = std::exp(-b * chargingTime);
    const double coupling = a == b ? b * chargingTime * ea : b * (ea - eb) / (b - a);
    x[kFeedForwardOut] -= coupling * before[kFeedForwardPin] + eb * before[kFeedForwardOut];
    x[kFeedForwardPin] -= ea * before[kFeedForwardPin];
}

}  // namespace qxr
