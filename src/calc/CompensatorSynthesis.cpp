#include "calc/CompensatorSynthesis.h"

#include <cmath>

#include "calc/DesignConstants.h"
#include "calc/TransferFunctions.h"
#include "model/DesignModel.h"

namespace qxr {

double IntegratorForUnityGain(double wx, double wz1, double wp1, double plantMagnitude)
{
    return wx / (Compensator::MagnitudeRatio(wx, wz1, wp1) * plantMagnitude);
}

}  // namespace qxr

using namespace qxr;

void CDesignModel::SynthesizeCompensators()
{
    SynthesizeVoltageCompensator();
    SynthesizeCurrentCompensator();
}

// The zero and the second pole lie symmetrically about the crossover, so the
// phase lead there equals the required margin.
void CDesignModel::SynthesizeVoltageCompensator()
{
    const double wx = kTwoPi * Read(F__X_VLOOP);
    const double t = std::tan(Read(PM__VLOOP) * kDegToRad);
    Set(v_fcp1, (t * wx + std::sqrt((t * t) * (wx * wx) + wx * wx)) / kTwoPi);
    if (kTwoPi * Read(v_fcp1) <= 0)
        AppendMessage("voltage loop phase margin too high.");
    Set(v_fcz1, wx * wx / (kTwoPi * Read(v_fcp1)) / kTwoPi);

    const double wz1 = kTwoPi * Read(v_fcz1);
    const double wp1 = kTwoPi * Read(v_fcp1);
    const double plant = Read(P__OUT) / (Read(V__OUT) * Read(DeltaV__AOUT) * wx * Read(C__OUT));
    Set(v_fcp0, IntegratorForUnityGain(wx, wz1, wp1, plant) / kTwoPi);
}

// The second pole sits at half the switching frequency; the zero gives the
// required margin, plus the sampling lag of a digital loop.
void CDesignModel::SynthesizeCurrentCompensator()
{
    Set(i_fcp1, Read(f__S) * kPi / kTwoPi);
    double requiredPhase = Read(PM__ILOOP);
    if (Mode() == CTop::DIGITAL) {
        const double fSamp = Read(F__SAMP);
        const double fx = Read(F__X_ILOOP);
        requiredPhase += 360 * fx / (2 * fSamp) + (Read(T__D) / fSamp) * 360 * fx;
    }
    const double wx = kTwoPi * Read(F__X_ILOOP);
    const double wp1Placed = kTwoPi * Read(i_fcp1);
    Set(i_fcz1, wx / std::tan(std::atan(wx / wp1Placed) + requiredPhase * kDegToRad) / kTwoPi);
    if (kTwoPi * Read(i_fcz1) <= 0)
        AppendMessage("Current loop phase margin cannot be acheived. Please lower the phase margin requirement.");

    const double wz1 = kTwoPi * Read(i_fcz1);
    const double wp1 = kTwoPi * Read(i_fcp1);
    const double plant = Read(V__OUT) * Read(R__SENSE) / (wx * Read(L__MIN) * Read(V__RAMP));
    Set(i_fcp0, IntegratorForUnityGain(wx, wz1, wp1, plant) / kTwoPi);
}

void CDesignModel::CheckAnalogCompensators()
{
    const auto anyNegative = [this](std::initializer_list<CSymbol*> components) {
        for (CSymbol* component : components) {
            if (Read(*component) < 0)
                return true;
        }
        return false;
    };
    if (anyNegative({&R__IN, &C__Z, &C__F, &R__F})) {
        AppendMessage("There is an error with the voltage loop compensator. Gain cannot be achieved for this "
                      "crossover. Decrease crossover frequency.");
    } else if (anyNegative({&R__I, &C__Z_I, &C__P_I, &R__F_I})) {
        AppendMessage("There is an error with the current loop compensator.");
    }
}
