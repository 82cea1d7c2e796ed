#pragma once

#include <string>
#include <vector>

#include "model/DesignModel.h"

// What differs between two calculated designs, symbol by symbol.
namespace qxr {

struct SymbolDifference {
    std::u16string name;
    std::u16string description;
    std::u16string unit;
    // Values as the pages show them (divided by the symbol's scale); NaN
    // where the symbol is not in use in that design.
    double value;
    double otherValue;
    // (other - this) / |this|; NaN when either is not in use or this is 0.
    double relative;
};

// Every symbol in use in either design whose value in force differs, in
// catalogue order. A symbol in use in only one of them differs too.
std::vector<SymbolDifference> DesignDifferences(const CDesignModel& design, const CDesignModel& other);

// A relative difference in percent with its sign, three significant digits
// ("+53.8 %"), or "n/a".
std::string FormatRelativeDifference(double relative);

}  // namespace qxr
