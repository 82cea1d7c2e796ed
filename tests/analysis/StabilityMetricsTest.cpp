#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/Recalculate.h"
#include "analysis/StabilityMetrics.h"
#include "model/DesignModel.h"
#include "model/LoopData.h"

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
    qxr::Recalculate(model);
    const qxr::LoopData& voltage = model.Loop(qxr::ControlLoop::Voltage);
    const qxr::LoopData& current = model.Loop(qxr::ControlLoop::Current);
    EXPECT_EQ(voltage.crossIdx, 140);
    EXPECT_EQ(voltage.fx, 7.0);
    EXPECT_NEAR(voltage.phaseMargin, 60.0, 1e-9);
    EXPECT_NEAR(voltage.slope, -22.7, 0.05);
    EXPECT_EQ(voltage.phaseCrossIdx, 499);
    EXPECT_NEAR(voltage.series[qxr::kLoopPhase][499], -178.6, 0.05);
    EXPECT_EQ(voltage.gainMargin, -voltage.series[qxr::kLoopGain][499]);
    EXPECT_EQ(current.fx, 10000.0);
    EXPECT_NEAR(current.phaseMargin, 60.0, 1e-9);
    EXPECT_EQ(current.phaseCrossIdx, 499);
}

TEST(StabilityMetrics, DigitalCurrentLoopFallsThroughMinus180InsideTheGrid)
{
    CDesignModel model;
    model.ad.SetUser(314);
    qxr::Recalculate(model);
    const qxr::LoopData& current = model.Loop(qxr::ControlLoop::Current);
    const std::vector<double>& phase = current.series[qxr::kLoopPhase];
    const auto pc = static_cast<std::size_t>(current.phaseCrossIdx);
    ASSERT_GT(pc, 0u);
    ASSERT_LT(pc, 499u);
    EXPECT_LT(std::fabs(phase[pc] + 180), std::fabs(phase[pc - 1] + 180));
    EXPECT_LT(std::fabs(phase[pc] + 180), std::fabs(phase[pc + 1] + 180));
    EXPECT_EQ(current.gainMargin, -current.series[qxr::kLoopGain][pc]);
}

// Metric runs on hand-made arrays, to reach the edges of the rule.
class LoopMetrics : public ::testing::Test {
protected:
    void SetLoop(std::vector<double> gains, std::vector<double> phases)
    {
        loop.series[qxr::kFreq].clear();
        for (std::size_t k = 0; k < gains.size(); ++k)
            loop.series[qxr::kFreq].push_back(std::pow(10.0, static_cast<double>(k)));
        loop.series[qxr::kLoopGain] = std::move(gains);
        loop.series[qxr::kLoopPhase] = std::move(phases);
    }
    void MarkPrevious()
    {
        loop.fx = 1234;
        loop.slope = 5;
        loop.gainMargin = 6;
        loop.phaseMargin = 7;
        loop.phaseCrossIdx = 8;
    }

    qxr::LoopData loop;
};

TEST_F(LoopMetrics, CrossoverAtTheEdgesHasNoSlope)
{
    SetLoop({10, 0.1, -10, -30}, {-100, -110, -120, -130});
    qxr::ComputeGridMetrics(loop);
    EXPECT_EQ(loop.crossIdx, 1);
    EXPECT_TRUE(std::isnan(loop.slope));

    SetLoop({30, 20, 10, 0.1}, {-100, -110, -120, -130});
    qxr::ComputeGridMetrics(loop);
    EXPECT_EQ(loop.crossIdx, 3);
    EXPECT_TRUE(std::isnan(loop.slope));
    EXPECT_EQ(loop.phaseMargin, 50.0);

    SetLoop({30, 20, 0.5, -20}, {-100, -110, -120, -170});
    qxr::ComputeGridMetrics(loop);
    EXPECT_EQ(loop.slope, -20.0);
    EXPECT_EQ(loop.phaseCrossIdx, 3);
    EXPECT_EQ(loop.gainMargin, 20.0);
}

TEST_F(LoopMetrics, NoCrossoverKeepsThePreviousFigures)
{
    MarkPrevious();
    SetLoop({-1, -10, -20}, {-100, -110, -120});
    qxr::ComputeGridMetrics(loop);
    EXPECT_EQ(loop.crossIdx, 0);
    EXPECT_EQ(std::tie(loop.fx, loop.slope, loop.gainMargin, loop.phaseMargin, loop.phaseCrossIdx),
              std::make_tuple(1234.0, 5.0, 6.0, 7.0, 8));
}

TEST_F(LoopMetrics, NegativePhaseMarginHasNoGainMargin)
{
    SetLoop({40, 20, 0.2, -20, -40}, {-150, -170, -190, -200, -210});
    qxr::ComputeGridMetrics(loop);
    EXPECT_EQ(loop.crossIdx, 2);
    EXPECT_EQ(loop.phaseCrossIdx, 0);
    EXPECT_TRUE(std::isnan(loop.gainMargin));
    EXPECT_EQ(loop.phaseMargin, -10.0);
}

}  // namespace
