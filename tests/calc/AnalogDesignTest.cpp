#include <cmath>
#include <limits>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "Significant.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"

namespace {

struct Expected {
    CSymbol CDesignModel::*symbol;
    double value;  // SI units, six significant digits
};

TEST(AnalogDesign, DefaultDesignValues)
{
    using M = CDesignModel;
    const Expected expected[] = {
        {&M::D__MAX, 0.687771},
        {&M::I__L_RIPPLE_PK_PK, 0.529412},
        {&M::L__MIN, 780.826e-6},
        {&M::C__OUT, 166.667e-6},
        {&M::V__RIPPLE_PK_PK, 7.44101},
        {&M::I__IN_PEAK, 2.49567},
        {&M::R__SENSE, 0.400694},
        {&M::R__AC, 749533},
        {&M::R__VFF, 27433.9},
        {&M::V__FF_GAIN, 0.0226586},
        {&M::V__FF_POLE, 2.26586},
        {&M::V__FF_CO, 14.9697},
        {&M::C__VFF, 2.56035e-6},
        {&M::V__FF_MIN, 1.4},
        {&M::I__MOUT_MAX, 297.546e-6},
        {&M::R__MOUT, 3360.82},
        {&M::R__D, 19867.5},
        {&M::R__REF_LO, 19867.5},
        {&M::C__SS, 10e-9},
        {&M::R__SHUNT, 23906.3},
        {&M::R__T, 5357.14},
        {&M::R__OVP_LO, 10033.6},
        {&M::R__PKLMT_LO, 3644.97},
        {&M::v_fcp1, 26.1244},
        {&M::v_fcz1, 1.87564},
    };
    CDesignModel model;
    qxr::Recalculate(model);
    for (const Expected& e : expected) {
        const CSymbol& symbol = model.*e.symbol;
        EXPECT_TRUE(MatchesSignificant(symbol.Value(), e.value)) << std::string(symbol.name.begin(), symbol.name.end());
    }
    // The default current loop crosses over within a factor of 5 of the right-half-plane zero.
    EXPECT_EQ(
        model.messages,
        "The current loop's crossover of 10 kHz is within a factor of 5 of the lowest right-half-plane zero over line, "
        "load and inductance (16.4 kHz).\n");
}

// Everything but these takes part in an analog design.
TEST(AnalogDesign, MarksExactlyTheSymbolsItUses)
{
    const std::set<std::u16string> notInUse = {
        u"F__CP0_VL", u"F__SAMP_V", u"F__SAMP", u"T__D",      u"B0_VFF",    u"B1_VFF",  u"B2_VFF", u"A1_VFF",
        u"A2_VFF",    u"B0_V",      u"B1_V",    u"B2_V",      u"A1_V",      u"A2_V",    u"B0_I",   u"B1_I",
        u"B2_I",      u"A1_I",      u"A2_I",    u"disc__DIG", u"fmt__COEF", u"N__FRAC",
    };
    CDesignModel model;
    qxr::Recalculate(model);
    for (const CSymbol* symbol : model.symbols)
        EXPECT_EQ(symbol->inUse, notInUse.count(symbol->name) == 0) << symbol->index;
}

TEST(AnalogDesign, UserEntryOfTheInductorFlowsIntoTheCompensatorsOnly)
{
    CDesignModel reference;
    qxr::Recalculate(reference);
    CDesignModel model;
    model.L__MIN.SetUser(1e-3);
    qxr::Recalculate(model);

    EXPECT_EQ(model.L__MIN.Value(), 1e-3);
    EXPECT_EQ(model.L__MIN.calcValue, reference.L__MIN.calcValue);
    for (CSymbol CDesignModel::*unchanged : {&CDesignModel::C__OUT, &CDesignModel::R__SENSE, &CDesignModel::R__MOUT,
                                             &CDesignModel::v_fcp0, &CDesignModel::v_fcz1, &CDesignModel::R__D})
        EXPECT_EQ((model.*unchanged).Value(), (reference.*unchanged).Value());
    // The current-loop plant gain is inversely proportional to L.
    EXPECT_DOUBLE_EQ(model.i_fcp0.Value(), reference.i_fcp0.Value() * 1e-3 / reference.L__MIN.Value());
    EXPECT_NE(model.R__F_I.Value(), reference.R__F_I.Value());
    EXPECT_NE(model.C__Z_I.Value(), reference.C__Z_I.Value());
}

TEST(AnalogDesign, UserEntryOfTheChipCurrentIsUsedWhileTheCalculationGoesOn)
{
    CDesignModel model;
    model.I__IAC_MAX.SetUser(0.0004);
    qxr::Recalculate(model);
    EXPECT_EQ(model.I__IAC_MAX.calcValue, 0.0005);
    EXPECT_EQ(model.R__AC.Value(), 1.4142135623730951 * 265 / 0.0004);
}

TEST(AnalogDesign, DegenerateInputsAreStoredAsTheyCome)
{
    CDesignModel model;
    model.V__OUT_MIN.SetUser(385);  // equal to V__OUT
    model.V__OUT_MAX.SetUser(8);
    qxr::Recalculate(model);
    EXPECT_EQ(model.C__OUT.Value(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(model.V__RIPPLE_PK_PK.Value(), 0.0);
    EXPECT_TRUE(std::isinf(model.R__OVP_LO.Value()));
    EXPECT_EQ(model.Loop(qxr::ControlLoop::Voltage).series[qxr::kFreq].size(), 500u);
}

}  // namespace
