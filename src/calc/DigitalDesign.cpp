#include "calc/CoefficientExport.h"
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
    const double fcp0I = Read(i_fcp0), fcp1I = Read(i_fcp1), fcz1I = Read(i_fcz1);
    SetCoefficients(CoefficientSet::CurrentLoop, DiscretiseCompensator(fcp0I, fcp1I, fcz1I, Read(F__SAMP)));
    const double fcp0V = Read(v_fcp0), fcp1V = Read(v_fcp1), fcz1V = Read(v_fcz1);
    SetCoefficients(CoefficientSet::VoltageLoop, DiscretiseCompensator(fcp0V, fcp1V, fcz1V, Read(F__SAMP_V)));
    SetCoefficients(CoefficientSet::FeedForward, DiscretiseFeedForwardFilter(Read(V__FF_CO), Read(F__SAMP_V)));
}
