#pragma once

#include <array>
#include <string>

#include "calc/LoopModel.h"
#include "timedomain/TimeDomainInputs.h"

// Everything the ngspice decks are written from, read from the model on the
// thread that owns it; the decks are then written and run anywhere on this
// plain copy. Values are SI units, the values in force (standard values
// once the user entered them).
namespace qxr {

// An inverting amplifier's network: rIn at its input, rF + cZ in series
// across cF in its feedback.
struct AmplifierParts {
    double rIn = 0, rF = 0, cZ = 0, cF = 0;
};

// The parts that realise a compensator around an inverting amplifier with
// the given input resistor; all zero unless its zero lies below its pole.
AmplifierParts AmplifierPartsOf(const Compensator& compensator, double rIn);

// The input resistor of a digital compensator's continuous prototype.
inline constexpr double kPrototypeInputResistor = 10e3;

struct SpiceInputs {
    // Why no AC deck can be written (a sentence); empty when they can.
    std::string notComputed;

    bool analog = true;
    std::string description;  // UTF-8, the design's own

    double pOut = 0, efficiency = 0, vOut = 0, outputCapacitance = 0;
    double vInMin = 0, inductance = 0, rSense = 0, rampVoltage = 0;
    double deltaVAout = 0;  // the controller output that asks for P__OUT / E__ff of input power

    // ANALOG: the voltage amplifier's bias resistor and reference, and the multiplier's output resistor.
    double rD = 0, vRef = 0, rMout = 0;
    // In ControlLoop order: from the parts in force (ANALOG) or the continuous prototypes (DIGITAL).
    std::array<AmplifierParts, 2> amplifiers{};
    std::array<FrequencyRange, 2> ranges{};

    // DIGITAL: the current loop's sampling lag.
    double currentSampling = 0, delayPeriods = 0;

    // The transient deck's stage and controller: the time domain's own inputs.
    TimeDomainInputs timeDomain;
};

SpiceInputs ReadSpiceInputs(CDesignModel& model, const std::string& description);

}  // namespace qxr
