#pragma once

#include <cstdint>
#include <vector>

// The standard value series of resistors and capacitors (IEC 60063) and the
// rounding of a calculated value to them. Series are named by their number of
// values per decade, a CSeries value; 0 is no series.
namespace qxr {

// The significant digits of a series' values in one decade, ascending: two
// digits (10..91) for E6 to E24, three (100..988) for E48 to E192. Empty for
// a number that names no series.
const std::vector<int>& SeriesDigits(int32_t series);

// The standard value with the given digits times 10^exponent, as the double
// nearest to that decimal number.
double StandardValue(int digits, int exponent);

// The value of the series nearest to x on a logarithmic scale (a tie goes to
// the larger one); NaN for a value that is not finite and positive, or no series.
double NearestStandardValue(double x, int32_t series);

// (value - target) / target in %.
double DeviationPercent(double value, double target);

// Two standard values that together come nearest to a target: added (a + b,
// resistors in series, capacitors in parallel) or by their reciprocals
// (a b / (a + b), resistors in parallel, capacitors in series).
struct StandardPair {
    enum class Combination { Sum, ReciprocalSum };
    Combination combination = Combination::Sum;
    double first = 0, second = 0;  // first >= second
    double value = 0;              // what the two give together
};

// The best pair for x, by the same measure as NearestStandardValue; none
// (first == 0) where NearestStandardValue has none.
StandardPair BestStandardPair(double x, int32_t series);

}  // namespace qxr
