#include "timedomain/TimeDomainInputs.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "calc/CoefficientExport.h"
#include "calc/DesignConstants.h"
#include "calc/FirmwareStep.h"
#include "model/Utf.h"

namespace qxr {

namespace {

const char* const kNotComputed = "The time-domain simulation is not computed: ";
constexpr double kLowestLine = 1, kHighestLine = 2000;  // Hz
constexpr double kSwitchingPerLine = 100;

// Reads values in force and keeps the first reason one of them cannot be simulated.
class CheckedReader {
public:
    explicit CheckedReader(CDesignModel& model) : model_(model) {}

    double Positive(CSymbol& symbol)
    {
        return Checked(symbol, "must be a positive number", [](double v) { return v > 0; });
    }
    double NotNegative(CSymbol& symbol)
    {
        return Checked(symbol, "must be a number of at least 0", [](double v) { return v >= 0; });
    }
    double Finite(CSymbol& symbol)
    {
        return Checked(symbol, "must be a number", [](double) { return true; });
    }
    // A setting: a number within its recommended range.
    double Setting(CSymbol& symbol)
    {
        const double value = Finite(symbol);
        if (symbol.IsOutsideLimits())
            Note(symbol, "is outside of its range");
        return value;
    }
    // A drop-down: exactly one of its members' values.
    int32_t Choice(CSymbol& symbol, std::initializer_list<int32_t> members)
    {
        const double value = Finite(symbol);
        if (std::none_of(members.begin(), members.end(), [value](int32_t member) { return value == member; }))
            Note(symbol, "is not one of its choices");
        return TruncToInt32(value);
    }
    void Fail(const std::string& reason)
    {
        if (problem.empty())
            problem = kNotComputed + reason;
    }

    std::string problem;

private:
    template <typename Condition>
    double Checked(CSymbol& symbol, const char* requirement, Condition condition)
    {
        const double value = model_.Read(symbol);
        if (!(std::isfinite(value) && condition(value)))
            Note(symbol, requirement);
        return value;
    }
    void Note(const CSymbol& symbol, const char* what)
    {
        Fail(ToUtf8(symbol.name) + " - " + ToUtf8(symbol.description) + " " + what + ".");
    }

    CDesignModel& model_;
};

AnalogControllerParts ReadAnalogParts(CDesignModel& m, CheckedReader& read)
{
    AnalogControllerParts p;
    p.rAc = read.Positive(m.R__AC);
    p.rVff = read.Positive(m.R__VFF);
    p.cVff = read.Positive(m.C__VFF);
    p.feedForwardCorner = read.Positive(m.V__FF_CO);
    p.multiplierGain = read.Positive(m.K);
    p.rMout = read.Positive(m.R__MOUT);
    p.feedForwardMin = read.Positive(m.V__FF_MIN);
    p.rIn = read.Positive(m.R__IN);
    p.rD = read.Positive(m.R__D);
    p.vRef = read.Positive(m.V__REF);
    p.rF = read.Positive(m.R__F);
    p.cZ = read.Positive(m.C__Z);
    p.cF = read.Positive(m.C__F);
    p.outputMax = read.Positive(m.V__AOUT_MAX);
    p.rI = read.Positive(m.R__I);
    p.rFI = read.Positive(m.R__F_I);
    p.cZI = read.Positive(m.C__Z_I);
    p.cPI = read.Positive(m.C__P_I);
    p.rampVoltage = read.Positive(m.V__RAMP);
    p.softStartCapacitor = read.Positive(m.C__SS);
    p.tripCurrent = read.Positive(m.I__TRIP);
    if (!(p.outputMax > 1))
        read.Fail("V__AOUT_MAX must exceed the multiplier's 1 V threshold.");
    return p;
}

FirmwareSetNumbers ReadFirmwareSet(CDesignModel& m, CoefficientSet set, const CoefficientFormat& format,
                                   double fullScale)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    for (CSymbol CDesignModel::*symbol : layout.symbols)
        m.Read(m.*symbol);
    // The numbers the exported header defines: the same Quantise and the same text.
    const QuantisedSet quantised = FirmwareSetOf(m, set, format).quantised;
    FirmwareSetNumbers numbers;
    numbers.integers = quantised.integers;
    numbers.shift = quantised.scaleBits;
    numbers.reals = DefinedCoefficients(CoefficientText(m, set, format));
    numbers.fullScale = fullScale;
    return numbers;
}

DigitalControllerParts ReadDigitalParts(CDesignModel& m, CheckedReader& read, double vInMax)
{
    DigitalControllerParts p;
    p.currentSampling = read.Positive(m.F__SAMP);
    p.voltageSampling = read.Positive(m.F__SAMP_V);
    p.delay = read.NotNegative(m.T__D);
    p.deltaVAout = read.Positive(m.DeltaV__AOUT);
    p.softStart = read.NotNegative(m.T__SS);
    m.Read(m.fmt__COEF);
    m.Read(m.N__FRAC);
    for (const std::string& problem : FirmwareProblems(m))
        read.Fail(problem);
    if (!read.problem.empty())
        return p;
    p.format = CoefficientFormatOf(m);
    // One full scale per set for its input and output alike, so the set's gain holds in its numbers.
    const std::array<double, 3> fullScales{kFeedForwardHeadroom * kSqrt2 * vInMax, p.deltaVAout, 1.0};
    for (std::size_t k = 0; k < kCoefficientSets.size(); ++k)
        p.sets[k] = ReadFirmwareSet(m, kCoefficientSets[k], p.format, fullScales[k]);
    for (const FirmwareSetNumbers& set : p.sets)
        for (double value : set.reals)
            if (!std::isfinite(value))
                read.Fail("the firmware coefficients are not all finite numbers.");
    return p;
}

void ReadVoltageLoop(CDesignModel& m, TimeDomainInputs& inputs)
{
    const AnalogControllerParts& a = inputs.analogParts;
    inputs.voltageCompensator = inputs.analog ? CompensatorFromParts(a.rIn, a.rF, a.cZ, a.cF)
                                              : Compensator(m.Read(m.v_fcp0), m.Read(m.v_fcp1), m.Read(m.v_fcz1));
    inputs.assumedPowerPerVolt = m.Read(m.P__OUT) / (m.Read(m.E__ff) * m.Read(m.DeltaV__AOUT));
    inputs.voltageRange = BodeRange(m, ControlLoop::Voltage);
}

}  // namespace

