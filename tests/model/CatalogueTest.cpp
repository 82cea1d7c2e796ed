#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "model/DesignModel.h"

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct ExpectedRow {
    int index;
    const char16_t* name;
    const char16_t* description;
    const char16_t* unit;
    double scale;
    double defaultValue;  // kNone: a calculated symbol without a default
};

// The catalogue as the design documentation gives it, row by row.
const ExpectedRow kExpected[] = {
    {0, u"V__IN_NORM", u"Universal Normal RMS Input Voltage", u"V", 1, 240},
    {1, u"V__IN_MIN", u"Universal Minimum RMS Input Voltage", u"V", 1, 85},
    {2, u"V__IN_MAX", u"Universal Maximum RMS Input Voltage", u"V", 1, 265},
    {3, u"f__LINE", u"Line Frequency", u"Hz", 1, 50},
    {4, u"P__OUT", u"Maximum Output Power", u"W", 1, 150},
    {5, u"f__S", u"Switching Frequency", u"kHz", 1000, 200000},
    {6, u"V__OUT", u"Output Voltage", u"V", 1, 385},
    {7, u"t__H", u"Hold Up Time", u"ms", 0.001, 0.02},
    {8, u"V__OUT_MIN", u"Minimum Vout After 1 th - Usually taken as 75 % of nominal Vout", u"V", 1, 335},
    {9, u"D__MAX",
     u"Duty Cycle at the Peak of Low Line Input - Max current ripple occurs at peak of low line - so we need the duty "
     u"at this point to calculate L",
     u"", 1, kNone},
    {10, u"PERC_I__L_RIPPLE", u"±% Ripple Current with Respect to the Peak Current", u"%", 1, 15},
    {11, u"I__L_RIPPLE_PK_PK", u"Peak to Peak Inductor Ripple Current", u"A", 1, kNone},
    {12, u"L__MIN", u"Inductance Value of Boost Inductors", u"µH", 1e-6, kNone},
    {13, u"C__OUT", u"Output Capacitance", u"mF", 0.001, kNone},
    {14, u"V__RIPPLE_PK_PK", u"Peak to Peak Output Ripple Voltage", u"V", 1, kNone},
    {15, u"V__RIPPLE_PK", u"Peak Output Ripple Voltage", u"V", 1, kNone},
    {16, u"I__COUT_PK", u"Peak Low Frequency Output Capacitor Ripple Current", u"A", 1, kNone},
    {17, u"I__IN_PEAK", u"Peak Return Current", u"A", 1, kNone},
    {18, u"V__RSENSE", u"Voltage drop across Rsense", u"V", 1, 1},
    {19, u"R__SENSE", u"Rsense", u"mΩ", 0.001, kNone},
    {20, u"I__IAC_MAX", u"Maximum IIAC for this Chip", u"µA", 1e-6, kNone},
    {21, u"R__AC", u"Resistance Needed to Give IIAC at High Line", u"kΩ", 1000, kNone},
    {22, u"R__VFF", u"Voltage Feed forward Resistor", u"kΩ", 1000, kNone},
    {23, u"H3__VFF", u"% 3rd Harmonic Permitted Due to VFF", u"%", 1, 1.5},
    {24, u"V__FF_GAIN", u"VFF Filter Gain", u"", 1, kNone},
    {25, u"V__FF_POLE", u"VFF 1st Order Filter Pole", u"Hz", 1, kNone},
    {26, u"V__FF_CO", u"VFF 2nd Order Filter Cut-off Frequency", u"Hz", 1, kNone},
    {27, u"C__VFF", u"Voltage Feed Forward Capacitor", u"µF", 1e-6, kNone},
    {28, u"V__AOUT_MAX", u"Max Voltage Amplifier Output for this Chip (VAOUT Pin)", u"V", 1, 5},
    {29, u"I__AC_PK", u"IAC(pk) @ Peak of Min Line Voltage", u"µA", 1e-6, kNone},
    {30, u"I__AC_RMS_MIN", u"IAC(rms, min)", u"µA", 1e-6, kNone},
    {31, u"V__FF_MIN", u"Minimum Feed-Forward Voltage", u"mV", 0.001, kNone},
    {32, u"K", u"Multiplier Gain Constant for This Chip", u"1/V", 1, kNone},
    {33, u"I__MOUT_MAX", u"Multiplier Output Current(MOUT Pin)", u"mA", 0.001, kNone},
    {34, u"R__MOUT", u"Multiplier Op-Amp Resistor 1 (MOUT Pin)", u"kΩ", 1000, kNone},
    {35, u"B0_VFF", u"B0_VFF", u"", 1, kNone},
    {36, u"B1_VFF", u"B1_VFF", u"", 1, kNone},
    {37, u"B2_VFF", u"B2_VFF", u"", 1, kNone},
    {38, u"A1_VFF", u"A1_VFF", u"", 1, kNone},
    {39, u"A2_VFF", u"A2_VFF", u"", 1, kNone},
    {40, u"F__CP0_VL", u"Required Cut-off Frequency", u"Hz", 1, 12.737},
    {41, u"R__IN", u"Desired Voltage Error Amplifier (VEA) Input Resistor (RIN)", u"MΩ", 1000000, 1000000},
    {42, u"V__REF", u"VEA Reference Voltage for this Chip", u"V", 1, 7.5},
    {43, u"R__D", u"VEA dc Bias Resistor(RD)", u"kΩ", 1000, kNone},
    {44, u"DeltaV__AOUT",
     u"Effective VEA Output Voltage Range for this Chip - This is the same as VAOUT_MAX for this chip", u"V", 1, kNone},
    {45, u"F__X_VLOOP", u"Required Crossover Frequency of the Voltage Loop", u"Hz", 1, 7},
    {46, u"PM__VLOOP", u"Required Phase Margin of the Voltage Loop", u"°", 1, 60},
    {47, u"H2__ON_VOUT", u"Estimated % 2nd Harmonic on Vout", u"%", 1, kNone},
    {48, u"H3__LINE_IN", u"Estimated % 3rd Harmonic on Line In due to Voltage Feedback", u"%", 1, kNone},
    {49, u"C__F", u"Calculated Cf - Sets pole location so as to remove 2nd harmonic", u"nF", 1e-9, kNone},
    {50, u"R__F", u"Calculated Rf - Usually selected so as to set the pole at Fx", u"kΩ", 1000, kNone},
    {51, u"C__Z", u"Calculated Cz - Set the low frequency zero", u"nF", 1e-9, kNone},
    {52, u"F__SAMP_V", u"Slow Loop Sampling/Update Frequency", u"kHz", 1000, 6000},
    {53, u"B0_V", u"B0_V", u"", 1, kNone},
    {54, u"B1_V", u"B1_V", u"", 1, kNone},
    {55, u"B2_V", u"B2_V", u"", 1, kNone},
    {56, u"A1_V", u"A1_V", u"", 1, kNone},
    {57, u"A2_V", u"A2_V", u"", 1, kNone},
    {58, u"F__X_ILOOP",
     u"Required Crossover Frequency of the Current Loop -  Usually 1/10th of Fs.Min:Fs/50 and Max:Fs/6", u"kHz", 1000,
     10000},
    {59, u"PM__ILOOP", u"Required Phase Margin of the Current Loop", u"°", 1, 50},
    {60, u"V__RAMP", u"Voltage Swing of Oscillator Ramp for this Chip", u"V", 1, 4},
    {61, u"T__D", u"Sampling and calculation delay (note: ZOH 0.5*Fsamp already taken into accont", u"", 1, 0.5},
    {62, u"F__SAMP", u"Sampling Frequency", u"kHz", 1000, 200000},
    {63, u"R__I", u"Actual Value of RI Used", u"kΩ", 1000, kNone},
    {64, u"R__F_I", u"Calculated Rf - Usually selected to...", u"kΩ", 1000, kNone},
    {65, u"C__Z_I", u"Calculated Cz - Sets zero location", u"nF", 1e-9, kNone},
    {66, u"C__P_I", u"Calculated Cp - Sets pole location", u"pF", 1e-12, kNone},
    {67, u"B0_I", u"B0_I", u"", 1, kNone},
    {68, u"B1_I", u"B1_I", u"", 1, kNone},
    {69, u"B2_I", u"B2_I", u"", 1, kNone},
    {70, u"A1_I", u"A1_I", u"", 1, kNone},
    {71, u"A2_I", u"A2_I", u"", 1, kNone},
    {72, u"T__SS", u"Soft start length", u"ms", 0.001, 0.0075},
    {73, u"C__SS", u"Soft Start Capacitor", u"nF", 1e-9, kNone},
    {74, u"T__START", u"IC Start Up Time", u"ms", 0.001, 0.5},
    {75, u"C__TOT", u"Total Capacitance at VCC Pin", u"µF", 1e-6, 9.999999999999999e-5},
    {76, u"V__UVLO", u"Under Voltage Lockout", u"V", 1, kNone},
    {77, u"R__SHUNT", u" Shunt Regulator Resistor", u"kΩ", 1000, kNone},
    {78, u"C__T", u"Clock Capacitor", u"pF", 1e-12, 5.6e-10},
    {79, u"R__T", u"Clock Resistor", u"kΩ", 1000, kNone},
    {80, u"R__REF_HI", u"Reference voltage HI Resistor(R2 + R19)", u"MΩ", 1000000, 1000000},
    {81, u"R__REF_LO", u"Reference voltage LO Resistor(R3)", u"kΩ", 1000, kNone},
    {82, u"V__OUT_MAX", u"Maximum output voltage", u"V", 1, 425},
    {83, u"R__OVP_HI", u"OVP / EN Reference HI Resistor(R20 + R4)", u"kΩ", 1000, 523000},
    {84, u"R__OVP_LO", u"OVP / EN Reference LO Resistor(R5)", u"kΩ", 1000, kNone},
    {85, u"I__TRIP", u"Trip current", u"A", 1, 5},
    {86, u"R__PKLMT_HI", u"PKLMT Reference HI Resistor(R11)", u"kΩ", 1000, 10000},
    {87, u"R__PKLMT_LO", u"PKLMT Reference LO Resistor(R12)", u"kΩ", 1000, kNone},
    {88, u"v_fcp0", u"Position of the Compensator's Pole at Origin", u"Hz", 1, kNone},
    {89, u"v_fcp1", u"Position of the Compensator's 2nd Pole", u"Hz", 1, kNone},
    {90, u"v_fcz1", u"Position of the Compensator's Zero", u"Hz", 1, kNone},
    {91, u"i_fcp0", u"Position of the Compensator's Pole at Origin", u"Hz", 1, kNone},
    {92, u"i_fcp1", u"Position of the Compensator's 2nd Pole", u"Hz", 1, kNone},
    {93, u"i_fcz1", u"Position of the Compensator's Zero", u"Hz", 1, kNone},
    {94, u"E__ff", u"????", u"", 1, 1},
    {95, u"dia__voltage_loop", u"????", u"", 1, 316},
    {96, u"dia__current_loop", u"????", u"", 1, 320},
    {97, u"ad", u"Mode", u"", 1, 311},
};

