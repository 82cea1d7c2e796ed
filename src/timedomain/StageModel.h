#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "timedomain/TimeDomainInputs.h"

// The boost stage averaged over a switching period, in continuous and
// discontinuous conduction, with the analog controller's amplifiers,
// multiplier and feed-forward filter as circuits. Between two events every
// discrete choice (an amplifier at a limit, the inductor empty or at the
// trip current) is frozen, so the derivatives are smooth there.
namespace qxr {

enum StateIndex : std::size_t {
    kInductorCurrent,
    kOutputVoltage,
    kVoltageAmpFeedback,  // C__F: amplifier input node less output
    kVoltageAmpZero,      // C__Z
    kCurrentAmpFeedback,  // C__P_I
    kCurrentAmpZero,      // C__Z_I
    kFeedForwardPin,      // the VFF pin, R__VFF || C__VFF
    kFeedForwardOut,      // after the second RC stage
    kStateCount
};
using StageState = std::array<double, kStateCount>;

// --- The averaged switch

// How the inductor current flows within a switching period: it never stops,
// or it falls to zero before the period ends.
enum class Conduction : uint8_t { Continuous, Discontinuous };

// Which conduction a duty, mean inductor current and rectified line give.
Conduction ConductionOf(double duty, double iL, double vIn, double inductance, double period);
// The switch's off-time fraction while current flows, d2: 1 - d in
// continuous conduction, max(0, 2 L iL / (vIn d Ts) - d) in discontinuous.
// The clip at 0 is no event: near a line zero crossing the averaged current
// settles within a hair of it, and an event there would chatter.
double OffFraction(Conduction conduction, double duty, double iL, double vIn, double inductance, double period);
// The duty at which the inductor current holds still; at most 0 when the line is above the output.
double HoldingDuty(double iL, double vIn, double vOut, double inductance, double period);

// --- An op-amp with an integrating feedback network, its output limited

enum class Clamp : uint8_t { Low, Linear, High };

// The input resistor from the source, a bias resistor from the input node to
// ground (conductance 0 for none), and rF + cZ across cF from the node to the
// output. While the output sits at a limit the node leaves the reference and
// the feedback capacitors follow the clamped output, so nothing winds up.
struct AmplifierNetwork {
    double rIn, biasConductance, rF, cZ, cF, low, high;

    Clamp ClampOf(double unclamped) const
    {
        return unclamped < low ? Clamp::Low : unclamped > high ? Clamp::High : Clamp::Linear;
    }
    double Output(Clamp clamp, double unclamped) const
    {
        return clamp == Clamp::Linear ? unclamped : clamp == Clamp::Low ? low : high;
    }
};

// --- The load

struct StageLoad {
    int32_t kind;           // a CLoadKind value
    double power;           // W at the nominal output
    double nominalVoltage;  // V

    // A constant power fades to a resistance near 0 V, exact to 1e-6 at the nominal output.
    double Current(double vOut) const;
};

// --- Everything that changes only at an event

struct StageModes {
    Clamp voltageAmp = Clamp::Linear;
    Clamp currentAmp = Clamp::Linear;
    bool multiplierOn = true;
    enum class Inductor : uint8_t { Free, Empty, AtTrip } inductor = Inductor::Free;
    Conduction conduction = Conduction::Continuous;

    bool operator==(const StageModes& o) const
    {
        return voltageAmp == o.voltageAmp && currentAmp == o.currentAmp && multiplierOn == o.multiplierOn &&
               inductor == o.inductor && conduction == o.conduction;
    }
    bool operator!=(const StageModes& o) const { return !(*this == o); }
};

// The line's phase at the start of the step being taken.
struct LineAnchor {
    double t = 0, sine = 0, cosine = 1;
};

struct HeldInputs {
    bool lineOn = true;
    LineAnchor anchor;
    StageLoad load{0, 0, 1};
    // The voltage amplifier's reference: rising at rampSlope (V/s) from rampStart until it reaches its final value.
    double referenceFinal = 0, rampSlope = 0, rampStart = 0;
    bool ramping = false;
    double duty = 0;           // DIGITAL: the duty the firmware last put out
    double referenceGain = 0;  // DIGITAL: the current reference in sense volts per volt of rectified line
};

// The stage and the controller at one instant: the derivatives and the
// discrete choices the state asks for.
class StageModel {
public:
    StageModel(const TimeDomainInputs& inputs, double lineRms);