TimeDomainInputs ReadTimeDomainInputs(CDesignModel& m)
{
    TimeDomainInputs inputs;
    CheckedReader read(m);
    const int32_t mode = m.Mode();
    if (mode != CTop::ANALOG && mode != CTop::DIGITAL) {
        inputs.notComputed = std::string(kNotComputed) + "the Mode is neither ANALOG nor DIGITAL.";
        return inputs;
    }
    inputs.analog = mode == CTop::ANALOG;
    inputs.lineFrequency = read.Positive(m.f__LINE);
    inputs.lineVoltages = {read.Positive(m.V__IN_MIN), read.Positive(m.V__IN_NORM), read.Positive(m.V__IN_MAX)};
    inputs.pOut = read.Positive(m.P__OUT);
    inputs.vOut = read.Positive(m.V__OUT);
    inputs.vOutMin = read.Positive(m.V__OUT_MIN);
    inputs.vOutMax = read.Positive(m.V__OUT_MAX);
    inputs.holdUpTime = read.NotNegative(m.t__H);
    inputs.efficiency = read.Positive(m.E__ff);
    inputs.inductance = read.Positive(m.L__MIN);
    inputs.capacitance = read.Positive(m.C__OUT);
    inputs.switchingFrequency = read.Positive(m.f__S);
    inputs.rSense = read.Positive(m.R__SENSE);
    inputs.startUpTime = inputs.analog ? read.NotNegative(m.T__START) : 0.0;

    inputs.loadKind = read.Choice(m.load__TD, {CLoadKind::ConstantPower, CLoadKind::Resistive});
    inputs.harmonicClass = read.Choice(m.cls__IEC, {CHarmonicClass::A, CHarmonicClass::D});
    inputs.stepFrom = read.Setting(m.P__STEP_FROM) / 100;
    inputs.stepTo = read.Setting(m.P__STEP_TO) / 100;
    inputs.minimumLoad = read.Setting(m.P__LOAD_MIN) / 100;
    inputs.settleMax = read.Setting(m.t__SETTLE_MAX);

    // The line periods the scenarios run stay few and short, and the averaged model needs many switching
    // periods to a line period.
    if (!(inputs.lineFrequency >= kLowestLine && inputs.lineFrequency <= kHighestLine))
        read.Fail("f__LINE must lie between 1 Hz and 2 kHz.");
    if (!(inputs.switchingFrequency >= kSwitchingPerLine * inputs.lineFrequency))
        read.Fail("f__S must be at least 100 times f__LINE for a model averaged over a switching period.");
    if (inputs.analog)
        inputs.analogParts = ReadAnalogParts(m, read);
    else
        inputs.digitalParts = ReadDigitalParts(m, read, inputs.lineVoltages[2]);
    ReadVoltageLoop(m, inputs);
    for (ControlLoop loop : kControlLoops)
        if (!std::isfinite(m.Loop(loop).fx))
            read.Fail(std::string("the design's ") + (loop == ControlLoop::Voltage ? "voltage" : "current") +
                      " loop has no crossover.");
    inputs.notComputed = read.problem;
    return inputs;
}

}  // namespace qxr
