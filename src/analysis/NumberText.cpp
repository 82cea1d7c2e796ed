#include "analysis/NumberText.h"

#include <cmath>
#include <cstdio>

namespace qxr {

std::string FormatDouble(double x, int significantDigits)
{
    if (std::isnan(x))
        return "nan";
    if (std::isinf(x))
        return x > 0 ? "inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", significantDigits, x);
    return text;
}

std::string FormatFigure(double value, const std::string& unit)
{
    return std::isnan(value) ? "n/a" : FormatDouble(value, 6) + " " + unit;
}

}  // namespace qxr
