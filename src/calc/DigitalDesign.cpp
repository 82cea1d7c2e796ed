#include "model/DesignModel.h"

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
