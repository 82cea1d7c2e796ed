#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "Significant.h"
#include "analysis/Recalculate.h"
#include "calc/DesignConstants.h"
#include "calc/DesignSteps.h"
#include "calc/LoopModel.h"
#include "model/DesignModel.h"

namespace {

const std::string kVoltageMarginMessage = "voltage loop phase margin too high.\n";
const std::string kCurrentMarginMessage =
    "Current loop phase margin cannot be acheived. Please lower the phase margin requirement.\n";
const std::string kVoltageComponentMessage =
    "There is an error with the voltage loop compensator. Gain cannot be achieved for this crossover. Decrease "
    "crossover frequency.\n";
const std::string kCurrentComponentMessage = "There is an error with the current loop compensator.\n";

TEST(CompensatorSynthesis, VoltageZeroAndPoleAroundTheCrossover)
{
    struct Case {
        double fx, pm, fcp1, fcz1;
    };
    const Case cases[] = {
        {7, 60, 26.1244, 1.87564},
        {7, 0, 7, 7},
        {7, 100, 0.612421, 80.0104},
        {10, 45, 24.1421, 4.14214},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        model.F__X_VLOOP.SetUser(c.fx);
        model.PM__VLOOP.SetUser(c.pm);
        qxr::Recalculate(model);
        SCOPED_TRACE(c.pm);
        EXPECT_TRUE(MatchesSignificant(model.v_fcp1.Value(), c.fcp1));
        EXPECT_TRUE(MatchesSignificant(model.v_fcz1.Value(), c.fcz1));
        EXPECT_EQ(model.messages.find(kVoltageMarginMessage), std::string::npos);
    }
}

TEST(CompensatorSynthesis, ZeroCrossoverReportsTheVoltageMargin)
{
    CDesignModel model;
    model.F__X_VLOOP.SetUser(0);
    qxr::Recalculate(model);
    EXPECT_EQ(model.v_fcp1.Value(), 0.0);
    EXPECT_EQ(model.messages.rfind(kVoltageMarginMessage, 0), 0u) << model.messages;
}

TEST(CompensatorSynthesis, SampledCurrentLoopCanMakeTheMarginImpossible)
{
    for (double mode : {314.0, 311.0}) {
        CDesignModel model;
        model.f__S.SetUser(100000);
        model.F__SAMP.SetUser(100000);
        model.F__X_ILOOP.SetUser(10000);
        model.PM__ILOOP.SetUser(50);
        model.T__D.SetUser(0.5);
        model.ad.SetUser(mode);
        qxr::Recalculate(model);
        SCOPED_TRACE(mode);
        const bool digital = mode == 314;
        EXPECT_EQ(model.i_fcz1.Value() < 0, digital);
        EXPECT_EQ(model.messages.find(kCurrentMarginMessage) != std::string::npos, digital) << model.messages;
        EXPECT_EQ(model.F__SAMP.inUse, digital);
        EXPECT_EQ(model.i_fcp1.Value(), 50000);
    }
}

TEST(CompensatorSynthesis, MessagesAppearOncePerPass)
{
    CDesignModel model;
    model.F__X_VLOOP.SetUser(0);
    qxr::Recalculate(model);
    const std::string first = model.messages;
    qxr::Recalculate(model);
    EXPECT_EQ(model.messages, first);
    EXPECT_EQ(model.messages.find(kVoltageMarginMessage), model.messages.rfind(kVoltageMarginMessage));
}

TEST(CompensatorSynthesis, ComponentCheckReportsTheVoltageLoopFirst)
{
    struct Case {
        CSymbol CDesignModel::*negative[2];
        std::string message;
    };
    using M = CDesignModel;
    const Case cases[] = {
        {{&M::R__F, &M::R__I}, kVoltageComponentMessage},
        {{&M::C__Z, &M::C__Z}, kVoltageComponentMessage},
        {{&M::C__P_I, &M::C__P_I}, kCurrentComponentMessage},
        {{&M::R__F_I, &M::R__I}, kCurrentComponentMessage},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        for (CSymbol CDesignModel::*symbol : c.negative)
            (model.*symbol).SetUser(-1);
        qxr::CheckAnalogCompensators(model);
        EXPECT_EQ(model.messages, c.message);
    }
}

TEST(CompensatorSynthesis, ComponentCheckPassesZeroAndNaN)
{
    CDesignModel model;
    model.R__F.SetUser(0.0);
    model.C__P_I.SetUser(std::nan(""));
    qxr::CheckAnalogCompensators(model);
    EXPECT_EQ(model.messages, "");
}

TEST(CompensatorSynthesis, NegativeAnalogComponentsAreReportedByTheDesign)
{
    CDesignModel model;
    model.R__IN.SetUser(-1e6);
    model.F__X_ILOOP.SetUser(3000);  // clear of the right-half-plane zero: no other message
    qxr::Recalculate(model);
    EXPECT_EQ(model.messages, kVoltageComponentMessage);
}

// The synthesis leaves the efficiency out, so the plotted loop crosses at
// 20*log10(1/E__ff) dB at the required crossover.
TEST(CompensatorSynthesis, LoopGainAtRequiredCrossover)
{
    struct Case {
        double mode, fxV, pmV, fxI, pmI, efficiency;
    };
    const Case cases[] = {
        {311, 7, 60, 10000, 60, 1}, {311, 3, 45, 20000, 50, 0.95}, {314, 12, 70, 8000, 40, 0.9},
        {314, 7, 60, 10000, 50, 1}, {311, 15, 40, 5000, 75, 1.1},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        model.ad.SetUser(c.mode);
        model.F__X_VLOOP.SetUser(c.fxV);
        model.PM__VLOOP.SetUser(c.pmV);
        model.F__X_ILOOP.SetUser(c.fxI);
        model.PM__ILOOP.SetUser(c.pmI);
        model.E__ff.SetUser(c.efficiency);
        qxr::Recalculate(model);
        SCOPED_TRACE(c.fxV);
        const qxr::LoopModel voltage = qxr::LoopModelOf(model, qxr::ControlLoop::Voltage);
        const qxr::LoopModel current = qxr::LoopModelOf(model, qxr::ControlLoop::Current);
        EXPECT_NEAR(voltage.SummedGainDb(qxr::kTwoPi * c.fxV), 20 * std::log10(1 / c.efficiency), 1e-9);
        EXPECT_NEAR(current.SummedGainDb(qxr::kTwoPi * c.fxI), 0.0, 1e-9);
        const qxr::LoopData& voltageData = model.Loop(qxr::ControlLoop::Voltage);
        const auto crossing = static_cast<std::size_t>(voltageData.crossIdx);
        if (c.efficiency == 1) {
            EXPECT_EQ(voltageData.series[qxr::kFreq][crossing], c.fxV);
            EXPECT_NEAR(voltageData.series[qxr::kLoopPhase][crossing] + 180, c.pmV, 1e-9);
        }
        if (c.mode == 311) {
            EXPECT_NEAR(current.PhaseDeg(qxr::kTwoPi * c.fxI) + 180, c.pmI, 1e-9);
        }
    }
}

}  // namespace
