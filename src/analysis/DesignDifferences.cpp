#include "analysis/DesignDifferences.h"

#include <cmath>
#include <limits>

#include "analysis/NumberText.h"

namespace qxr {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double ShownValue(const CSymbol& symbol)
{
    return symbol.inUse ? symbol.Value() / symbol.scale : kNaN;
}

bool Differ(const CSymbol& symbol, const CSymbol& other)
{
    if (symbol.inUse != other.inUse)
        return true;
    // A figure neither design could find is no difference.
    const double a = symbol.Value();
    const double b = other.Value();
    return symbol.inUse && a != b && !(std::isnan(a) && std::isnan(b));
}

}  // namespace

std::vector<SymbolDifference> DesignDifferences(const CDesignModel& design, const CDesignModel& other)
{
    std::vector<SymbolDifference> differences;
    // Both models hold the same catalogue, so a symbol sits at the same place in each.
    for (std::size_t k = 0; k < design.symbols.size(); ++k) {
        const CSymbol& symbol = *design.symbols[k];
        const CSymbol& theirs = *other.symbols[k];
        if (!Differ(symbol, theirs))
            continue;
        const double value = ShownValue(symbol);
        const double otherValue = ShownValue(theirs);
        const double relative = value != 0 ? (otherValue - value) / std::fabs(value) : kNaN;
        differences.push_back({symbol.name, symbol.description, symbol.unit, value, otherValue, relative});
    }
    return differences;
}

std::string FormatRelativeDifference(double relative)
{
    if (std::isnan(relative))
        return "n/a";
    return (relative > 0 ? "+" : "") + FormatDouble(100 * relative, 3) + " %";
}

}  // namespace qxr
