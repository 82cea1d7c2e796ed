#include "calc/DesignConstants.h"
#include "calc/DesignSteps.h"

namespace qxr {

namespace {

// Multiplier input, voltage feed-forward network and multiplier output.
void DesignMultiplierNetwork(CDesignModel& m)
{
    Set(m.I__IAC_MAX, 0.0005);  // the chip's maximum IAC current
    Set(m.R__AC, kSqrt2 * Read(m.V__IN_MAX) / Read(m.I__IAC_MAX));
    Set(m.R__VFF, 1.4 / (0.9 * Read(m.V__IN_MIN) / (2 * Read(m.R__AC))));
    Set(m.V__FF_GAIN, Read(m.H3__VFF) / 100 / 0.662);
    Set(m.V__FF_POLE, 2 * Read(m.f__LINE) * Read(m.V__FF_GAIN));
    DesignFeedForwardCutoff(m);
    Set(m.C__VFF, 1 / (Read(m.R__VFF) * kTwoPi * Read(m.V__FF_POLE)));
    Set(m.I__AC_PK, kSqrt2 * Read(m.V__IN_MIN) / Read(m.R__AC));
    Set(m.I__AC_RMS_MIN, Read(m.V__IN_MIN) / Read(m.R__AC));
    Set(m.V__FF_MIN, Read(m.R__VFF) * Read(m.I__AC_RMS_MIN) * 0.9 * 0.5);
    Set(m.K, 1.1);  // the chip's multiplier gain, 1/V
    const double vffMin = Read(m.V__FF_MIN);
    Set(m.I__MOUT_MAX, (Read(m.V__AOUT_MAX) - 1) * Read(m.I__AC_PK) / (vffMin * vffMin * Read(m.K)));
    Set(m.R__MOUT, Read(m.V__RSENSE) / Read(m.I__MOUT_MAX));
}

// Resistors and capacitors that realise the two placed compensators around
// the voltage error amplifier and the current amplifier.
void DesignAnalogCompensatorComponents(CDesignModel& m)
{
    const auto w = [](CSymbol& frequency) { return kTwoPi * Read(frequency); };
    Set(m.C__F, w(m.v_fcz1) / (w(m.v_fcp0) * Read(m.R__IN) * w(m.v_fcp1)));
    Set(m.R__F, w(m.v_fcp0) * Read(m.R__IN) * w(m.v_fcp1) / ((w(m.v_fcp1) - w(m.v_fcz1)) * w(m.v_fcz1)));
    Set(m.C__Z, (w(m.v_fcp1) - w(m.v_fcz1)) / (w(m.v_fcp0) * Read(m.R__IN) * w(m.v_fcp1)));
    Set(m.R__I, Read(m.R__MOUT));
    Set(m.R__F_I, w(m.i_fcp0) * Read(m.R__I) * w(m.i_fcp1) / ((w(m.i_fcp1) - w(m.i_fcz1)) * w(m.i_fcz1)));
    Set(m.C__Z_I, (w(m.i_fcp1) - w(m.i_fcz1)) / (w(m.i_fcp0) * Read(m.R__I) * w(m.i_fcp1)));
    Set(m.C__P_I, w(m.i_fcz1) / (w(m.i_fcp0) * Read(m.R__I) * w(m.i_fcp1)));
}

// Soft start, start-up, clock, reference, over-voltage and peak-current-limit parts.
void DesignSupportComponents(CDesignModel& m)
{
    Set(m.C__SS, Read(m.T__SS) * 1e-05 / Read(m.V__REF));
    Set(m.V__UVLO, 16.0);
    Set(m.R__SHUNT, 0.9 * Read(m.V__IN_MIN) / (Read(m.V__UVLO) / Read(m.T__START) * Read(m.C__TOT)));
    Set(m.R__T, 0.6 / (Read(m.f__S) * Read(m.C__T)));
    Set(m.R__REF_LO, Read(m.R__REF_HI) * Read(m.V__REF) / (Read(m.V__OUT) - Read(m.V__REF)));
    Set(m.R__OVP_LO, Read(m.R__OVP_HI) * 8 / (Read(m.V__OUT_MAX) - 8));
    Set(m.R__PKLMT_LO, Read(m.R__SENSE) * Read(m.I__TRIP) * Read(m.R__PKLMT_HI) /
                           (Read(m.V__REF) - Read(m.I__TRIP) * Read(m.R__SENSE)));
}

}  // namespace

void DesignAnalog(CDesignModel& m)
{
    DesignPowerStage(m);
    DesignMultiplierNetwork(m);
    Set(m.R__D, Read(m.R__IN) * Read(m.V__REF) / (Read(m.V__OUT) - Read(m.V__REF)));
    Set(m.DeltaV__AOUT, Read(m.V__AOUT_MAX));
    SynthesizeCompensators(m);
    EstimateHarmonics(m);
    DesignAnalogCompensatorComponents(m);
    DesignSupportComponents(m);
    CheckAnalogCompensators(m);
}

}  // namespace qxr
