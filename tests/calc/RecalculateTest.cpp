#include <vector>

#include <gtest/gtest.h>

#include "analysis/Recalculate.h"
#include "model/DesignModel.h"

namespace {

std::vector<double> CalculatedValues(const CDesignModel& model)
{
    std::vector<double> values;
    for (const CSymbol* symbol : model.symbols)
        values.push_back(symbol->calcValue);
    return values;
}

TEST(Recalculate, ModeDefaults)
{
    struct Case {
        double mode;
        double h3Vff;
        double pmILoop;
        bool pictureSymbolsInUse;
    };
    const Case cases[] = {
        {311, 1.5, 60.0, true},
        {314, 0.75, 50.0, false},
        {314.7, 0.75, 50.0, false},
        {311.9, 1.5, 60.0, true},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        model.ad.SetUser(c.mode);
        qxr::Recalculate(model);
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(model.H3__VFF.Value(), c.h3Vff);
        EXPECT_EQ(model.PM__ILOOP.Value(), c.pmILoop);
        EXPECT_FALSE(model.H3__VFF.userSet);
        EXPECT_TRUE(model.H3__VFF.inUse);
        EXPECT_TRUE(model.PM__ILOOP.inUse);
        EXPECT_TRUE(model.ad.inUse);
        EXPECT_TRUE(model.V__IN_NORM.inUse);
        EXPECT_EQ(model.dia__voltage_loop.inUse, c.pictureSymbolsInUse);
        EXPECT_EQ(model.dia__current_loop.inUse, c.pictureSymbolsInUse);
    }
}

TEST(Recalculate, SwitchingModesMovesDefaultsButKeepsUserEntries)
{
    CDesignModel model;
    model.ad.SetUser(314);
    qxr::Recalculate(model);
    EXPECT_EQ(model.H3__VFF.Value(), 0.75);
    EXPECT_EQ(model.PM__ILOOP.Value(), 50.0);

    model.ad.SetUser(311);
    qxr::Recalculate(model);
    EXPECT_EQ(model.H3__VFF.Value(), 1.5);
    EXPECT_EQ(model.PM__ILOOP.Value(), 60.0);

    model.H3__VFF.SetUser(2.0);
    model.PM__ILOOP.SetUser(45.0);
    model.ad.SetUser(314);
    qxr::Recalculate(model);
    EXPECT_EQ(model.H3__VFF.Value(), 2.0);
    EXPECT_EQ(model.PM__ILOOP.Value(), 45.0);
    EXPECT_EQ(model.H3__VFF.calcValue, 1.5) << "a user entry is not marked or recalculated";
    EXPECT_TRUE(model.H3__VFF.userSet);
}

TEST(Recalculate, UnknownModeCalculatesNothing)
{
    const double unknownModes[] = {0, 312, 313.9, -311, 1e300};
    for (double mode : unknownModes) {
        CDesignModel model;
        qxr::Recalculate(model);  // leave results of a real pass behind
        model.messages = "stale line\n";
        for (CSymbol* symbol : model.symbols)
            symbol->inUse = true;
        model.ad.SetUser(mode);
        const std::vector<double> before = CalculatedValues(model);

        qxr::Recalculate(model);
        SCOPED_TRACE(mode);
        EXPECT_TRUE(model.messages.empty());
        EXPECT_EQ(CalculatedValues(model), before);
        for (const CSymbol* symbol : model.symbols) {
            // The Mode, the nominal input and the stability-sweep settings apply whatever the
            // Mode, but for the tolerances of compensator parts and the standard series, which only
            // an analog design has, and the firmware's settings, which only a digital one has.
            const bool analogOnly = symbol == &model.TOL__R_COMP || symbol == &model.TOL__C_COMP ||
                                    symbol == &model.ser__R || symbol == &model.ser__C || symbol == &model.DEV__PAIR;
            const bool firmware = symbol == &model.disc__DIG || symbol == &model.fmt__COEF || symbol == &model.N__FRAC;
            const bool expected =
                symbol == &model.ad || symbol == &model.V__IN_NORM ||
                (symbol->index >= static_cast<int32_t>(CDesignModel::kFirstAddedSymbol) && !analogOnly && !firmware);
            EXPECT_EQ(symbol->inUse, expected) << static_cast<int>(symbol->index);
        }
    }
}

TEST(Recalculate, ReadingTheModeDoesNotDependOnItsMirrors)
{
    CDesignModel model;
    model.ad.userSet = true;  // as a file load stores it: fields only, mirrors untouched
    model.ad.userValue = 314;
    qxr::Recalculate(model);
    EXPECT_EQ(model.ad.enumUser.GetValue(), 311);
    EXPECT_EQ(model.H3__VFF.Value(), 0.75);
}

}  // namespace