std::string Narrow(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST(Catalogue, EveryRowMatchesTheDocumentedTable)
{
    ASSERT_EQ(std::size(kExpected), CDesignModel::kFirstAddedSymbol);
    CDesignModel model;
    for (const ExpectedRow& row : kExpected) {
        const CSymbol& symbol = *model.symbols[row.index];
        SCOPED_TRACE(Narrow(row.name));
        EXPECT_EQ(symbol.index, row.index);
        EXPECT_EQ(symbol.name, row.name);
        EXPECT_EQ(symbol.description, row.description);
        EXPECT_EQ(symbol.unit, row.unit);
        EXPECT_EQ(symbol.scale, row.scale);
        EXPECT_FALSE(symbol.userSet);
        EXPECT_FALSE(symbol.inUse);
        const bool hasDefault = !std::isnan(row.defaultValue);
        EXPECT_EQ(symbol.isInput, hasDefault);
        const double expectedValue = hasDefault ? row.defaultValue : 0.0;
        EXPECT_EQ(symbol.defaultValue, expectedValue);
        EXPECT_EQ(symbol.calcValue, expectedValue);
        EXPECT_EQ(symbol.userValue, expectedValue);
    }
}

TEST(Catalogue, NamedMembersAreTheIndexedSymbols)
{
    CDesignModel model;
    EXPECT_EQ(model.symbols[0], &model.V__IN_NORM);
    EXPECT_EQ(model.symbols[6], &model.V__OUT);
    EXPECT_EQ(model.symbols[96], &model.dia__current_loop);
    EXPECT_EQ(model.symbols[97], &model.ad);
    EXPECT_EQ(model.V__OUT.name, u"V__OUT");
    EXPECT_EQ(model.R__SHUNT.name, u"R__SHUNT");
    const CSymbol* const expectedComp[] = {&model.v_fcp0, &model.v_fcp1, &model.v_fcz1,
                                           &model.i_fcp0, &model.i_fcp1, &model.i_fcz1};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(model.compSymbols[i], expectedComp[i]) << i;
}

TEST(Catalogue, PeculiarDefaultsAndTexts)
{
    CDesignModel model;
    // 100 µF as the product of the display number and its scale, one ulp below 1e-4.
    EXPECT_EQ(model.C__TOT.calcValue, 100 * 1e-6);
    EXPECT_NE(model.C__TOT.calcValue, 1e-4);
    EXPECT_EQ(model.R__SHUNT.description, u" Shunt Regulator Resistor");
    EXPECT_NE(model.F__X_ILOOP.description.find(u"Loop -  Usually"), std::u16string::npos);
    EXPECT_EQ(model.ad.Value(), 311);
    EXPECT_EQ(model.ad.enumUser.GetValue(), 311);
    EXPECT_EQ(model.ad.enumCalc.GetValue(), 311);
}

TEST(Catalogue, RecommendedRangesOnlyOnThreeSymbolsOfTheFirst98)
{
    CDesignModel model;
    for (std::size_t k = 0; k < CDesignModel::kFirstAddedSymbol; ++k) {
        const CSymbol* symbol = model.symbols[k];
        SCOPED_TRACE(Narrow(symbol->name));
        if (symbol == &model.F__X_VLOOP) {
            EXPECT_EQ(symbol->limitMin, 2.0);
            EXPECT_EQ(symbol->limitMax, 15.0);
        } else if (symbol == &model.PM__VLOOP || symbol == &model.PM__ILOOP) {
            EXPECT_EQ(symbol->limitMin, 40.0);
            EXPECT_EQ(symbol->limitMax, 75.0);
        } else {
            EXPECT_EQ(symbol->limitMin, 0.0);
            EXPECT_EQ(symbol->limitMax, 0.0);
        }
    }
}

// The added symbols follow the Mode in this order; their ranges admit exactly
// what the stability sweep can use (open bounds at 0 and 100 %).
TEST(Catalogue, AddedSymbolsFollowTheModeWithTheirRanges)
{
    struct AddedRow {
        const char16_t* name;
        double defaultValue;
        double inside, outside;  // a value just within the range and one just out of it
    };
    const AddedRow kAdded[] = {
        {u"P__LOAD_MIN", 10, 100, 0},
        {u"TOL__L_MIN", 20, 99.99999, 100},
        {u"TOL__C_OUT", 20, 0, -1e-300},
        {u"TOL__R_SENSE", 1, 99.99999999999999, 100},
        {u"TOL__R_COMP", 1, 50, 100},
        {u"TOL__C_COMP", 10, 50, 1e300},
        {u"TOL__GAIN", 10, 0, -0.001},
        {u"dist__MC", CDistribution::Uniform, 0, 0},
        {u"N__MC", 10000, 1000000, 1000001},
        {u"SEED__MC", 1, 0, -1},
        {u"PM__MIN", 45, -1e300, -1e300},
        {u"GM__MIN", 10, 1e300, 1e300},
        {u"disc__DIG", CDiscretisation::Bilinear, 0, 0},
        {u"fmt__COEF", CCoefficientFormat::Double, 0, 0},
        {u"N__FRAC", 24, 31, 32},
        {u"ser__R", CSeries::E96, 0, 0},
        {u"ser__C", CSeries::E12, 0, 0},
        {u"DEV__PAIR", 2, 100, 100.00000000000001},
        {u"load__TD", CLoadKind::ConstantPower, 0, 0},
        {u"cls__IEC", CHarmonicClass::A, 0, 0},
        {u"P__STEP_FROM", 50, 0, -1e-9},
        {u"P__STEP_TO", 100, 100, 100.00000000000001},
        {u"t__SETTLE_MAX", 1, 2, 2.0000000000000004},
        {u"F__MAP_VLO", 2, 1000, 0},
        {u"F__MAP_VHI", 20, 4.9e-324, 1000.0000000000001},
        {u"F__MAP_ILO", 2000, 100e6, 0},
        {u"F__MAP_IHI", 40000, 1, 100.00000000000001e6},
        {u"PM__MAP_LO", 30, 1, 0.9999999999999999},
        {u"PM__MAP_HI", 80, 89, 89.00000000000001},
        {u"N__MAP_FX", 24, 64, 65},
        {u"N__MAP_PM", 16, 2, 1},
        {u"PM__WORST_MIN", 45, -1e300, -1e300},
        {u"M__S_MAX", 2, 1, 0.9999999999999999},
        {u"H3__MAX", 10, 1e300, 1e300},
        {u"V__STEP_MIN", 351, 0, 0},
    };
    ASSERT_EQ(CDesignModel::kFirstAddedSymbol + std::size(kAdded), CDesignModel::kSymbolCount);
    CDesignModel model;
    for (std::size_t k = 0; k < std::size(kAdded); ++k) {
        CSymbol& symbol = *model.symbols[CDesignModel::kFirstAddedSymbol + k];
        SCOPED_TRACE(Narrow(kAdded[k].name));
        EXPECT_EQ(symbol.name, kAdded[k].name);
        EXPECT_EQ(symbol.index, static_cast<int32_t>(CDesignModel::kFirstAddedSymbol + k));
        EXPECT_TRUE(symbol.isInput);
        EXPECT_EQ(symbol.Value(), kAdded[k].defaultValue);
        EXPECT_FALSE(symbol.IsOutsideLimits());
        symbol.SetUser(kAdded[k].inside);
        EXPECT_FALSE(symbol.IsOutsideLimits());
        symbol.SetUser(kAdded[k].outside);
        const bool hasRange = kAdded[k].inside != kAdded[k].outside;
        EXPECT_EQ(symbol.IsOutsideLimits(), hasRange);
    }
    EXPECT_EQ(model.dist__MC.GetEnum()->GetTypeInfo().NameOf(CDistribution::Normal), u"Normal (3 sigma = tolerance)");
    EXPECT_EQ(model.disc__DIG.GetEnum()->GetTypeInfo().NameOf(CDiscretisation::Matched), u"Matched Pole-Zero");
    EXPECT_EQ(model.fmt__COEF.GetEnum()->GetTypeInfo().NameOf(CCoefficientFormat::Qmn), u"Qm.n (int32)");
    EXPECT_EQ(model.ser__R.GetEnum()->GetTypeInfo().NameOf(CSeries::None), u"none");
    EXPECT_EQ(model.load__TD.GetEnum()->GetTypeInfo().NameOf(CLoadKind::Resistive), u"Resistive");
    EXPECT_EQ(model.cls__IEC.GetEnum()->GetTypeInfo().NameOf(CHarmonicClass::D), u"Class D");
}

TEST(Catalogue, MetricsBeforeTheFirstCalculation)
{
    CDesignModel model;
    EXPECT_EQ(model.Loop(qxr::ControlLoop::Voltage).crossIdx, 0);
    EXPECT_EQ(model.Loop(qxr::ControlLoop::Current).phaseCrossIdx, 0);
    EXPECT_TRUE(std::isnan(model.Loop(qxr::ControlLoop::Voltage).fx));
    EXPECT_TRUE(std::isnan(model.Loop(qxr::ControlLoop::Current).phaseMargin));
    EXPECT_TRUE(model.Loop(qxr::ControlLoop::Voltage).series[qxr::kFreq].empty());
    EXPECT_TRUE(model.messages.empty());
}

TEST(Catalogue, LoadDefaultsDiscardsEntriesAndRestoresEverySymbol)
{
    CDesignModel model;
    for (CSymbol* symbol : model.symbols) {
        symbol->SetUser(-1.0);
        symbol->SetCalc(-2.0);
        symbol->name = u"renamed";
        symbol->limitMax = 9.0;
        symbol->inUse = true;
    }
    model.LoadDefaults();
    for (const ExpectedRow& row : kExpected) {
        const CSymbol& symbol = *model.symbols[row.index];
        SCOPED_TRACE(Narrow(row.name));
        EXPECT_EQ(symbol.name, row.name);
        EXPECT_FALSE(symbol.userSet);
        EXPECT_FALSE(symbol.inUse);
        EXPECT_EQ(symbol.Value(), std::isnan(row.defaultValue) ? 0.0 : row.defaultValue);
    }
    EXPECT_EQ(model.V__OUT.limitMax, 0.0);
    EXPECT_EQ(model.PM__ILOOP.limitMax, 75.0);
    EXPECT_EQ(model.ad.enumUser.GetValue(), 311);
}

TEST(Catalogue, FindByNameIsExact)
{
    CDesignModel model;
    EXPECT_EQ(model.FindByName(u"V__OUT"), &model.V__OUT);
    EXPECT_EQ(model.FindByName(u"ad"), &model.ad);
    EXPECT_EQ(model.FindByName(u"v__out"), nullptr);
    EXPECT_EQ(model.FindByName(u"V__OUT "), nullptr);
    EXPECT_EQ(model.FindByName(u"END"), nullptr);
    EXPECT_EQ(model.FindByName(u""), nullptr);
}

}  // namespace
