#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "present/NumberFormat.h"

namespace {

using qxr::FormatFixed;
using qxr::FormatSignificant;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NumberFormat, ExactTiesRoundAwayFromZero)
{
    struct Case {
        double value;
        int digits;
        const char* fixed;
    };
    const Case cases[] = {
        {0.5, 0, "1"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {-0.5, 0, "-1"},
        {0.125, 2, "0.13"},
        {-0.125, 2, "-0.13"},
        {-282.578125, 5, "-282.57813"},
        {99.5, 0, "100"},
        {0.375, 2, "0.38"},
        {1.5, 0, "2"},
        {53893.25, 1, "53893.3"},
        {9.5, 0, "10"},
        // Not ties: the nearest double lies off the halfway point.
        {0.045, 2, "0.04"},
        {1.005, 2, "1.00"},
        {2.675, 2, "2.67"},
        {0.95, 1, "0.9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.digits), c.fixed) << c.value;
    EXPECT_EQ(FormatSignificant(1.125, 3), "1.13");
    EXPECT_EQ(FormatSignificant(0.0625, 2), "0.063");
    EXPECT_EQ(FormatSignificant(1250, 2), "1.3e+03");
    EXPECT_EQ(FormatSignificant(9.5, 1), "1e+01");
    EXPECT_EQ(FormatSignificant(13800, 3), "1.38e+04");
}

TEST(NumberFormat, SignsAndSpecialValues)
{
    EXPECT_EQ(FormatFixed(-0.0, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.001, 2), "-0.00");
    EXPECT_EQ(FormatFixed(kNaN, 1), "nan");
    EXPECT_EQ(FormatFixed(-kNaN, 1), "nan");
    EXPECT_EQ(FormatFixed(kInf, 1), "inf");
    EXPECT_EQ(FormatFixed(-kInf, 0), "-inf");
    EXPECT_EQ(FormatSignificant(-0.0, 3), "0");
    EXPECT_EQ(FormatFixed(1e300, 1).size(), 303u);
    EXPECT_EQ(FormatFixed(5e-324, 3), "0.000");
}

// n / 2^k to d decimals, rounded half away from zero, in integers alone.
std::string ExactlyRounded(int64_t n, int k, int d)
{
    const bool negative = n < 0;
    int64_t scaled = (negative ? -n : n);
    for (int i = 0; i < d; ++i)
        scaled *= 10;
    const int64_t unit = int64_t{1} << k;
    int64_t rounded = scaled / unit;
    if (2 * (scaled % unit) >= unit)
        ++rounded;
    std::string digits = std::to_string(rounded);
    if (d > 0) {
        digits.insert(0,
                      std::string(static_cast<std::size_t>(std::max(0, d + 1 - static_cast<int>(digits.size()))), '0'));
        digits.insert(digits.size() - static_cast<std::size_t>(d), ".");
    }
    return (negative ? "-" : "") + digits;
}

TEST(NumberFormat, DyadicValuesAgainstIntegerRounding)
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 50000; ++i) {
        const auto n = static_cast<int64_t>(random() % 2000001) - 1000000;
        const int k = static_cast<int>(random() % 12);
        const int d = static_cast<int>(random() % 7);
        if (n == 0)
            continue;
        const double value = std::ldexp(static_cast<double>(n), -k);
        ASSERT_EQ(FormatFixed(value, d), ExactlyRounded(n, k, d)) << n << " / 2^" << k << " to " << d;
    }
}

}  // namespace
