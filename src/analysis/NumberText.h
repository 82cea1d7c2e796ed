#pragma once

#include <string>

namespace qxr {

// x with the given number of significant digits ("%.*g"); 17 digits read
// back as the same double. Non-finite values are "nan", "inf" and "-inf",
// whatever the sign bit of a NaN.
std::string FormatDouble(double x, int significantDigits);

// A measured figure with its unit as the readable outputs show it: six
// significant digits, or "n/a" for a figure that could not be measured (NaN).
std::string FormatFigure(double value, const std::string& unit);

// value with an engineering prefix before its base unit and the given number
// of significant digits, trailing zeros dropped: "4.12 kΩ", "820 nF", "1 MΩ".
// Prefixes run from p to G; beyond them the exponent stays in the number.
// Non-finite values as FormatDouble, followed by the unit.
std::string FormatEngineering(double value, const std::string& baseUnit, int significantDigits);

}  // namespace qxr
