#include <cmath>
#include <cstdio>
#include <string>

#include "calc/CoefficientExport.h"
#include "calc/DesignSteps.h"
#include "calc/FixedPoint.h"
#include "calc/TwoPoleTwoZero.h"

namespace qxr {

namespace {

// Beyond these the firmware's filter no longer behaves like the one designed.
constexpr double kToleratedGainErrorDb = 0.05;
constexpr double kToleratedPhaseErrorDeg = 0.5;

std::string Figure(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

void CheckQuantisedSet(CDesignModel& m, CoefficientSet set, const CoefficientFormat& format)
{
    const std::string formatName = FormatName(format);
    const CoefficientSetLayout& layout = LayoutOf(set);
    const FirmwareSet firmware = FirmwareSetOf(m, set, format);
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i) {
        if (firmware.quantised.saturated[i])
            m.AppendMessage(std::string(layout.names[i]) + " saturates in " + formatName + ".");
        if (firmware.quantised.roundedToZero[i])
            m.AppendMessage(std::string(layout.names[i]) + " rounds to zero in " + formatName + ".");
    }
    const ResponseDifference& error = firmware.error;
    if (!std::isfinite(error.gainDb))
        m.AppendMessage("The " + formatName + " coefficients of the " + layout.title +
                        " leave nothing of its response.");
    else if (!(std::abs(error.gainDb) < kToleratedGainErrorDb && std::abs(error.phaseDeg) < kToleratedPhaseErrorDeg))
        m.AppendMessage("The " + formatName + " coefficients change the " + layout.title + "'s response at its " +
                        (layout.hasIntegrator ? "crossover" : "corner") + " by " + Figure(error.gainDb) + " dB and " +
                        Figure(error.phaseDeg) + " degrees.");
}

// What keeps the coefficients from running, and what rounding them to the
// firmware's format does to each set.
void CheckFirmwareCoefficients(CDesignModel& m)
{
    Read(m.fmt__COEF);
    Read(m.N__FRAC);
    const std::vector<std::string> problems = FirmwareProblems(m);
    for (const std::string& problem : problems)
        m.AppendMessage(problem);
    const CoefficientFormat format = CoefficientFormatOf(m);
    if (problems.empty() && format.kind != CCoefficientFormat::Double)
        for (CoefficientSet set : kCoefficientSets)
            CheckQuantisedSet(m, set, format);
}

void SetCoefficients(CDesignModel& m, CoefficientSet set, const TwoPoleTwoZero& coefficients)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    const std::array<double, kCoefficientsPerSet> values = coefficients.InOutputOrder();
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        Set(m.*layout.symbols[i], values[i]);
}

// Current loop, voltage loop, then the feed-forward filter.
void DiscretiseCompensators(CDesignModel& m)
{
    const int32_t method = TruncToInt32(Read(m.disc__DIG));
    const double fcp0I = Read(m.i_fcp0), fcp1I = Read(m.i_fcp1), fcz1I = Read(m.i_fcz1);
    SetCoefficients(m, CoefficientSet::CurrentLoop,
                    DiscretiseCompensator(fcp0I, fcp1I, fcz1I, Read(m.F__SAMP), method, Read(m.F__X_ILOOP)));
    const double fcp0V = Read(m.v_fcp0), fcp1V = Read(m.v_fcp1), fcz1V = Read(m.v_fcz1);
    SetCoefficients(m, CoefficientSet::VoltageLoop,
                    DiscretiseCompensator(fcp0V, fcp1V, fcz1V, Read(m.F__SAMP_V), method, Read(m.F__X_VLOOP)));
    SetCoefficients(m, CoefficientSet::FeedForward,
                    DiscretiseFeedForwardFilter(Read(m.V__FF_CO), Read(m.F__SAMP_V), method));
    CheckFirmwareCoefficients(m);
}

}  // namespace

void DesignDigital(CDesignModel& m)
{
    // The high-line input stays applicable although no equation of this Mode reads it.
    m.V__IN_MAX.inUse = true;
    DesignPowerStage(m);
    Set(m.DeltaV__AOUT, Read(m.R__SENSE) * Read(m.P__OUT));
    // The current loop samples at the switching frequency as calculated, not as entered.
    Set(m.F__SAMP, m.f__S.calcValue);
    // The digital modulator is normalised to a unit ramp, whatever was entered.
    m.V__RAMP.SetCalc(1.0);
    m.V__RAMP.RevertToCalc();
    Set(m.V__FF_GAIN, Read(m.H3__VFF) / 100 / 0.662);
    DesignFeedForwardCutoff(m);
    SynthesizeCompensators(m);
    DiscretiseCompensators(m);
    EstimateHarmonics(m);
}

}  // namespace qxr
