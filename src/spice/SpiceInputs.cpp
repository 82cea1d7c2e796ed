#include "spice/SpiceInputs.h"

#include <cmath>

#include "calc/DesignConstants.h"
#include "model/Utf.h"

namespace qxr {

namespace {

const char* const kNotComputed = "No Spice deck: ";

// Reads values in force and keeps the first one that is not a positive number.
class PositiveReader {
public:
    explicit PositiveReader(CDesignModel& model) : model_(model) {}

    double operator()(CSymbol& symbol)
    {
        const double value = model_.Read(symbol);
        if (!(std::isfinite(value) && value > 0))
            Fail(ToUtf8(symbol.name) + " - " + ToUtf8(symbol.description) + " must be a positive number.");
        return value;
    }
    void Fail(const std::string& reason)
    {
        if (problem.empty())
            problem = kNotComputed + reason;
    }

    std::string problem;

private:
    CDesignModel& model_;
};

AmplifierParts PrototypeOf(PositiveReader& read, CSymbol& fcp0, CSymbol& fcp1, CSymbol& fcz1)
{
    const AmplifierParts parts =
        AmplifierPartsOf(Compensator(read(fcp0), read(fcp1), read(fcz1)), kPrototypeInputResistor);
    if (!(parts.rF > 0))
        read.Fail("the compensator's zero " + ToUtf8(fcz1.name) + " must lie below its pole " + ToUtf8(fcp1.name) +
                  " for a prototype of parts.");
    return parts;
}

void ReadAnalogControllers(CDesignModel& m, PositiveReader& read, SpiceInputs& inputs)
{
    inputs.rD = read(m.R__D);
    inputs.vRef = read(m.V__REF);
    inputs.rMout = read(m.R__MOUT);
    inputs.amplifiers[0] = {read(m.R__IN), read(m.R__F), read(m.C__Z), read(m.C__F)};
    inputs.amplifiers[1] = {read(m.R__I), read(m.R__F_I), read(m.C__Z_I), read(m.C__P_I)};
}

void ReadDigitalControllers(CDesignModel& m, PositiveReader& read, SpiceInputs& inputs)
{
    inputs.amplifiers[0] = PrototypeOf(read, m.v_fcp0, m.v_fcp1, m.v_fcz1);
    inputs.amplifiers[1] = PrototypeOf(read, m.i_fcp0, m.i_fcp1, m.i_fcz1);
    inputs.currentSampling = read(m.F__SAMP);
    inputs.delayPeriods = m.Read(m.T__D);
    if (!(inputs.delayPeriods >= 0))
        read.Fail("T__D must be a number of at least 0.");
}

}  // namespace

AmplifierParts AmplifierPartsOf(const Compensator& c, double rIn)
{
    if (!(c.wz1 > 0 && c.wp1 > c.wz1 && c.wp0 > 0 && std::isfinite(c.wp1)))
        return {};
    // CompensatorFromParts solved for the feedback parts.
    const double cF = c.wz1 / (c.wp0 * rIn * c.wp1);
    const double cZ = (c.wp1 - c.wz1) / (c.wp0 * rIn * c.wp1);
    const double rF = c.wp0 * rIn * c.wp1 / ((c.wp1 - c.wz1) * c.wz1);
    return {rIn, rF, cZ, cF};
}

SpiceInputs ReadSpiceInputs(CDesignModel& m, const std::string& description)
{
    SpiceInputs inputs;
    inputs.description = description;
    inputs.timeDomain = ReadTimeDomainInputs(m);
    const int32_t mode = m.Mode();
    if (mode != CTop::ANALOG && mode != CTop::DIGITAL) {
        inputs.notComputed = std::string(kNotComputed) + "the Mode is neither ANALOG nor DIGITAL.";
        return inputs;
    }
    inputs.analog = mode == CTop::ANALOG;
    PositiveReader read(m);
    inputs.pOut = read(m.P__OUT);
    inputs.vOut = read(m.V__OUT);
    inputs.efficiency = read(m.E__ff);
    inputs.outputCapacitance = read(m.C__OUT);
    inputs.vInMin = read(m.V__IN_MIN);
    if (!(kSqrt2 * inputs.vInMin < inputs.vOut))
        read.Fail("the peak of V__IN_MIN must lie below V__OUT for the boost stage's operating point.");
    inputs.inductance = read(m.L__MIN);
    inputs.rSense = read(m.R__SENSE);
    inputs.rampVoltage = read(m.V__RAMP);
    inputs.deltaVAout = read(m.DeltaV__AOUT);
    if (inputs.analog)
        ReadAnalogControllers(m, read, inputs);
    else
        ReadDigitalControllers(m, read, inputs);
    for (ControlLoop loop : kControlLoops)
        inputs.ranges[static_cast<std::size_t>(loop)] = BodeRange(m, loop);
    if (!(inputs.ranges[1].stop > inputs.ranges[1].start))
        read.Fail("f__S must exceed the current loop's lowest frequency.");
    inputs.notComputed = read.problem;
    return inputs;
}

}  // namespace qxr
