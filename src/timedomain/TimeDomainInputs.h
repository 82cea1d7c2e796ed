#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "analysis/ControlLoops.h"
#include "calc/FixedPoint.h"
#include "calc/TransferFunctions.h"

// Everything the time-domain simulation needs, read from the model on the
// thread that owns it; the simulation then runs anywhere on this plain copy.
// Values are SI units as the model holds them.
namespace qxr {

inline constexpr double kNotHeld = std::numeric_limits<double>::quiet_NaN();

// The analog controller's parts as the design has them in force, so that
// standard values entered by the user take part.
struct AnalogControllerParts {
    // Multiplier and the feed-forward filter before it.
    double rAc = 0, rVff = 0, cVff = 0, feedForwardCorner = 0, multiplierGain = 0, rMout = 0, feedForwardMin = 0;
    // Voltage amplifier: R__IN to the output, R__D to ground, R__F + C__Z across C__F, V__REF at its + input.
    double rIn = 0, rD = 0, vRef = 0, rF = 0, cZ = 0, cF = 0, outputMax = 0;
    // Current amplifier: R__I at its input, R__F_I + C__Z_I across C__P_I; the ramp it compares with.
    double rI = 0, rFI = 0, cZI = 0, cPI = 0, rampVoltage = 0;
    double softStartCapacitor = 0, tripCurrent = 0;
};

// One coefficient set as the firmware holds it: the integers and shift of an
// integer format, the numbers of the header's text for a real one, and the
// full scale that maps the set's physical input and output to its numbers.
struct FirmwareSetNumbers {
    std::array<int64_t, kCoefficientsPerSet> integers{};
    int shift = 0;
    std::array<double, kCoefficientsPerSet> reals{};
    double fullScale = 0;  // physical value of 2^(word bits - 1), integer formats only
};

// In CoefficientSet order: feed-forward low-pass, voltage loop, current loop.
struct DigitalControllerParts {
    double currentSampling = 0, voltageSampling = 0, delay = 0;  // Hz, Hz, current-loop sampling periods
    CoefficientFormat format;
    std::array<FirmwareSetNumbers, 3> sets;
    double deltaVAout = 0;  // the voltage loop's output that asks for full power
    double softStart = 0;   // s, the reference's ramp
};

// Parts of the control made ideal, for checks against closed forms; the
// design never sets them.
struct IdealisedController {
    bool currentTracking = false;       // the inductor current is its reference, with no current loop
    double feedForward = kNotHeld;      // V_FF held at this value (V) instead of the filter's output
    double amplifierOutput = kNotHeld;  // VAOUT, or the voltage loop's output, held at this value
};

struct TimeDomainInputs {
    // Why the simulation cannot run (a sentence); empty when it can.
    std::string notComputed;

    bool analog = true;
    double lineFrequency = 0;
    std::array<double, 3> lineVoltages{};  // rms: V__IN_MIN, V__IN_NORM, V__IN_MAX
    double pOut = 0, vOut = 0, vOutMin = 0, vOutMax = 0, holdUpTime = 0, efficiency = 0;
    double inductance = 0, capacitance = 0, switchingFrequency = 0, rSense = 0;
    double startUpTime = 0;  // T__START: the line is applied this long before the controller starts

    int32_t loadKind = 0;                              // a CLoadKind value
    int32_t harmonicClass = 0;                         // a CHarmonicClass value
    double stepFrom = 0, stepTo = 0, minimumLoad = 0;  // fractions of pOut
    double settleMax = 0;                              // s, the longest settling of one run

    AnalogControllerParts analogParts;
    DigitalControllerParts digitalParts;

    // The voltage loop as the design sees it: its compensator (from the parts
    // for ANALOG), the power per volt of controller output its plant assumes
    // and the range its crossover is looked for in.
    Compensator voltageCompensator{0, 0, 0};
    double assumedPowerPerVolt = 0;
    FrequencyRange voltageRange{};

    IdealisedController ideal;
};

TimeDomainInputs ReadTimeDomainInputs(CDesignModel& model);

// The full scale of the digital feed-forward set: the line peak at V__IN_MAX with room for a surge.
inline constexpr double kFeedForwardHeadroom = 1.25;

}  // namespace qxr
