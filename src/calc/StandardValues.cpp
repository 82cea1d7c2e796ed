#include "calc/StandardValues.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "model/Enumerations.h"

namespace qxr {

namespace {

// Typed in from the standard's tables; E96 is every other value of E192 and
// E48 every other of E96, but E192 is not the rounded formula (920, not 919),
// so every series is listed.
const std::vector<int> kE6{10, 15, 22, 33, 47, 68};
const std::vector<int> kE12{10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};
const std::vector<int> kE24{10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                            33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
const std::vector<int> kE48{100, 105, 110, 115, 121, 127, 133, 140, 147, 154, 162, 169, 178, 187, 196, 205,
                            215, 226, 237, 249, 261, 274, 287, 301, 316, 332, 348, 365, 383, 402, 422, 442,
                            464, 487, 511, 536, 562, 590, 619, 649, 681, 715, 750, 787, 825, 866, 909, 953};
const std::vector<int> kE96{100, 102, 105, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 137, 140, 143,
                            147, 150, 154, 158, 162, 165, 169, 174, 178, 182, 187, 191, 196, 200, 205, 210,
                            215, 221, 226, 232, 237, 243, 249, 255, 261, 267, 274, 280, 287, 294, 301, 309,
                            316, 324, 332, 340, 348, 357, 365, 374, 383, 392, 402, 412, 422, 432, 442, 453,
                            464, 475, 487, 499, 511, 523, 536, 549, 562, 576, 590, 604, 619, 634, 649, 665,
                            681, 698, 715, 732, 750, 768, 787, 806, 825, 845, 866, 887, 909, 931, 953, 976};
const std::vector<int> kE192{
    100, 101, 102, 104, 105, 106, 107, 109, 110, 111, 113, 114, 115, 117, 118, 120, 121, 123, 124, 126, 127, 129,
    130, 132, 133, 135, 137, 138, 140, 142, 143, 145, 147, 149, 150, 152, 154, 156, 158, 160, 162, 164, 165, 167,
    169, 172, 174, 176, 178, 180, 182, 184, 187, 189, 191, 193, 196, 198, 200, 203, 205, 208, 210, 213, 215, 218,
    221, 223, 226, 229, 232, 234, 237, 240, 243, 246, 249, 252, 255, 258, 261, 264, 267, 271, 274, 277, 280, 284,
    287, 291, 294, 298, 301, 305, 309, 312, 316, 320, 324, 328, 332, 336, 340, 344, 348, 352, 357, 361, 365, 370,
    374, 379, 383, 388, 392, 397, 402, 407, 412, 417, 422, 427, 432, 437, 442, 448, 453, 459, 464, 470, 475, 481,
    487, 493, 499, 505, 511, 517, 523, 530, 536, 542, 549, 556, 562, 569, 576, 583, 590, 597, 604, 612, 619, 626,
    634, 642, 649, 657, 665, 673, 681, 690, 698, 706, 715, 723, 732, 741, 750, 759, 768, 777, 787, 796, 806, 816,
    825, 835, 845, 856, 866, 876, 887, 898, 909, 920, 931, 942, 953, 965, 976, 988};
const std::vector<int> kNoSeries;

// The power of ten of a series' first digits: 10 or 100.
int DigitsShift(const std::vector<int>& digits)
{
    return digits.front() >= 100 ? 2 : 1;
}

double LogDistance(double x, double v)
{
    return std::fabs(std::log(x) - std::log(v));
}

// The nearer of two candidates; a tie goes to the larger.
double Nearer(double x, double a, double b)
{
    const double da = LogDistance(x, a);
    const double db = LogDistance(x, b);
    if (da == db)
        return std::max(a, b);
    return da < db ? a : b;
}

bool Usable(double x, int32_t series)
{
    return std::isfinite(x) && x > 0 && !SeriesDigits(series).empty();
}

// Every standard value from low to high, with one more on either side.
std::vector<double> ValuesAround(double low, double high, const std::vector<int>& digits)
{
    const int shift = DigitsShift(digits);
    std::vector<double> values;
    for (int decade = static_cast<int>(std::floor(std::log10(low))) - 1;
         decade <= static_cast<int>(std::floor(std::log10(high))) + 1; ++decade) {
        for (int d : digits)
            values.push_back(StandardValue(d, decade - shift));
    }
    return values;
}

// The standard values next to x: low <= x < high.
std::pair<double, double> Bracket(double x, const std::vector<int>& digits)
{
    const int shift = DigitsShift(digits);
    // The decade whose first value is at or below x; log10 may be off by one near a power of ten.
    int exponent = static_cast<int>(std::floor(std::log10(x))) - shift;
    if (StandardValue(digits.front(), exponent) > x)
        --exponent;
    else if (StandardValue(digits.front(), exponent + 1) <= x)
        ++exponent;
    const auto above = std::upper_bound(digits.begin(), digits.end(), x,
                                        [exponent](double value, int d) { return value < StandardValue(d, exponent); });
    const double low = StandardValue(*(above - 1), exponent);
    const double high =
        above == digits.end() ? StandardValue(digits.front(), exponent + 1) : StandardValue(*above, exponent);
    return {low, high};
}

}  // namespace

const std::vector<int>& SeriesDigits(int32_t series)
{
    switch (series) {
    case CSeries::E6:
        return kE6;
    case CSeries::E12:
        return kE12;
    case CSeries::E24:
        return kE24;
    case CSeries::E48:
        return kE48;
    case CSeries::E96:
        return kE96;
    case CSeries::E192:
        return kE192;
    default:
        return kNoSeries;
    }
}

double StandardValue(int digits, int exponent)
{
    // Powers of ten up to 1e22 are exact doubles, so one rounding remains.
    return exponent >= 0 ? digits * std::pow(10.0, exponent) : digits / std::pow(10.0, -exponent);
}

double NearestStandardValue(double x, int32_t series)
{
    if (!Usable(x, series))
        return std::numeric_limits<double>::quiet_NaN();
    const auto [low, high] = Bracket(x, SeriesDigits(series));
    const double nearest = Nearer(x, low, high);
    // At the ends of the double range a power of ten is no longer a number.
    return nearest > 0 && std::isfinite(nearest) ? nearest : std::numeric_limits<double>::quiet_NaN();
}

double DeviationPercent(double value, double target)
{
    return (value - target) / target * 100;
}

StandardPair BestStandardPair(double x, int32_t series)
{
    StandardPair best;
    if (!Usable(x, series))
        return best;
    const std::vector<int>& digits = SeriesDigits(series);
    double bestDistance = std::numeric_limits<double>::infinity();
    const auto consider = [&](StandardPair::Combination combination, double a, double b) {
        const double value = combination == StandardPair::Combination::Sum ? a + b : a * b / (a + b);
        const double distance = LogDistance(x, value);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = {combination, std::max(a, b), std::min(a, b), value};
        }
    };
    // For a given a, the best b is one of the two standard values around the
    // exact complement; the larger part of the best pair lies near x / 2 to 2 x.
    for (double a : ValuesAround(x / 2, 2 * x, digits)) {
        const bool sum = a < x;
        if (a == x)
            continue;
        const double complement = sum ? x - a : 1 / (1 / x - 1 / a);
        const auto combination = sum ? StandardPair::Combination::Sum : StandardPair::Combination::ReciprocalSum;
        const auto [low, high] = Bracket(complement, digits);
        consider(combination, a, low);
        consider(combination, a, high);
    }
    return best;
}

}  // namespace qxr
