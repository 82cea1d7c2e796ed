#include <vector>

#include <gtest/gtest.h>

#include "analysis/ControlLoops.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;

// The pages draw their curves from the loop description on a grid of their
// own; on the same inputs that grid and those curves are the Bode data itself.
TEST(ControlLoops, WhatThePagesEvaluateIsTheBodeData)
{
    for (double mode : {311.0, 314.0}) {
        CDesignModel model;
        model.ad.SetUser(mode);
        model.F__SAMP.SetUser(150000);  // a digital current loop with its own sampling lag
        qxr::Recalculate(model);
        for (ControlLoop loop : kControlLoops) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", loop " << static_cast<int>(loop));
            std::vector<double> grid;
            BuildBodeGrid(model, loop, grid);
            const LoopData& data = model.Loop(loop);
            ASSERT_EQ(grid, data.series[kFreq]);
            ASSERT_EQ(grid.size(), kBodeGridPoints);
            for (std::size_t k = 0; k < grid.size(); k += 37) {
                const BodePoint point = EvaluateLoop(LoopModelOf(model, loop), grid[k]);
                const double series[] = {point.plantGain, point.plantPhase, point.compGain,
                                         point.compPhase, point.loopGain,   point.loopPhase};
                for (std::size_t s = kPlantGain; s < kBodeSeriesCount; ++s)
                    EXPECT_EQ(series[s - 1], data.series[s][k]) << s;
            }
        }
    }
}

TEST(ControlLoops, RangesAndRequiredCrossovers)
{
    CDesignModel model;
    model.f__S.SetUser(100000);
    qxr::Recalculate(model);
    EXPECT_EQ(BodeRange(model, ControlLoop::Voltage).start, 1.0);
    EXPECT_EQ(BodeRange(model, ControlLoop::Voltage).stop, 1000.0);
    EXPECT_EQ(BodeRange(model, ControlLoop::Current).start, 100.0);
    EXPECT_EQ(BodeRange(model, ControlLoop::Current).stop, 100000.0);
    EXPECT_EQ(RequiredCrossover(model, ControlLoop::Voltage), model.F__X_VLOOP.Value());
    EXPECT_EQ(RequiredCrossover(model, ControlLoop::Current), model.F__X_ILOOP.Value());
}

}  // namespace
