#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "calc/FixedPoint.h"
#include "calc/TwoPoleTwoZero.h"
#include "model/Enumerations.h"

namespace {

using qxr::CoefficientFormat;
using qxr::Quantise;
using qxr::TwoPoleTwoZero;

const CoefficientFormat kQ15{CCoefficientFormat::Q15, 0};
const CoefficientFormat kQ31{CCoefficientFormat::Q31, 0};

CoefficientFormat Qmn(double fractionBits)
{
    return {CCoefficientFormat::Qmn, fractionBits};
}

// The shift follows the largest coefficient: none while it fits, then just
// enough that it fills the top half of the word.
TEST(FixedPoint, PostShiftIsTheSmallestThatKeepsTheLargestCoefficientInTheWord)
{
    struct Case {
        CoefficientFormat format;
        double largest;
        int postShift;
    };
    const Case cases[] = {
        {kQ15, 0.75, 0}, {kQ15, 0.9999, 0}, {kQ15, 1.0, 1},     {kQ15, 1.97, 1},   {kQ15, 5.0, 3},
        {kQ31, 0.5, 0},  {kQ31, 1.97, 1},   {Qmn(20), 1.97, 0}, {Qmn(30), 5.0, 2}, {Qmn(1), 1e12, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qxr::FormatName(c.format) + " " + std::to_string(c.largest));
        const auto q = Quantise({0.001, c.largest, -0.25, 0.5, 0.1}, c.format, false);
        EXPECT_EQ(q.postShift, c.postShift);
        EXPECT_EQ(q.scaleBits, c.format.FractionBits() - c.postShift);
        const double wordMax = std::ldexp(1.0, c.format.WordBits() - 1) - 1;
        EXPECT_LE(static_cast<double>(q.integers[1]), wordMax);
        if (c.postShift > 0 && !q.saturated[1]) {
            EXPECT_GT(2.0 * static_cast<double>(q.integers[1]), wordMax) << "the largest uses the full word";
        }
        EXPECT_EQ(q.integers[2], std::llround(std::ldexp(-0.25, q.scaleBits)));
        EXPECT_EQ(q.realised.b1, std::ldexp(static_cast<double>(q.integers[1]), -q.scaleBits));
    }
}

TEST(FixedPoint, IntegratorStaysExactlyAtOneAfterRounding)
{
    const TwoPoleTwoZero sets[] = {
        {0.0152746145006381, 0.0000299725065647, -0.0152446419940734, 1.9730118016793023, -0.9730118016793023},
        {0.1960519178250923, 0.0172083677021715, -0.1788435501229209, 0.7779690592966855, 0.2220309407033146},
        {0.3, 0.01, -0.29, 1.3333333333333333, -0.3333333333333333},
    };
    for (const TwoPoleTwoZero& set : sets)
        for (const CoefficientFormat& format : {kQ15, kQ31, Qmn(12), Qmn(29)}) {
            const auto q = Quantise(set, format, true);
            EXPECT_EQ(q.integers[3] + q.integers[4], int64_t{1} << q.scaleBits) << qxr::FormatName(format);
            EXPECT_EQ(q.realised.a1 + q.realised.a2, 1.0);
            EXPECT_LE(std::abs(static_cast<double>(q.integers[4]) - std::ldexp(set.a2, q.scaleBits)), 1.0);
        }
}

TEST(FixedPoint, SaturationAndRoundingToZeroAreReported)
{
    // 3e-5 is below half an LSB of Q15 once A1 forces a post-shift.
    const auto q15 = Quantise({3e-5, 6e-5, 3e-5, 1.9888, -0.9889}, kQ15, false);
    EXPECT_TRUE(q15.roundedToZero[0]);
    EXPECT_EQ(q15.integers[0], 0);
    EXPECT_FALSE(q15.roundedToZero[1]) << "6e-5 rounds to one LSB";
    EXPECT_FALSE(q15.roundedToZero[3]);
    // One fraction bit cannot shift far enough for 1e12.
    const auto q1 = Quantise({1e12, 0, 0.5, 1, 0}, Qmn(1), false);
    EXPECT_TRUE(q1.saturated[0]);
    EXPECT_EQ(q1.integers[0], 2147483647);
    EXPECT_FALSE(q1.roundedToZero[1]) << "an exact zero is no loss";
    const auto asFloat = Quantise({1e300, 1e-300, 0.1, 0, 0}, {CCoefficientFormat::Float, 0}, false);
    EXPECT_TRUE(asFloat.saturated[0]);
    EXPECT_TRUE(asFloat.roundedToZero[1]);
    EXPECT_EQ(asFloat.realised.b2, static_cast<double>(0.1f));
}

// The word is used symmetrically, from -max to +max: a coefficient that
// rounds beyond either end, even to the word's most negative integer, is
// clipped and reported. A shift as large as the fraction bits leaves these
// unscaled.
TEST(FixedPoint, SaturationAtBothEndsOfTheWord)
{
    struct Case {
        CoefficientFormat format;
        double value;
        int64_t integer;
        bool saturated;
    };
    const Case cases[] = {
        {kQ15, -32767, -32767, false},
        {kQ15, -32767.4, -32767, false},
        {kQ15, -32768, -32767, true},
        {kQ15, -40000, -32767, true},
        {kQ15, 32767, 32767, false},
        {kQ15, 32768, 32767, true},
        {Qmn(1), -2147483647.0, -2147483647, false},
        {Qmn(1), -2147483648.0, -2147483647, true},
        {Qmn(1), -2147483649.0, -2147483647, true},
        {Qmn(1), 2147483647.0, 2147483647, false},
        {Qmn(1), 2147483648.0, 2147483647, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qxr::FormatName(c.format) + " " + std::to_string(c.value));
        const auto q = Quantise({c.value, 0, 0, 0, 0}, c.format, false);
        ASSERT_EQ(q.scaleBits, 0);
        EXPECT_EQ(q.integers[0], c.integer);
        EXPECT_EQ(q.saturated[0], c.saturated);
        EXPECT_EQ(q.realised.b0, static_cast<double>(c.integer));
    }
}

TEST(FixedPoint, DoubleIsKeptAsItIs)
{
    const TwoPoleTwoZero set{0.1, 0.2, 0.3, 0.4, 0.5};
    const auto q = Quantise(set, {CCoefficientFormat::Double, 0}, true);
    EXPECT_EQ(q.realised.InOutputOrder(), set.InOutputOrder());
    EXPECT_EQ(q.postShift, 0);
}

TEST(FixedPoint, FractionBitsMustBeAWholeNumberFromOneToThirtyOne)
{
    for (double bits : {1.0, 16.0, 31.0})
        EXPECT_EQ(qxr::FormatProblem(Qmn(bits)), "");
    for (double bits : {0.0, 32.0, 24.5, -1.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_NE(qxr::FormatProblem(Qmn(bits)), "") << bits;
    EXPECT_EQ(qxr::FormatProblem({CCoefficientFormat::Q15, 0}), "") << "only Qm.n reads the fraction bits";
    EXPECT_NE(qxr::FormatProblem({5, 16}), "") << "no such format";
    EXPECT_NE(qxr::FormatProblem({-1, 16}), "");
    EXPECT_EQ(qxr::FormatName(Qmn(20)), "Q20");
    EXPECT_EQ(qxr::FormatName(kQ31), "Q31");
}

}  // namespace
