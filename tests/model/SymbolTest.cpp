#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "model/Symbol.h"

namespace {

TEST(Symbol, CalculationNeverReplacesAUserEntry)
{
    CSymbol symbol;
    symbol.SetUser(7.0);
    symbol.SetCalc(5.0);
    EXPECT_EQ(symbol.Value(), 7.0);
    EXPECT_EQ(symbol.calcValue, 5.0);
    EXPECT_EQ(symbol.userValue, 7.0);

    symbol.RevertToCalc();
    EXPECT_FALSE(symbol.userSet);
    EXPECT_EQ(symbol.Value(), 5.0);
    EXPECT_EQ(symbol.userValue, 5.0);
}

TEST(Symbol, CalculationWithoutUserEntryChangesBothValues)
{
    CSymbol symbol;
    symbol.SetCalc(3.5);
    EXPECT_EQ(symbol.userValue, 3.5);
    EXPECT_EQ(symbol.calcValue, 3.5);
    EXPECT_FALSE(symbol.userSet);
    EXPECT_EQ(symbol.GetEnum(), nullptr);
}

TEST(Symbol, UserEntryLeavesCalculatedValueAlone)
{
    CSymbol symbol;
    symbol.SetCalc(2.0);
    symbol.SetUser(9.0);
    EXPECT_TRUE(symbol.userSet);
    EXPECT_EQ(symbol.calcValue, 2.0);
    EXPECT_EQ(symbol.Value(), 9.0);
}

TEST(Symbol, RecommendedRangeBoundsAreInside)
{
    struct Case {
        double min, max, value;
        bool outside;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {40, 75, 40, false},    {40, 75, 75, false},   {40, 75, 39.999, true},
        {40, 75, 75.001, true}, {0, 0, -1e300, false}, {0, 0, 1e300, false},
        {40, 75, nan, false},   {0, 5, -0.1, true},    {-3, 0, 0.1, true},
    };
    for (const Case& c : cases) {
        CSymbol symbol;
        symbol.limitMin = c.min;
        symbol.limitMax = c.max;
        symbol.SetCalc(c.value);
        EXPECT_EQ(symbol.IsOutsideLimits(), c.outside) << c.min << ".." << c.max << " value " << c.value;
    }
}

TEST(Symbol, RangeIsJudgedOnTheValueInForce)
{
    CSymbol symbol;
    symbol.limitMin = 2;
    symbol.limitMax = 15;
    symbol.SetCalc(7);
    symbol.SetUser(20);
    EXPECT_TRUE(symbol.IsOutsideLimits());
}

TEST(SymbolEnum, MirrorsTruncateTowardZero)
{
    CSymbolEnum<CTop> mode;
    mode.SetCalc(311);
    mode.SetUser(314.9);
    EXPECT_EQ(mode.userValue, 314.9);
    EXPECT_EQ(mode.enumUser.GetValue(), 314);
    EXPECT_EQ(mode.enumCalc.GetValue(), 311);
    EXPECT_EQ(mode.GetEnum(), &mode.enumUser);
    EXPECT_EQ(mode.GetEnum()->CurrentName(), u"DIGITAL");

    mode.SetCalc(-311.7);  // user entry in force: only the calculated mirror follows
    EXPECT_EQ(mode.enumUser.GetValue(), 314);
    EXPECT_EQ(mode.enumCalc.GetValue(), -311);
}

TEST(SymbolEnum, CalculationWithoutUserEntryMovesBothMirrors)
{
    CSymbolEnum<CTop> mode;
    mode.SetCalc(314.2);
    EXPECT_EQ(mode.enumUser.GetValue(), 314);
    EXPECT_EQ(mode.enumCalc.GetValue(), 314);
    EXPECT_EQ(mode.userValue, 314.2);
}

TEST(SymbolEnum, UnrepresentableValuesDoNotTrapTheTruncation)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, 2147483648.0};
    for (double value : values) {
        CSymbolEnum<CTop> mode;
        mode.SetUser(value);
        mode.SetCalc(value);
        EXPECT_EQ(mode.enumUser.GetValue(), std::numeric_limits<int32_t>::min()) << value;
    }
    EXPECT_EQ(TruncToInt32(2147483647.9), 2147483647);
    EXPECT_EQ(TruncToInt32(-2147483648.9), -2147483647 - 1);
}

}  // namespace
