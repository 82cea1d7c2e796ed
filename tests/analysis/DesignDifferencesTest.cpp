#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/DesignDifferences.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"
#include "model/Utf.h"

namespace {

using namespace qxr;

std::set<std::string> Names(const std::vector<SymbolDifference>& differences)
{
    std::set<std::string> names;
    for (const SymbolDifference& difference : differences)
        names.insert(ToUtf8(difference.name));
    return names;
}

TEST(DesignDifferencesTest, ADesignComparedWithItselfDiffersNowhere)
{
    for (const int32_t mode : {CTop::ANALOG, CTop::DIGITAL}) {
        CDesignModel a, b;
        a.ad.SetUser(mode);
        b.ad.SetUser(mode);
        qxr::Recalculate(a);
        qxr::Recalculate(b);
        EXPECT_TRUE(DesignDifferences(a, b).empty());
    }
}

// An edit of the switching frequency moves the current loop's parts but
// leaves the voltage loop and the power rating alone.
TEST(DesignDifferencesTest, AnEditListsTheSymbolsItChangesWithTheirValuesAsShown)
{
    CDesignModel a, b;
    qxr::Recalculate(a);
    b.f__S.SetUser(2 * b.f__S.Value());
    qxr::Recalculate(b);
    const std::vector<SymbolDifference> differences = DesignDifferences(a, b);
    const std::set<std::string> names = Names(differences);
    EXPECT_TRUE(names.count("f__S"));
    EXPECT_FALSE(names.count("P__OUT"));
    EXPECT_FALSE(names.count("V__OUT"));
    for (const CSymbol* symbol : a.symbols) {
        const CSymbol& theirs = *b.FindByName(symbol->name);
        EXPECT_EQ(names.count(ToUtf8(symbol->name)) == 1, symbol->inUse && symbol->Value() != theirs.Value())
            << ToUtf8(symbol->name);
    }
    const SymbolDifference& fs = *std::find_if(differences.begin(), differences.end(),
                                               [](const SymbolDifference& d) { return d.name == u"f__S"; });
    EXPECT_DOUBLE_EQ(fs.otherValue, 2 * fs.value);
    EXPECT_DOUBLE_EQ(fs.relative, 1.0);
    EXPECT_EQ(fs.value, a.f__S.Value() / a.f__S.scale);
}

TEST(DesignDifferencesTest, ASymbolInUseInOneModeOnlyDiffersWithoutAValueInTheOther)
{
    CDesignModel analog, digital;
    qxr::Recalculate(analog);
    digital.ad.SetUser(CTop::DIGITAL);
    qxr::Recalculate(digital);
    const std::vector<SymbolDifference> differences = DesignDifferences(analog, digital);
    const auto onlyDigital = std::find_if(differences.begin(), differences.end(),
                                          [&](const SymbolDifference& d) { return d.name == u"F__SAMP_V"; });
    ASSERT_NE(onlyDigital, differences.end());
    EXPECT_TRUE(std::isnan(onlyDigital->value));
    EXPECT_FALSE(std::isnan(onlyDigital->otherValue));
    EXPECT_TRUE(std::isnan(onlyDigital->relative));
}

// The difference is relative to the size of this design's value, so its
// sign says which way the value moved, whatever the sign of the value.
TEST(DesignDifferencesTest, TheRelativeDifferenceOfANegativeValueKeepsTheDirection)
{
    struct Case {
        double value, otherValue, relative;
        const char* text;
    };
    const Case cases[] = {
        {-100, -50, 0.5, "+50 %"}, {-100, -150, -0.5, "-50 %"}, {100, -50, -1.5, "-150 %"},
        {-100, 50, 1.5, "+150 %"}, {100, 150, 0.5, "+50 %"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " to " + std::to_string(c.otherValue));
        CDesignModel a, b;
        a.P__OUT.SetUser(c.value);
        b.P__OUT.SetUser(c.otherValue);
        qxr::Recalculate(a);
        qxr::Recalculate(b);
        const std::vector<SymbolDifference> differences = DesignDifferences(a, b);
        const auto power = std::find_if(differences.begin(), differences.end(),
                                        [](const SymbolDifference& d) { return d.name == u"P__OUT"; });
        ASSERT_NE(power, differences.end());
        EXPECT_EQ(power->value, c.value);
        EXPECT_EQ(power->otherValue, c.otherValue);
        EXPECT_DOUBLE_EQ(power->relative, c.relative);
        EXPECT_EQ(FormatRelativeDifference(power->relative), c.text);
    }
}

}  // namespace
