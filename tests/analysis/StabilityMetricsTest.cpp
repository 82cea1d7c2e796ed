#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/StabilityMetrics.h"
#include "model/DesignModel.h"

namespace {

using qxr::FindCrossoverIndex;
using qxr::FindPhaseCrossoverIndex;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(StabilityMetrics, CrossoverSearch)
{
    struct Case {
        std::vector<double> gains;
        int index;
    };
    const Case cases[] = {
        {{}, 0},
        {{20, 5, -1, -3}, 2},
        {{20, 2, -2, 2}, 1},   // first of equal distances wins
        {{-0.1, 5, 0.01}, 0},  // below 0 dB at the start: none
        {{kNaN, 3, 1}, 0},     // NaN start is never beaten
        {{10, kNaN, 0.5, kNaN}, 2},
        {{0.5, 0.5}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindCrossoverIndex(c.gains), c.index) << ::testing::PrintToString(c.gains);
}

TEST(StabilityMetrics, PhaseCrossoverSearch)
{
    struct Case {
        std::vector<double> phases;
        int start;
        int index;
    };
    const Case cases[] = {
        {{}, 0, 0},
        {{-90, -120, -170, -185, -200}, 1, 3},
        {{-90, -120, -170, -179, -179.5}, 2, 4},
        {{-90, -190, -175, -181}, 1, 0},  // already below -180 at the start
        {{-90, -100, -100}, 1, 0},        // strict: a tie with the start never wins
        {{-90, -100}, 5, 0},              // start past the end finds nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindPhaseCrossoverIndex(c.phases, c.start), c.index) << ::testing::PrintToString(c.phases);
}

TEST(StabilityMetrics, DefaultAnalogVoltageLoop)
{
    CDesignModel model;
    model.Recalculate();
    EXPECT_EQ(model.crossIdxV, 140);
    EXPECT_EQ(model.fxV, 7.0);
    EXPECT_NEAR(model.phaseMarginV, 60.0, 1e-9);
    EXPECT_NEAR(model.slopeV, -22.7, 0.05);
    EXPECT_EQ(model.phaseCrossIdxV, 499);
    EXPECT_NEAR(model.loopPhaseV[499], -178.6, 0.05);
    EXPECT_EQ(model.gainMarginV, -model.loopGainV[499]);
    EXPECT_EQ(model.fxI, 10000.0);
    EXPECT_NEAR(model.phaseMarginI, 60.0, 1e-9);
    EXPECT_EQ(model.phaseCrossIdxI, 499);
}

TEST(StabilityMetrics, DigitalCurrentLoopFallsThroughMinus180InsideTheGrid)
{
    CDesignModel model;
    model.ad.SetUser(314);
    model.Recalculate();
    const auto pc = static_cast<std::size_t>(model.phaseCrossIdxI);
    ASSERT_GT(pc, 0u);
    ASSERT_LT(pc, 499u);
    EXPECT_LT(std::fabs(model.loopPhaseI[pc] + 180), std::fabs(model.loopPhaseI[pc - 1] + 180));
    EXPECT_LT(std::fabs(model.loopPhaseI[pc] + 180), std::fabs(model.loopPhaseI[pc + 1] + 180));
    EXPECT_EQ(model.gainMarginI, -model.loopGainI[pc]);
}

// Metric runs on hand-made arrays, to reach the edges of the rule.
class LoopMetrics : public ::testing::Test {
protected:
    void SetLoop(std::vector<double> gains, std::vector<double> phases)
    {
        model.freqV.clear();
        for (std::size_t k = 0; k < gains.size(); ++k)
            model.freqV.push_back(std::pow(10.0, static_cast<double>(k)));
        model.loopGainV = std::move(gains);
        model.loopPhaseV = std::move(phases);
    }
    void MarkPrevious()
    {
        model.fxV = 1234;
        model.slopeV = 5;
        model.gainMarginV = 6;
        model.phaseMarginV = 7;
        model.phaseCrossIdxV = 8;
    }

    CDesignModel model;
};

TEST_F(LoopMetrics, CrossoverAtTheEdgesHasNoSlope)
{
    SetLoop({10, 0.1, -10, -30}, {-100, -110, -120, -130});
    model.ComputeMetricsV();
    EXPECT_EQ(model.crossIdxV, 1);
    EXPECT_TRUE(std::isnan(model.slopeV));

    SetLoop({30, 20, 10, 0.1}, {-100, -110, -120, -130});
    model.ComputeMetricsV();
    EXPECT_EQ(model.crossIdxV, 3);
    EXPECT_TRUE(std::isnan(model.slopeV));
    EXPECT_EQ(model.phaseMarginV, 50.0);

    SetLoop({30, 20, 0.5, -20}, {-100, -110, -120, -170});
    model.ComputeMetricsV();
    EXPECT_EQ(model.slopeV, -20.0);
    EXPECT_EQ(model.phaseCrossIdxV, 3);
    EXPECT_EQ(model.gainMarginV, 20.0);
}

TEST_F(LoopMetrics, NoCrossoverKeepsThePreviousFigures)
{
    MarkPrevious();
    SetLoop({-1, -10, -20}, {-100, -110, -120});
    model.ComputeMetricsV();
    EXPECT_EQ(model.crossIdxV, 0);
    EXPECT_EQ(model.fxV, 1234);
    EXPECT_EQ(model.slopeV, 5);
    EXPECT_EQ(model.gainMarginV, 6);
    EXPECT_EQ(model.phaseMarginV, 7);
    EXPECT_EQ(model.phaseCrossIdxV, 8);
}

TEST_F(LoopMetrics, NegativePhaseMarginHasNoGainMargin)
{
    SetLoop({40, 20, 0.2, -20, -40}, {-150, -170, -190, -200, -210});
    model.ComputeMetricsV();
    EXPECT_EQ(model.crossIdxV, 2);
    EXPECT_EQ(model.phaseCrossIdxV, 0);
    EXPECT_TRUE(std::isnan(model.gainMarginV));
    EXPECT_EQ(model.phaseMarginV, -10.0);
}

}  // namespace
