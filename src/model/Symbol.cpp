#include "model/Symbol.h"

#include <limits>

int32_t TruncToInt32(double x)
{
    // Both bounds are exact doubles; everything strictly between them truncates into range.
    constexpr double kBelowMin = -2147483649.0;
    constexpr double kAboveMax = 2147483648.0;
    if (!(x > kBelowMin && x < kAboveMax))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(x);
}

void CSymbol::SetCalc(double x)
{
    if (!userSet)
        userValue = x;
    calcValue = x;
}

void CSymbol::SetUser(double x)
{
    userValue = x;
    userSet = true;
}

void CSymbol::RevertToCalc()
{
    userSet = false;
    userValue = calcValue;
}

void CSymbol::Restore(bool isUserSet, double user, double calc)
{
    // While the entry is set, SetCalc leaves the user value alone and refreshes the mirrors.
    userSet = true;
    userValue = user;
    SetCalc(calc);
    userSet = isUserSet;
}

bool CSymbol::IsOutsideLimits() const
{
    if (limitMin == 0.0 && limitMax == 0.0)
        return false;
    const double value = Value();
    return limitMin > value || value > limitMax;
}
