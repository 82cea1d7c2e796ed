#include "calc/CompensatorSynthesis.h"

#include <cmath>

#include "calc/DesignConstants.h"
#include "calc/DesignSteps.h"
#include "calc/TransferFunctions.h"

namespace qxr {

double IntegratorForUnityGain(double wx, double wz1, double wp1, double plantMagnitude)
{
    return wx / (Compensator::MagnitudeRatio(wx, wz1, wp1) * plantMagnitude);
}

namespace {

// The zero and the second pole lie symmetrically about the crossover, so the
// phase lead there equals the required margin.
void SynthesizeVoltageCompensator(CDesignModel& m)
{
    const double wx = kTwoPi * Read(m.F__X_VLOOP);
    const double t = std::tan(Read(m.PM__VLOOP) * kDegToRad);
    Set(m.v_fcp1, (t * wx + std::sqrt((t * t) * (wx * wx) + wx * wx)) / kTwoPi);
    if (kTwoPi * Read(m.v_fcp1) <= 0)
        m.AppendMessage("voltage loop phase margin too high.");
    Set(m.v_fcz1, wx * wx / (kTwoPi * Read(m.v_fcp1)) / kTwoPi);

    const double wz1 = kTwoPi * Read(m.v_fcz1);
    const double wp1 = kTwoPi * Read(m.v_fcp1);
    const double plant = Read(m.P__OUT) / (Read(m.V__OUT) * Read(m.DeltaV__AOUT) * wx * Read(m.C__OUT));
    Set(m.v_fcp0, IntegratorForUnityGain(wx, wz1, wp1, plant) / kTwoPi);
}

// The second pole sits at half the switching frequency; the zero gives the
// required margin, plus the sampling lag of a digital loop.
void SynthesizeCurrentCompensator(CDesignModel& m)
{
    Set(m.i_fcp1, Read(m.f__S) * kPi / kTwoPi);
    double requiredPhase = Read(m.PM__ILOOP);
    if (m.Mode() == CTop::DIGITAL) {
        const double fSamp = Read(m.F__SAMP);
        const double fx = Read(m.F__X_ILOOP);
        requiredPhase += 360 * fx / (2 * fSamp) + (Read(m.T__D) / fSamp) * 360 * fx;
    }
    const double wx = kTwoPi * Read(m.F__X_ILOOP);
    const double wp1Placed = kTwoPi * Read(m.i_fcp1);
    Set(m.i_fcz1, wx / std::tan(std::atan(wx / wp1Placed) + requiredPhase * kDegToRad) / kTwoPi);
    if (kTwoPi * Read(m.i_fcz1) <= 0)
        m.AppendMessage("Current loop phase margin cannot be acheived. Please lower the phase margin requirement.");

    const double wz1 = kTwoPi * Read(m.i_fcz1);
    const double wp1 = kTwoPi * Read(m.i_fcp1);
    const double plant = Read(m.V__OUT) * Read(m.R__SENSE) / (wx * Read(m.L__MIN) * Read(m.V__RAMP));
    Set(m.i_fcp0, IntegratorForUnityGain(wx, wz1, wp1, plant) / kTwoPi);
}

}  // namespace

void SynthesizeCompensators(CDesignModel& m)
{
    SynthesizeVoltageCompensator(m);
    SynthesizeCurrentCompensator(m);
}

void CheckAnalogCompensators(CDesignModel& m)
{
    const auto anyNegative = [](std::initializer_list<CSymbol*> components) {
        for (CSymbol* component : components) {
            if (Read(*component) < 0)
                return true;
        }
        return false;
    };
    if (anyNegative({&m.R__IN, &m.C__Z, &m.C__F, &m.R__F})) {
        m.AppendMessage("There is an error with the voltage loop compensator. Gain cannot be achieved for this "
                        "crossover. Decrease crossover frequency.");
    } else if (anyNegative({&m.R__I, &m.C__Z_I, &m.C__P_I, &m.R__F_I})) {
        m.AppendMessage("There is an error with the current loop compensator.");
    }
}

}  // namespace qxr
