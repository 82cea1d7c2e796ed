#include <cmath>
#include <cstdio>
#include <string>

#include "calc/CoefficientExport.h"
#include "calc/FixedPoint.h"
#include "calc/TwoPoleTwoZero.h"
#include "model/DesignModel.h"

using namespace qxr;

void CDesignModel::DesignDigital()
{
    // The high-line input stays applicable although no equation of this Mode reads it.
    V__IN_MAX.inUse = true;
    DesignPowerStage();
    Set(DeltaV__AOUT, Read(R__SENSE) * Read(P__OUT));
    // The current loop samples at the switching frequency as calculated, not as entered.
    Set(F__SAMP, f__S.calcValue);
    // The digital modulator is normalised to a unit ramp, whatever was entered.
    V__RAMP.SetCalc(1.0);
    V__RAMP.RevertToCalc();
    Set(V__FF_GAIN, Read(H3__VFF) / 100 / 0.662);
    DesignFeedForwardCutoff();
    SynthesizeCompensators();
    DiscretiseCompensators();
    EstimateHarmonics();
    BuildBodeData();
    ComputeMetricsV();
    ComputeMetricsI();
}

void CDesignModel::SetCoefficients(CoefficientSet set, const TwoPoleTwoZero& coefficients)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    const std::array<double, kCoefficientsPerSet> values = coefficients.InOutputOrder();
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        Set(this->*layout.symbols[i], values[i]);
}

// Current loop, voltage loop, then the feed-forward filter.
void CDesignModel::DiscretiseCompensators()
{
    const int32_t method = TruncToInt32(Read(disc__DIG));
    const double fcp0I = Read(i_fcp0), fcp1I = Read(i_fcp1), fcz1I = Read(i_fcz1);
    SetCoefficients(CoefficientSet::CurrentLoop,
                    DiscretiseCompensator(fcp0I, fcp1I, fcz1I, Read(F__SAMP), method, Read(F__X_ILOOP)));
    const double fcp0V = Read(v_fcp0), fcp1V = Read(v_fcp1), fcz1V = Read(v_fcz1);
    SetCoefficients(CoefficientSet::VoltageLoop,
                    DiscretiseCompensator(fcp0V, fcp1V, fcz1V, Read(F__SAMP_V), method, Read(F__X_VLOOP)));
    SetCoefficients(CoefficientSet::FeedForward, DiscretiseFeedForwardFilter(Read(V__FF_CO), Read(F__SAMP_V), method));
    CheckFirmwareCoefficients();
}

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

}  // namespace

// What keeps the coefficients from running, and what rounding them to the
// firmware's format does to each set.
void CDesignModel::CheckFirmwareCoefficients()
{
    Read(fmt__COEF);
    Read(N__FRAC);
    const std::vector<std::string> problems = FirmwareProblems(*this);
    for (const std::string& problem : problems)
        AppendMessage(problem);
    const CoefficientFormat format = CoefficientFormatOf(*this);
    if (problems.empty() && format.kind != CCoefficientFormat::Double)
        for (CoefficientSet set : kCoefficientSets)
            CheckQuantisedSet(set, format);
}

void CDesignModel::CheckQuantisedSet(CoefficientSet set, const CoefficientFormat& format)
{
    const std::string formatName = FormatName(format);
    const CoefficientSetLayout& layout = LayoutOf(set);
    const FirmwareSet firmware = FirmwareSetOf(*this, set, format);
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i) {
        if (firmware.quantised.saturated[i])
            AppendMessage(std::string(layout.names[i]) + " saturates in " + formatName + ".");
        if (firmware.quantised.roundedToZero[i])
            AppendMessage(std::string(layout.names[i]) + " rounds to zero in " + formatName + ".");
    }
    const ResponseDifference& error = firmware.error;
    if (!std::isfinite(error.gainDb))
        AppendMessage("The " + formatName + " coefficients of the " + layout.title + " leave nothing of its response.");
    else if (!(std::abs(error.gainDb) < kToleratedGainErrorDb && std::abs(error.phaseDeg) < kToleratedPhaseErrorDeg))
        AppendMessage("The " + formatName + " coefficients change the " + layout.title + "'s response at its " +
                      (layout.hasIntegrator ? "crossover" : "corner") + " by " + Figure(error.gainDb) + " dB and " +
                      Figure(error.phaseDeg) + " degrees.");
}
