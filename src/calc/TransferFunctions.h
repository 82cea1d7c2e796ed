#pragma once

#include <cmath>

#include "calc/DesignConstants.h"

// Small-signal models of the two loops, with their symbol values read once.
// Each gain is 20*log10 of the magnitude; phases are in degrees. Pure
// formulas: compensator synthesis places with them, the analyses sweep them.
namespace qxr {

// C(s) = (wp0/s) * (1 + s/wz1) / (1 + s/wp1), frequencies given in Hz.
struct Compensator {
    Compensator(double fcp0, double fcp1, double fcz1) : wp0(kTwoPi * fcp0), wp1(kTwoPi * fcp1), wz1(kTwoPi * fcz1) {}

    double GainDb(double w) const { return GainDbFromRatio(MagnitudeRatio(w), w); }

    // |1 + jw/wz1| / |1 + jw/wp1|, which does not depend on wp0.
    double MagnitudeRatio(double w) const { return MagnitudeRatio(w, wz1, wp1); }
    static double MagnitudeRatio(double w, double wz1, double wp1)
    {
        const double rz = w / wz1;
        const double rp = w / wp1;
        return std::sqrt(1 + rz * rz) / std::sqrt(1 + rp * rp);
    }
    double GainDbFromRatio(double magnitudeRatio, double w) const
    {
        return 20 * std::log10(magnitudeRatio * (wp0 / w));
    }

    // d(gain in dB)/d(log10 w): -20 from the integrator, +20 above the zero, -20 above the pole.
    double GainSlopeDbPerDecade(double w) const
    {
        const double rz2 = (w / wz1) * (w / wz1);
        const double rp2 = (w / wp1) * (w / wp1);
        return 20 * (-1 + rz2 / (1 + rz2) - rp2 / (1 + rp2));
    }

    double wp0, wp1, wz1;  // rad/s
};

// The compensator an amplifier realises with rIn at its input and, in its
// feedback, rF in series with cZ, both across cP.
inline Compensator CompensatorFromParts(double rIn, double rF, double cZ, double cP)
{
    const double cSum = cZ + cP;
    return Compensator(1 / (kTwoPi * rIn * cSum), cSum / (kTwoPi * rF * cZ * cP), 1 / (kTwoPi * rF * cZ));
}

// The two arctangents that compensator and loop phase share at one frequency.
struct PhaseTerms {
    PhaseTerms(const Compensator& c, double w) : zero(std::atan(w / c.wz1)), pole(std::atan(w / c.wp1)) {}

    double CompensatorDeg() const { return (zero - (pole + kHalfPi)) * kRadToDeg; }
    // With the integrating plant's -90 degrees; delay is the sampling lag in radians.
    double LoopDeg(double delay = 0.0) const { return (zero - (pole + kPi) - delay) * kRadToDeg; }

    double zero, pole;
};

// Sampling lag of the digital current loop at w: a zero-order hold of half a
// sampling period plus tD sampling periods, in radians.
inline double SamplingDelay(double w, double fSamp, double tD)
{
    return w / (2 * fSamp) + (tD / fSamp) * w;
}

}  // namespace qxr
