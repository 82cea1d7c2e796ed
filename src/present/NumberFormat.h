#pragma once

#include <string>

// Numbers as the pages and the printed report show them: printf's fixed and
// general notations, but an exact tie rounds away from zero (0.125 to two
// decimals is 0.13, 2.5 to none is 3), a zero has no sign, and a NaN of
// either sign is "nan". The screens have always rounded so.
namespace qxr {

std::string FormatFixed(double value, int decimals);           // "%.*f"
std::string FormatSignificant(double value, int significant);  // "%.*g"

}  // namespace qxr