    double RectifiedLine(double t, const HeldInputs& held) const;
    // sin(w t) from the anchor by the angle-addition formula with a series in
    // the small angle: exact to double precision within a sampling-grid step
    // of the anchor, several times cheaper than sin(), and sin() beyond.
    double LineSine(double t, const LineAnchor& anchor) const;
    LineAnchor AnchorAt(double t) const;
    // Whether the anchor serves up to t.
    bool AnchorHolds(const LineAnchor& anchor, double t) const
    {
        return omega_ * (t - anchor.t) <= kAnchorSpan && t >= anchor.t;
    }
    static constexpr double kAnchorSpan = 0.025;  // rad; the series' next terms stay below 1e-20 within it
    double Reference(double t, const HeldInputs& held) const;

    void Derivatives(const StageState& x, double t, const StageModes& modes, const HeldInputs& held,
                     StageState& dxdt) const;
    // The same with the rectified line at t given.
    void Derivatives(const StageState& x, double t, double vIn, const StageModes& modes, const HeldInputs& held,
                     StageState& dxdt) const;
    // The choices the state asks for, given those in force (the inductor's hold on 0 and on the trip current
    // is kept until the state lets go of it).
    StageModes NaturalModes(const StageState& x, double t, const StageModes& current, const HeldInputs& held) const;
    // Puts a state that has just met a limit exactly onto it.
    void Project(StageState& x, const StageModes& modes) const;

    // How fast the averaged inductor current relaxes on its own (1/s): the
    // magnitude of its pole in discontinuous conduction, 0 in continuous.
    double InductorPole(const StageState& x, double t, const StageModes& modes, const HeldInputs& held) const;
    // The inductor current: the state, or its reference when the current loop tracks ideally.
    double InductorCurrent(const StageState& x, double t, const StageModes& modes, const HeldInputs& held) const;
    // The analog controller's signals: VAOUT with the clamp the state asks for, and V_FF at the multiplier.
    double VoltageAmpOutput(const StageState& x, double t, const HeldInputs& held) const;
    double FeedForwardVoltage(const StageState& x) const;
    // The mean of V_FF at this line, and the incremental input power per volt of VAOUT (W/V) it gives.
    double MeanFeedForward() const;
    double MultiplierPowerPerVolt() const;
    static constexpr double MultiplierThreshold() { return 1.0; }  // V of VAOUT below which I_MOUT is 0
    // The current amplifier's reference in sense volts, I_MOUT R__MOUT.
    double SenseReference(const StageState& x, double t, double vIn, const HeldInputs& held,
                          const StageModes& modes) const;

    // The feed-forward filter's states at t: in its periodic steady state on the line, or charged from zero
    // over the chargingTime before t.
    void PeriodicFeedForward(double t, StageState& x) const;
    void ChargedFeedForward(double t, double chargingTime, StageState& x) const;

    const AmplifierNetwork& VoltageAmp() const { return voltageAmp_; }
    double LineRms() const { return lineRms_; }
    double LineOmega() const { return omega_; }

private:
    double DutyOf(const StageState& x, Clamp currentAmp) const;
    double VoltageAmpOutput(const StageState& x, double t, const HeldInputs& held, Clamp clamp) const;
    double InductorSlope(Conduction conduction, double duty, double iL, double vIn, double vOut) const;
    double NaturalSlope(double duty, double iL, double vIn, double vOut) const;
    // The duty the switch gets: the commanded one, or the one that holds the current at the trip level.
    double AppliedDuty(double commanded, StageModes::Inductor mode, double iL, double vIn, double vOut) const;
    void InductorAndOutput(const StageState& x, double vIn, double duty, const StageModes& modes,
                           const HeldInputs& held, StageState& dxdt) const;
    StageModes::Inductor NaturalInductor(const StageState& x, double vIn, double duty,
                                         StageModes::Inductor current) const;

    bool analog_;
    double lineRms_, omega_;
    double inductance_, capacitance_, period_, efficiency_, rSense_;
    double perInductance_, perCapacitance_;  // 1/L, 1/C
    double trip_;
    AnalogControllerParts parts_;
    AmplifierNetwork voltageAmp_, currentAmp_;
    double feedForwardFloor_, cornerOmega_;
    IdealisedController ideal_;
};

// The largest duty the modulator gives: the switch needs an off time to turn off.
inline constexpr double kMaxDuty = 0.99;

}  // namespace qxr
