#include <set>
#include <string>

#include <gtest/gtest.h>

#include "Significant.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"

namespace {

void RecalculateDigital(CDesignModel& model)
{
    model.ad.SetUser(314);
    qxr::Recalculate(model);
}

TEST(DigitalDesign, DefaultDesignValues)
{
    CDesignModel model;
    RecalculateDigital(model);
    EXPECT_EQ(model.H3__VFF.Value(), 0.75);
    EXPECT_TRUE(MatchesSignificant(model.DeltaV__AOUT.Value(), 60.1041));
    EXPECT_TRUE(MatchesSignificant(model.V__FF_GAIN.Value(), 0.0113293));
    EXPECT_TRUE(MatchesSignificant(model.V__FF_CO.Value(), 10.6142));
    EXPECT_TRUE(MatchesSignificant(model.B0_VFF.Value(), 3.07148e-05));
    EXPECT_TRUE(MatchesSignificant(model.B1_VFF.Value(), 6.14296e-05));
    EXPECT_TRUE(MatchesSignificant(model.B2_VFF.Value(), 3.07148e-05));
    EXPECT_TRUE(MatchesSignificant(model.A1_VFF.Value(), 1.98882));
    EXPECT_TRUE(MatchesSignificant(model.A2_VFF.Value(), -0.988947));
    EXPECT_EQ(model.F__SAMP.Value(), 200000);
    EXPECT_EQ(model.V__RAMP.Value(), 1.0);
    EXPECT_EQ(model.messages, "");
}

TEST(DigitalDesign, MarksExactlyTheSymbolsItUses)
{
    // clang-format off
    const std::set<std::u16string> inUse = {
        u"V__IN_NORM", u"V__IN_MIN",  u"V__IN_MAX",  u"f__LINE",     u"P__OUT",       u"f__S",
        u"V__OUT",     u"t__H",       u"V__OUT_MIN", u"D__MAX",      u"PERC_I__L_RIPPLE",
        u"I__L_RIPPLE_PK_PK",         u"L__MIN",     u"C__OUT",      u"V__RIPPLE_PK_PK",
        u"V__RIPPLE_PK", u"I__COUT_PK", u"I__IN_PEAK", u"V__RSENSE", u"R__SENSE",     u"H3__VFF",
        u"V__FF_GAIN", u"V__FF_CO",   u"B0_VFF",     u"B1_VFF",      u"B2_VFF",       u"A1_VFF",
        u"A2_VFF",     u"B0_V",       u"B1_V",       u"B2_V",        u"A1_V",         u"A2_V",
        u"B0_I",       u"B1_I",       u"B2_I",       u"A1_I",        u"A2_I",         u"DeltaV__AOUT",
        u"F__X_VLOOP", u"PM__VLOOP",  u"H2__ON_VOUT", u"H3__LINE_IN", u"F__SAMP_V",   u"F__X_ILOOP",
        u"PM__ILOOP",  u"V__RAMP",    u"T__D",       u"F__SAMP",     u"v_fcp0",       u"v_fcp1",
        u"v_fcz1",     u"i_fcp0",     u"i_fcp1",     u"i_fcz1",      u"E__ff",        u"ad",
        u"P__LOAD_MIN", u"TOL__L_MIN", u"TOL__C_OUT", u"TOL__R_SENSE", u"TOL__GAIN",  u"dist__MC",
        u"N__MC",      u"SEED__MC",   u"PM__MIN",    u"GM__MIN",
        u"disc__DIG",  u"fmt__COEF",  u"N__FRAC",
        u"load__TD",   u"cls__IEC",   u"P__STEP_FROM", u"P__STEP_TO", u"t__SETTLE_MAX",
        u"F__MAP_VLO", u"F__MAP_VHI", u"F__MAP_ILO", u"F__MAP_IHI", u"PM__MAP_LO", u"PM__MAP_HI",
        u"N__MAP_FX",  u"N__MAP_PM",  u"PM__WORST_MIN", u"M__S_MAX", u"H3__MAX", u"V__STEP_MIN",
    };
    // clang-format on
    CDesignModel model;
    RecalculateDigital(model);
    for (const CSymbol* symbol : model.symbols)
        EXPECT_EQ(symbol->inUse, inUse.count(symbol->name) == 1) << symbol->index;
}

TEST(DigitalDesign, AnalogOnlyResultsKeepTheirValues)
{
    CDesignModel model;
    qxr::Recalculate(model);
    const double analogRf = model.R__F.Value();
    const double analogRshunt = model.R__SHUNT.Value();
    RecalculateDigital(model);
    EXPECT_EQ(model.R__F.Value(), analogRf);
    EXPECT_EQ(model.R__SHUNT.Value(), analogRshunt);
}

TEST(DigitalDesign, SamplingFrequencyFollowsTheCalculatedSwitchingFrequency)
{
    CDesignModel reference;
    RecalculateDigital(reference);
    CDesignModel model;
    model.f__S.SetUser(100000);
    RecalculateDigital(model);
    EXPECT_DOUBLE_EQ(model.L__MIN.Value(), 2 * reference.L__MIN.Value());
    EXPECT_EQ(model.F__SAMP.Value(), 200000);

    model.F__SAMP.SetUser(50000);
    qxr::Recalculate(model);
    EXPECT_EQ(model.F__SAMP.Value(), 50000);
    EXPECT_EQ(model.F__SAMP.calcValue, 200000);
    EXPECT_NE(model.B0_I.Value(), reference.B0_I.Value());
}

TEST(DigitalDesign, RampIsForcedToOneAndStaysThereInAnalogMode)
{
    CDesignModel model;
    model.V__RAMP.SetUser(4);
    RecalculateDigital(model);
    EXPECT_FALSE(model.V__RAMP.userSet);
    EXPECT_EQ(model.V__RAMP.Value(), 1.0);

    CDesignModel analogWithUnitRamp;
    analogWithUnitRamp.V__RAMP.SetUser(1.0);
    qxr::Recalculate(analogWithUnitRamp);
    model.ad.SetUser(311);
    qxr::Recalculate(model);
    EXPECT_EQ(model.V__RAMP.Value(), 1.0);
    EXPECT_EQ(model.i_fcp0.Value(), analogWithUnitRamp.i_fcp0.Value());

    model.LoadDefaults();
    EXPECT_EQ(model.V__RAMP.Value(), 4.0);
}

}  // namespace
