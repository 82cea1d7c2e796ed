#pragma once

#include <string>

#include "model/Symbol.h"

// A symbol's value as the pages and the report show it (UTF-8).
namespace qxr {

// value / scale in fixed notation with the given decimals.
std::string FormatValue(const CSymbol& symbol, double value, int precision);
// The enumeration member's name for an enumeration, else FormatValue.
std::string ShownText(CSymbol& symbol, double value, int precision);

}  // namespace qxr
