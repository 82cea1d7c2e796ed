#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <cstdint>

// Discretisation of the design's continuous filters into
// H(z) = (B0 + B1 z^-1 + B2 z^-2) / (1 - A1 z^-1 - A2 z^-2).
// The signs of A1 and A2 are folded in: y[n] = B0 x[n] + B1 x[n-1] + B2 x[n-2] + A1 y[n-1] + A2 y[n-2].
namespace qxr {

inline constexpr std::size_t kCoefficientsPerSet = 5;

struct TwoPoleTwoZero {
    double b0, b1, b2, a1, a2;

    std::array<double, kCoefficientsPerSet> InOutputOrder() const { return {b0, b1, b2, a1, a2}; }
    static TwoPoleTwoZero FromOutputOrder(const std::array<double, kCoefficientsPerSet>& v)
    {
        return {v[0], v[1], v[2], v[3], v[4]};
    }
};

// Bilinear (Tustin) without pre-warping.
// C(s) = (wp0/s) (1 + s/wz1) / (1 + s/wp1) with frequencies in Hz, sampled at fSamp.
TwoPoleTwoZero DiscretiseCompensator(double fcp0, double fcp1, double fcz1, double fSamp);

// F(s) = w0^2 / (s^2 + w0 s + w0^2), w0 = 2 pi fCutoff, sampled at fSamp: unity gain at DC.
TwoPoleTwoZero DiscretiseFeedForwardFilter(double fCutoff, double fSamp);

// The same filters by a CDiscretisation method. Pre-warping makes the
// compensator exact at fMatch and the low-pass at its corner; the matched
// compensator has its gain equal to the prototype's at fMatch, the matched
// low-pass unity gain at DC.
TwoPoleTwoZero DiscretiseCompensator(double fcp0, double fcp1, double fcz1, double fSamp, int32_t method,
                                     double fMatch);
TwoPoleTwoZero DiscretiseFeedForwardFilter(double fCutoff, double fSamp, int32_t method);

// H(e^(j 2 pi f / fSamp)).
std::complex<double> FrequencyResponse(const TwoPoleTwoZero& filter, double f, double fSamp);

// Gain in dB and phase in degrees of one response relative to another.
struct ResponseDifference {
    double gainDb, phaseDeg;
};
ResponseDifference DifferenceOf(std::complex<double> response, std::complex<double> reference);

}  // namespace qxr
