#include <cmath>

#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

using namespace qxr;

// Duty cycle, inductor, output capacitor, ripples and current sense: the
// same for both controller kinds.
void CDesignModel::DesignPowerStage()
{
    Set(D__MAX, (Read(V__OUT) - kSqrt2 * Read(V__IN_MIN)) / Read(V__OUT));
    Set(I__L_RIPPLE_PK_PK, Read(PERC_I__L_RIPPLE) / 100 * 2 * Read(P__OUT) / Read(V__IN_MIN));
    Set(L__MIN, kSqrt2 * Read(V__IN_MIN) * Read(D__MAX) / (Read(f__S) * Read(I__L_RIPPLE_PK_PK)));
    const double vOut = Read(V__OUT);
    const double vOutMin = Read(V__OUT_MIN);
    Set(C__OUT, 2 * Read(P__OUT) * Read(t__H) / (vOut * vOut - vOutMin * vOutMin));
    Set(V__RIPPLE_PK_PK, 2 * Read(P__OUT) / (Read(V__OUT) * kTwoPi * 2 * Read(f__LINE) * Read(C__OUT)));
    Set(V__RIPPLE_PK, 0.5 * Read(V__RIPPLE_PK_PK));
    Set(I__COUT_PK, Read(P__OUT) / Read(V__OUT));
    Set(I__IN_PEAK, kSqrt2 * Read(P__OUT) / Read(V__IN_MIN));
    Set(R__SENSE, Read(V__RSENSE) / Read(I__IN_PEAK));
}

// Corner of the second-order feed-forward filter that lets through the
// permitted share of the second line harmonic.
void CDesignModel::DesignFeedForwardCutoff()
{
    const double G = Read(V__FF_GAIN);
    const double W = kFourPi * Read(f__LINE);
    const double G2 = G * G;
    const double W2 = W * W;
    Set(V__FF_CO, std::sqrt((W2 * G2 - std::sqrt((4 - 3 * G2) * G2 * (W2 * W2))) / (G2 - 1)) / (kSqrt2 * kTwoPi));
}

// Second harmonic on the output from the voltage-loop gain at twice the
// line frequency, and the third harmonic it puts on the line current.
void CDesignModel::EstimateHarmonics()
{
    const double g = LoopGainV(2 * Read(f__LINE) * kTwoPi);
    Set(H2__ON_VOUT, std::pow(10.0, g / 20) * 100);
    Set(H3__LINE_IN, 0.5 * Read(H2__ON_VOUT));
}
