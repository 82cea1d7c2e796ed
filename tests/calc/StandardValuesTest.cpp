#include <cmath>
#include <cstddef>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc/StandardValues.h"
#include "model/Enumerations.h"

namespace {

using namespace qxr;

const int32_t kSeries[] = {CSeries::E6, CSeries::E12, CSeries::E24, CSeries::E48, CSeries::E96, CSeries::E192};

// Every value of a series from 1 pF (capacitors) up to 10 MΩ (resistors),
// with a decade of margin on either side.
std::vector<double> AllValues(int32_t series)
{
    const std::vector<int>& digits = SeriesDigits(series);
    const int shift = digits.front() >= 100 ? 2 : 1;
    std::vector<double> values;
    for (int decade = -13; decade <= 8; ++decade) {
        for (int d : digits)
            values.push_back(StandardValue(d, decade - shift));
    }
    return values;
}

// The plain search the fast one must agree with: smallest log distance, a tie to the larger value.
double BruteForceNearest(double x, const std::vector<double>& values)
{
    double best = values.front();
    for (double v : values) {
        const double d = std::fabs(std::log(x) - std::log(v));
        const double bestD = std::fabs(std::log(x) - std::log(best));
        if (d < bestD || (d == bestD && v > best))
            best = v;
    }
    return best;
}

TEST(StandardValues, SeriesHoldTheirCountAscendingAndNestInEachOther)
{
    for (int32_t series : kSeries) {
        const std::vector<int>& digits = SeriesDigits(series);
        SCOPED_TRACE(series);
        ASSERT_EQ(digits.size(), static_cast<std::size_t>(series));
        for (std::size_t k = 1; k < digits.size(); ++k)
            EXPECT_LT(digits[k - 1], digits[k]);
        EXPECT_TRUE(digits.front() == 10 || digits.front() == 100);
    }
    // Each series below E192 is every other value of the next; E24 to E48 change their digits.
    for (auto [coarse, fine] : {std::pair{CSeries::E6, CSeries::E12},
                                {CSeries::E12, CSeries::E24},
                                {CSeries::E48, CSeries::E96},
                                {CSeries::E96, CSeries::E192}}) {
        for (std::size_t k = 0; k < SeriesDigits(coarse).size(); ++k)
            EXPECT_EQ(SeriesDigits(coarse)[k], SeriesDigits(fine)[2 * k]) << "E" << coarse << " in E" << fine;
    }
    EXPECT_TRUE(SeriesDigits(CSeries::None).empty());
}

TEST(StandardValues, NearestMatchesABruteForceSearchAndIsAlwaysInTheTable)
{
    std::mt19937_64 engine(20261210);
    std::uniform_real_distribution<double> exponent(-12.5, 7.5);
    for (int32_t series : kSeries) {
        SCOPED_TRACE(series);
        const std::vector<double> values = AllValues(series);
        for (int i = 0; i < 10000; ++i) {
            const double x = std::pow(10.0, exponent(engine));
            const double nearest = NearestStandardValue(x, series);
            ASSERT_EQ(nearest, BruteForceNearest(x, values)) << x;
        }
    }
}

// Each value of every decade from 1 pF to 10 MΩ rounds to itself, and so do
// values a little either side of it.
TEST(StandardValues, EveryTableValueOfEveryDecadeIsItsOwnNearest)
{
    for (int32_t series : kSeries) {
        for (double v : AllValues(series)) {
            if (v < 1e-12 || v > 1e7 * 1.0000001)
                continue;
            ASSERT_EQ(NearestStandardValue(v, series), v) << "E" << series << " " << v;
            ASSERT_EQ(NearestStandardValue(v * (1 + 1e-9), series), v);
            ASSERT_EQ(NearestStandardValue(v * (1 - 1e-9), series), v);
        }
    }
}

// A double next to the geometric mean of a and b whose log distances to both
// are equal as computed; 0 when none within a few steps is (the cases are
// pairs that have one).
double LogMidpoint(double a, double b)
{
    double x = std::sqrt(a * b);
    for (int step = 0; step < 8; ++step)
        x = std::nextafter(x, 0.0);
    for (int step = 0; step < 16; ++step, x = std::nextafter(x, b)) {
        if (std::fabs(std::log(x) - std::log(a)) == std::fabs(std::log(x) - std::log(b)))
            return x;
    }
    return 0;
}

// Halfway between two neighbours on the log scale a value goes to the larger;
// a little either side of halfway it goes to the nearer.
TEST(StandardValues, ATieOnTheLogScaleGoesUp)
{
    struct Case {
        int32_t series;
        double low, high;
    };
    const Case cases[] = {
        {CSeries::E6, 0.68, 1},     {CSeries::E6, 1500, 2200},      {CSeries::E12, 8.2, 10},
        {CSeries::E24, 13e3, 15e3}, {CSeries::E96, 402e-6, 412e-6}, {CSeries::E192, 9.88e6, 10e6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("E" + std::to_string(c.series) + " " + std::to_string(c.low) + " " + std::to_string(c.high));
        const double halfway = LogMidpoint(c.low, c.high);
        ASSERT_GT(halfway, 0) << "no tie as computed near the geometric mean";
        EXPECT_EQ(NearestStandardValue(halfway, c.series), c.high);
        EXPECT_EQ(NearestStandardValue(halfway * (1 - 1e-12), c.series), c.low);
        EXPECT_EQ(NearestStandardValue(halfway * (1 + 1e-12), c.series), c.high);
    }
}

TEST(StandardValues, ValuesWithoutAStandardValue)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (double x : {0.0, -0.0, -4700.0, kNaN, kInf, -kInf}) {
        EXPECT_TRUE(std::isnan(NearestStandardValue(x, CSeries::E96))) << x;
        EXPECT_EQ(BestStandardPair(x, CSeries::E12).first, 0) << x;
    }
    EXPECT_TRUE(std::isnan(NearestStandardValue(4101, CSeries::None)));
    EXPECT_TRUE(std::isnan(NearestStandardValue(4101, 7)));
    // At the ends of the double range a result is a number of the table or none.
    for (double x : {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                     std::numeric_limits<double>::max()}) {
        const double nearest = NearestStandardValue(x, CSeries::E6);
        EXPECT_TRUE(std::isnan(nearest) || (nearest > 0 && std::isfinite(nearest))) << x;
    }
}

TEST(StandardValues, TheProposalsOfTheDefaultDesign)
{
    EXPECT_EQ(NearestStandardValue(4101, CSeries::E96), 4120);
    EXPECT_EQ(NearestStandardValue(837.23e-9, CSeries::E12), 820e-9);
    EXPECT_EQ(NearestStandardValue(837.23e-9, CSeries::E24), 820e-9);
    EXPECT_EQ(NearestStandardValue(837.23e-9, CSeries::E192), 835e-9);
    EXPECT_EQ(NearestStandardValue(9.6e3, CSeries::E6), 10e3);  // over the end of a decade
    EXPECT_NEAR(DeviationPercent(4120, 4101), 0.4633, 1e-4);
}

// Two values in series or in parallel, each either way round: the sum of two
// below the target, or the reciprocal sum of two above it.
TEST(StandardValues, BestPairMatchesABruteForceSearchOverAllPairs)
{
    std::mt19937_64 engine(7);
    std::uniform_real_distribution<double> exponent(-6.0, 2.0);
    for (int32_t series : {CSeries::E6, CSeries::E12, CSeries::E24}) {
        const std::vector<double> values = AllValues(series);
        for (int i = 0; i < 100; ++i) {
            const double x = std::pow(10.0, exponent(engine));
            double bestDistance = std::numeric_limits<double>::infinity();
            for (double a : values) {
                for (double b : values) {
                    if (a < x && b <= a)
                        bestDistance = std::fmin(bestDistance, std::fabs(std::log(x) - std::log(a + b)));
                    if (a > x && b >= a)
                        bestDistance = std::fmin(bestDistance, std::fabs(std::log(x) - std::log(a * b / (a + b))));
                }
            }
            const StandardPair pair = BestStandardPair(x, series);
            ASSERT_GT(pair.second, 0);
            EXPECT_GE(pair.first, pair.second);
            const double combined = pair.combination == StandardPair::Combination::Sum
                                        ? pair.first + pair.second
                                        : pair.first * pair.second / (pair.first + pair.second);
            EXPECT_EQ(pair.value, combined);
            EXPECT_EQ(std::fabs(std::log(x) - std::log(pair.value)), bestDistance) << "E" << series << " " << x;
        }
    }
}

}  // namespace
