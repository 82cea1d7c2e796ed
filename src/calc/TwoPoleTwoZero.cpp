#include "calc/TwoPoleTwoZero.h"

#include <cmath>

#include "calc/DesignConstants.h"
#include "calc/TransferFunctions.h"
#include "model/Enumerations.h"

namespace qxr {

TwoPoleTwoZero DiscretiseCompensator(double fcp0, double fcp1, double fcz1, double fSamp)
{
    const double T = 1 / fSamp;
    const double wp0 = kTwoPi * fcp0;
    const double wp1 = kTwoPi * fcp1;
    const double wz = kTwoPi * fcz1;
    // clang-format off
    return {
        wp0 * T * wp1 * (wz * T + 2) / ((wp1 * T + 2) * 2 * wz),
        wp0 * (T * T) * wp1 / (wp1 * T + 2),
        wp0 * T * wp1 * (wz * T - 2) / ((wp1 * T + 2) * 2 * wz),
        4 / (wp1 * T + 2),
        -(2 - wp1 * T) / (wp1 * T + 2),
    };
    // clang-format on
}

TwoPoleTwoZero DiscretiseFeedForwardFilter(double fCutoff, double fSamp)
{
    const double T = 1 / fSamp;
    const double w0 = kTwoPi * fCutoff;
    const double D = (w0 * T) * (w0 * T + 2) + 4;
    const double w0Squared = w0 * w0;
    const double TSquared = T * T;
    // clang-format off
    return {
        w0Squared * TSquared / D,
        2 * w0Squared * TSquared / D,
        w0Squared * TSquared / D,
        (8 - 2 * w0Squared * TSquared) / D,
        4 * w0 * T / D - 1,
    };
    // clang-format on
}

namespace {

// Bilinear with s = K (1 - z^-1) / (1 + z^-1); K = 2/T is the plain transform.
TwoPoleTwoZero BilinearCompensator(const Compensator& c, double K)
{
    const double gain = c.wp0 * c.wp1 / (c.wz1 * K * (K + c.wp1));
    return {
        gain * (K + c.wz1), gain * 2 * c.wz1, gain * (c.wz1 - K), 2 * K / (K + c.wp1), (c.wp1 - K) / (K + c.wp1),
    };
}

TwoPoleTwoZero BilinearLowPass(double w0, double K)
{
    const double D = K * K + w0 * K + w0 * w0;
    const double b = w0 * w0 / D;
    return {b, 2 * b, b, 2 * (K * K - w0 * w0) / D, -(K * K - w0 * K + w0 * w0) / D};
}

// K that makes the bilinear map exact at angular frequency w.
double PreWarpedK(double w, double T)
{
    return w / std::tan(w * T / 2);
}

// Poles at 1 and e^(-wp1 T), the zero at e^(-wz1 T) and the zero at infinity
// at z = -1. A2 is taken as 1 - A1, exact in floating point, so the integrator
// stays at z = 1.
TwoPoleTwoZero MatchedCompensator(const Compensator& c, double T, double fMatch)
{
    const double zero = std::exp(-c.wz1 * T);
    const double pole = std::exp(-c.wp1 * T);
    const double a1 = 1 + pole;
    TwoPoleTwoZero unit{1, 1 - zero, -zero, a1, 1 - a1};
    const double target = std::pow(10.0, c.GainDb(kTwoPi * fMatch) / 20);
    const double gain = target / std::abs(FrequencyResponse(unit, fMatch, 1 / T));
    return {gain, gain * unit.b1, gain * unit.b2, unit.a1, unit.a2};
}

// The complex pole pair mapped by z = e^(sT), both zeros at z = -1.
TwoPoleTwoZero MatchedLowPass(double w0, double T)
{
    const double radius = std::exp(-w0 * T / 2);
    const double angle = w0 * T * std::sqrt(3.0) / 2;
    const double a1 = 2 * radius * std::cos(angle);
    const double a2 = -radius * radius;
    const double b = (1 - a1 - a2) / 4;
    return {b, 2 * b, b, a1, a2};
}

}  // namespace

TwoPoleTwoZero DiscretiseCompensator(double fcp0, double fcp1, double fcz1, double fSamp, int32_t method, double fMatch)
{
    const double T = 1 / fSamp;
    const Compensator prototype(fcp0, fcp1, fcz1);
    switch (method) {
    case CDiscretisation::PreWarped:
        return BilinearCompensator(prototype, PreWarpedK(kTwoPi * fMatch, T));
    case CDiscretisation::Matched:
        return MatchedCompensator(prototype, T, fMatch);
    default:
        return DiscretiseCompensator(fcp0, fcp1, fcz1, fSamp);
    }
}

TwoPoleTwoZero DiscretiseFeedForwardFilter(double fCutoff, double fSamp, int32_t method)
{
    const double T = 1 / fSamp;
    const double w0 = kTwoPi * fCutoff;
    switch (method) {
    case CDiscretisation::PreWarped:
        return BilinearLowPass(w0, PreWarpedK(w0, T));
    case CDiscretisation::Matched:
        return MatchedLowPass(w0, T);
    default:
        return DiscretiseFeedForwardFilter(fCutoff, fSamp);
    }
}

std::complex<double> FrequencyResponse(const TwoPoleTwoZero& filter, double f, double fSamp)
{
    const std::complex<double> q = std::polar(1.0, -kTwoPi * f / fSamp);  // z^-1
    return (filter.b0 + q * (filter.b1 + q * filter.b2)) / (1.0 - q * (filter.a1 + q * filter.a2));
}

ResponseDifference DifferenceOf(std::complex<double> response, std::complex<double> reference)
{
    const std::complex<double> ratio = response / reference;
    return {20 * std::log10(std::abs(ratio)), std::arg(ratio) * kRadToDeg};
}

}  // namespace qxr
