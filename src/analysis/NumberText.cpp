#include "analysis/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qxr {

std::string FormatDouble(double x, int significantDigits)
{
    if (std::isnan(x))
        return "nan";
    if (std::isinf(x))
        return x > 0 ? "inf" : "-inf";
    // The same text as "%.*g" in the C locale, whatever the locale, and several
    // times faster: the samples CSV of a large sweep is mostly these numbers.
    char text[32];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, x, std::chars_format::general, significantDigits);
    return {text, end.ptr};
}

std::string FormatEngineering(double value, const std::string& baseUnit, int significantDigits)
{
    if (!std::isfinite(value) || value == 0)
        return FormatDouble(value, significantDigits) + " " + baseUnit;
    // Round first, so that 999.96 with three digits takes the next prefix as "1 k".
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.*e", significantDigits - 1, value);
    const double x = std::strtod(rounded, nullptr);
    static const char* const kPrefixes[] = {"p", "n", "µ", "m", "", "k", "M", "G"};
    constexpr int kLowestPower = -12;
    int power = static_cast<int>(std::floor(std::log10(std::fabs(x)) / 3)) * 3;
    // log10 may land on the wrong side of a power of ten.
    if (std::fabs(x) / std::pow(10.0, power) >= 1000)
        power += 3;
    else if (std::fabs(x) / std::pow(10.0, power) < 1)
        power -= 3;
    if (power < kLowestPower || power > 9)
        return FormatDouble(x, significantDigits) + " " + baseUnit;
    return FormatDouble(x / std::pow(10.0, power), significantDigits) + " " + kPrefixes[(power - kLowestPower) / 3] +
           baseUnit;
}

std::string FormatFigure(double value, const std::string& unit)
{
    return std::isnan(value) ? "n/a" : FormatDouble(value, 6) + " " + unit;
}

}  // namespace qxr
