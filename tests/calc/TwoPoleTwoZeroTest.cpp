#include <cmath>
#include <complex>

#include <gtest/gtest.h>

#include "calc/DesignConstants.h"
#include "calc/TwoPoleTwoZero.h"
#include "model/Enumerations.h"

namespace {

using Complex = std::complex<double>;
using qxr::kTwoPi;

Complex Discrete(const qxr::TwoPoleTwoZero& c, double w, double T)
{
    const Complex zInv = std::exp(Complex(0, -w * T));
    return (c.b0 + c.b1 * zInv + c.b2 * zInv * zInv) / (1.0 - c.a1 * zInv - c.a2 * zInv * zInv);
}

// The continuous frequency that the bilinear transform maps onto w.
Complex Warped(double w, double T)
{
    return Complex(0, 2 / T * std::tan(w * T / 2));
}

Complex Compensator(double fcp0, double fcp1, double fcz1, Complex s)
{
    return kTwoPi * fcp0 / s * (1.0 + s / (kTwoPi * fcz1)) / (1.0 + s / (kTwoPi * fcp1));
}

TEST(TwoPoleTwoZero, KnownCompensatorResponse)
{
    const double T = 1 / 100e3;
    const auto c = qxr::DiscretiseCompensator(50, 5000, 800, 100e3);
    const Complex h = Discrete(c, kTwoPi * 1000, T);
    EXPECT_NEAR(h.real(), 0.05048, 5e-6);
    EXPECT_NEAR(h.imag(), -0.06008, 5e-6);
}

TEST(TwoPoleTwoZero, CompensatorMatchesItsPrototypeOnTheWarpedAxis)
{
    struct Case {
        double fcp0, fcp1, fcz1, fSamp;
    };
    const Case cases[] = {
        {50, 5000, 800, 100e3},
        {3.2, 26.1, 1.88, 6000},
        {1200, 100e3, 2500, 200e3},
        {10, 40, -15, 1000},
    };
    for (const Case& c : cases) {
        const auto coefficients = qxr::DiscretiseCompensator(c.fcp0, c.fcp1, c.fcz1, c.fSamp);
        const double T = 1 / c.fSamp;
        for (double fraction : {0.001, 0.01, 0.1, 0.3, 0.45}) {
            const double w = kTwoPi * fraction * c.fSamp;
            const Complex expected = Compensator(c.fcp0, c.fcp1, c.fcz1, Warped(w, T));
            const Complex actual = Discrete(coefficients, w, T);
            EXPECT_NEAR(std::abs(actual - expected) / std::abs(expected), 0.0, 1e-9) << c.fcp0 << " at " << fraction;
        }
    }
}

TEST(TwoPoleTwoZero, FeedForwardFilterHasUnityDcGainAndSymmetricNumerator)
{
    for (double fCutoff : {1.0, 10.6142, 14.9697, 300.0}) {
        for (double fSamp : {1000.0, 6000.0, 48000.0}) {
            const auto c = qxr::DiscretiseFeedForwardFilter(fCutoff, fSamp);
            EXPECT_EQ(c.b0, c.b2);
            EXPECT_EQ(c.b1, 2 * c.b0);
            EXPECT_NEAR(c.b0 + c.b1 + c.b2, 1 - c.a1 - c.a2, 1e-15);
            const double w = kTwoPi * fCutoff / 3;
            const double w0 = kTwoPi * fCutoff;
            const Complex s = Warped(w, 1 / fSamp);
            const Complex prototype = w0 * w0 / (s * s + w0 * s + w0 * w0);
            EXPECT_NEAR(std::abs(Discrete(c, w, 1 / fSamp) - prototype), 0.0,
                        1e-7);  // ill-conditioned at fSamp >> fCutoff
        }
    }
}

TEST(TwoPoleTwoZero, SecondPoleAtTwiceTheSamplingRateCancelsA2)
{
    const double fSamp = 1000;
    const double fcp1 = 2 * fSamp / kTwoPi;  // wp1 * T = 2
    const auto c = qxr::DiscretiseCompensator(1, fcp1, 5, fSamp);
    EXPECT_EQ(c.a2, 0.0);
    EXPECT_EQ(c.a1, 1.0);
}

TEST(TwoPoleTwoZero, ZeroSamplingFrequencyGivesNaNsWithoutTrapping)
{
    const auto c = qxr::DiscretiseCompensator(1, 2, 3, 0);
    EXPECT_TRUE(std::isnan(c.b0));
    EXPECT_EQ(c.a1, 0.0);
    const auto f = qxr::DiscretiseFeedForwardFilter(0, 6000);
    EXPECT_EQ(f.b0, 0.0);
    EXPECT_EQ(f.a1, 2.0);
    EXPECT_EQ(f.a2, -1.0);
}

Complex LowPass(double fCutoff, Complex s)
{
    const double w0 = kTwoPi * fCutoff;
    return w0 * w0 / (s * s + w0 * s + w0 * w0);
}

struct CompensatorCase {
    double fcp0, fcp1, fcz1, fSamp, fMatch;
};
const CompensatorCase kCompensators[] = {
    {50, 5000, 800, 100e3, 10e3},
    {3.2, 26.1, 1.88, 6000, 7},
    {1200, 100e3, 2500, 200e3, 40e3},
    {10, 40, 15, 1000, 450},
};

TEST(Discretisation, BilinearMethodIsTheUnwarpedTransformBitForBit)
{
    for (const CompensatorCase& c : kCompensators) {
        const auto plain = qxr::DiscretiseCompensator(c.fcp0, c.fcp1, c.fcz1, c.fSamp);
        const auto chosen =
            qxr::DiscretiseCompensator(c.fcp0, c.fcp1, c.fcz1, c.fSamp, CDiscretisation::Bilinear, c.fMatch);
        EXPECT_EQ(chosen.InOutputOrder(), plain.InOutputOrder());
        EXPECT_EQ(qxr::DiscretiseFeedForwardFilter(c.fcp1, c.fSamp, CDiscretisation::Bilinear).InOutputOrder(),
                  qxr::DiscretiseFeedForwardFilter(c.fcp1, c.fSamp).InOutputOrder());
    }
}

TEST(Discretisation, PreWarpedFiltersEqualTheirPrototypesAtTheMatchFrequency)
{
    for (const CompensatorCase& c : kCompensators) {
        SCOPED_TRACE(c.fcp0);
        const auto compensator =
            qxr::DiscretiseCompensator(c.fcp0, c.fcp1, c.fcz1, c.fSamp, CDiscretisation::PreWarped, c.fMatch);
        const Complex expected = Compensator(c.fcp0, c.fcp1, c.fcz1, Complex(0, kTwoPi * c.fMatch));
        const Complex actual = qxr::FrequencyResponse(compensator, c.fMatch, c.fSamp);
        EXPECT_NEAR(std::abs(actual / expected - 1.0), 0.0, 1e-9);
        EXPECT_GT(std::abs(Discrete(qxr::DiscretiseCompensator(c.fcp0, c.fcp1, c.fcz1, c.fSamp), kTwoPi * c.fMatch,
                                    1 / c.fSamp) /
                               expected -
                           1.0),
                  1e-9)
            << "the plain transform is not exact there";
        const double corner = c.fMatch / 2;
        const auto lowPass = qxr::DiscretiseFeedForwardFilter(corner, c.fSamp, CDiscretisation::PreWarped);
        EXPECT_NEAR(
            std::abs(qxr::FrequencyResponse(lowPass, corner, c.fSamp) / LowPass(corner, Complex(0, kTwoPi * corner)) -
                     1.0),
            0.0, 1e-9);
        EXPECT_NEAR(lowPass.b0 + lowPass.b1 + lowPass.b2, 1 - lowPass.a1 - lowPass.a2, 1e-15);
    }
}

// Poles and zeros mapped by z = e^(sT), the pole of the integrator exactly at z = 1.
TEST(Discretisation, MatchedCompensatorKeepsTheIntegratorAtOneAndTheGainAtTheMatchFrequency)
{
    for (const CompensatorCase& c : kCompensators) {
        SCOPED_TRACE(c.fcp0);
        const auto m = qxr::DiscretiseCompensator(c.fcp0, c.fcp1, c.fcz1, c.fSamp, CDiscretisation::Matched, c.fMatch);
        const double T = 1 / c.fSamp;
        EXPECT_EQ(1 - m.a1 - m.a2, 0.0);
        EXPECT_EQ(m.a1 + m.a2, 1.0);
        EXPECT_NEAR(m.a1 - 1, std::exp(-kTwoPi * c.fcp1 * T), 1e-15);  // the other pole
        EXPECT_NEAR(-m.b2 / m.b0, std::exp(-kTwoPi * c.fcz1 * T), 1e-12);
        EXPECT_NEAR(m.b0 - m.b1 + m.b2, 0.0, 1e-12 * m.b0) << "the zero at infinity lands on z = -1";
        const double prototypeGain = std::abs(Compensator(c.fcp0, c.fcp1, c.fcz1, Complex(0, kTwoPi * c.fMatch)));
        EXPECT_NEAR(std::abs(qxr::FrequencyResponse(m, c.fMatch, c.fSamp)) / prototypeGain, 1.0, 1e-12);
    }
}

TEST(Discretisation, MatchedLowPassMapsItsPolesAndKeepsUnityGainAtDc)
{
    for (double fCutoff : {10.6, 300.0}) {
        for (double fSamp : {6000.0, 48000.0}) {
            const auto m = qxr::DiscretiseFeedForwardFilter(fCutoff, fSamp, CDiscretisation::Matched);
            const Complex pole = std::exp(Complex(-0.5, std::sqrt(3.0) / 2) * kTwoPi * fCutoff / fSamp);
            const Complex q = 1.0 / pole;  // z^-1 at the pole
            EXPECT_NEAR(std::abs(1.0 - m.a1 * q - m.a2 * q * q), 0.0, 1e-12);
            EXPECT_NEAR(std::abs(qxr::FrequencyResponse(m, 0, fSamp)), 1.0, 1e-12);
            EXPECT_NEAR(std::abs(qxr::FrequencyResponse(m, fSamp / 2, fSamp)), 0.0, 1e-12) << "zeros at z = -1";
        }
    }
}

TEST(Discretisation, FrequencyResponseIsTheTransferFunctionOnTheUnitCircle)
{
    const auto c = qxr::DiscretiseCompensator(50, 5000, 800, 100e3);
    for (double f : {0.1, 1000.0, 49000.0}) {
        const Complex expected = Discrete(c, kTwoPi * f, 1 / 100e3);
        EXPECT_NEAR(std::abs(qxr::FrequencyResponse(c, f, 100e3) / expected - 1.0), 0.0, 1e-9);  // near z = 1
    }
    const auto difference = qxr::DifferenceOf(Complex(0, 2), Complex(1, 0));
    EXPECT_NEAR(difference.gainDb, 20 * std::log10(2.0), 1e-12);
    EXPECT_NEAR(difference.phaseDeg, 90, 1e-12);
}

}  // namespace
