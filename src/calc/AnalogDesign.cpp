#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

using namespace qxr;

void CDesignModel::DesignAnalog()
{
    DesignPowerStage();
    DesignMultiplierNetwork();
    Set(R__D, Read(R__IN) * Read(V__REF) / (Read(V__OUT) - Read(V__REF)));
    Set(DeltaV__AOUT, Read(V__AOUT_MAX));
    SynthesizeCompensators();
    EstimateHarmonics();
    DesignAnalogCompensatorComponents();
    DesignSupportComponents();
    BuildBodeData();
    ComputeMetricsV();
    ComputeMetricsI();
    CheckAnalogCompensators();
}

// Multiplier input, voltage feed-forward network and multiplier output.
void CDesignModel::DesignMultiplierNetwork()
{
    Set(I__IAC_MAX, 0.0005);  // the chip's maximum IAC current
    Set(R__AC, kSqrt2 * Read(V__IN_MAX) / Read(I__IAC_MAX));
    Set(R__VFF, 1.4 / (0.9 * Read(V__IN_MIN) / (2 * Read(R__AC))));
    Set(V__FF_GAIN, Read(H3__VFF) / 100 / 0.662);
    Set(V__FF_POLE, 2 * Read(f__LINE) * Read(V__FF_GAIN));
    DesignFeedForwardCutoff();
    Set(C__VFF, 1 / (Read(R__VFF) * kTwoPi * Read(V__FF_POLE)));
    Set(I__AC_PK, kSqrt2 * Read(V__IN_MIN) / Read(R__AC));
    Set(I__AC_RMS_MIN, Read(V__IN_MIN) / Read(R__AC));
    Set(V__FF_MIN, Read(R__VFF) * Read(I__AC_RMS_MIN) * 0.9 * 0.5);
    Set(K, 1.1);  // the chip's multiplier gain, 1/V
    const double vffMin = Read(V__FF_MIN);
    Set(I__MOUT_MAX, (Read(V__AOUT_MAX) - 1) * Read(I__AC_PK) / (vffMin * vffMin * Read(K)));
    Set(R__MOUT, Read(V__RSENSE) / Read(I__MOUT_MAX));
}

// Resistors and capacitors that realise the two placed compensators around
// the voltage error amplifier and the current amplifier.
void CDesignModel::DesignAnalogCompensatorComponents()
{
    const auto w = [this](CSymbol& frequency) { return kTwoPi * Read(frequency); };
    Set(C__F, w(v_fcz1) / (w(v_fcp0) * Read(R__IN) * w(v_fcp1)));
    Set(R__F, w(v_fcp0) * Read(R__IN) * w(v_fcp1) / ((w(v_fcp1) - w(v_fcz1)) * w(v_fcz1)));
    Set(C__Z, (w(v_fcp1) - w(v_fcz1)) / (w(v_fcp0) * Read(R__IN) * w(v_fcp1)));
    Set(R__I, Read(R__MOUT));
    Set(R__F_I, w(i_fcp0) * Read(R__I) * w(i_fcp1) / ((w(i_fcp1) - w(i_fcz1)) * w(i_fcz1)));
    Set(C__Z_I, (w(i_fcp1) - w(i_fcz1)) / (w(i_fcp0) * Read(R__I) * w(i_fcp1)));
    Set(C__P_I, w(i_fcz1) / (w(i_fcp0) * Read(R__I) * w(i_fcp1)));
}

// Soft start, start-up, clock, reference, over-voltage and peak-current-limit parts.
void CDesignModel::DesignSupportComponents()
{
    Set(C__SS, Read(T__SS) * 1e-05 / Read(V__REF));
    Set(V__UVLO, 16.0);
    Set(R__SHUNT, 0.9 * Read(V__IN_MIN) / (Read(V__UVLO) / Read(T__START) * Read(C__TOT)));
    Set(R__T, 0.6 / (Read(f__S) * Read(C__T)));
    Set(R__REF_LO, Read(R__REF_HI) * Read(V__REF) / (Read(V__OUT) - Read(V__REF)));
    Set(R__OVP_LO, Read(R__OVP_HI) * 8 / (Read(V__OUT_MAX) - 8));
    Set(R__PKLMT_LO,
        Read(R__SENSE) * Read(I__TRIP) * Read(R__PKLMT_HI) / (Read(V__REF) - Read(I__TRIP) * Read(R__SENSE)));
}
