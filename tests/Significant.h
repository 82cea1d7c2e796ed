#pragma once

#include <cmath>
#include <iomanip>

#include <gtest/gtest.h>

// True when actual rounds to expected at the given number of significant digits.
inline ::testing::AssertionResult MatchesSignificant(double actual, double expected, int digits = 6)
{
    const double halfUnit = 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(expected))) - (digits - 1));
    if (std::fabs(actual - expected) <= halfUnit * (1 + 1e-9))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::setprecision(12) << actual << " is not " << expected << " to "
                                         << digits << " significant digits";
}
