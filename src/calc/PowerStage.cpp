#include <cmath>

#include "calc/DesignConstants.h"
#include "calc/DesignSteps.h"
#include "calc/LoopModel.h"

namespace qxr {

// Duty cycle, inductor, output capacitor, ripples and current sense: the
// same for both controller kinds.
void DesignPowerStage(CDesignModel& m)
{
    Set(m.D__MAX, (Read(m.V__OUT) - kSqrt2 * Read(m.V__IN_MIN)) / Read(m.V__OUT));
    Set(m.I__L_RIPPLE_PK_PK, Read(m.PERC_I__L_RIPPLE) / 100 * 2 * Read(m.P__OUT) / Read(m.V__IN_MIN));
    Set(m.L__MIN, kSqrt2 * Read(m.V__IN_MIN) * Read(m.D__MAX) / (Read(m.f__S) * Read(m.I__L_RIPPLE_PK_PK)));
    const double vOut = Read(m.V__OUT);
    const double vOutMin = Read(m.V__OUT_MIN);
    Set(m.C__OUT, 2 * Read(m.P__OUT) * Read(m.t__H) / (vOut * vOut - vOutMin * vOutMin));
    Set(m.V__RIPPLE_PK_PK, 2 * Read(m.P__OUT) / (Read(m.V__OUT) * kTwoPi * 2 * Read(m.f__LINE) * Read(m.C__OUT)));
    Set(m.V__RIPPLE_PK, 0.5 * Read(m.V__RIPPLE_PK_PK));
    Set(m.I__COUT_PK, Read(m.P__OUT) / Read(m.V__OUT));
    Set(m.I__IN_PEAK, kSqrt2 * Read(m.P__OUT) / Read(m.V__IN_MIN));
    Set(m.R__SENSE, Read(m.V__RSENSE) / Read(m.I__IN_PEAK));
}

// Corner of the second-order feed-forward filter that lets through the
// permitted share of the second line harmonic.
void DesignFeedForwardCutoff(CDesignModel& m)
{
    const double G = Read(m.V__FF_GAIN);
    const double W = kFourPi * Read(m.f__LINE);
    const double G2 = G * G;
    const double W2 = W * W;
    Set(m.V__FF_CO, std::sqrt((W2 * G2 - std::sqrt((4 - 3 * G2) * G2 * (W2 * W2))) / (G2 - 1)) / (kSqrt2 * kTwoPi));
}

// Second harmonic on the output from the voltage-loop gain at twice the
// line frequency, and the third harmonic it puts on the line current.
void EstimateHarmonics(CDesignModel& m)
{
    const double w = 2 * Read(m.f__LINE) * kTwoPi;
    const double g = LoopModelOf(m, ControlLoop::Voltage).SummedGainDb(w);
    Set(m.H2__ON_VOUT, std::pow(10.0, g / 20) * 100);
    Set(m.H3__LINE_IN, 0.5 * Read(m.H2__ON_VOUT));
}

}  // namespace qxr
