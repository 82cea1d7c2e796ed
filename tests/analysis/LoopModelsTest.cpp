#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/ControlLoops.h"
#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

namespace {

using qxr::BuildLogGrid;
using qxr::kTwoPi;

std::vector<double> Grid(double fa, double fb, double fx)
{
    std::vector<double> grid;
    BuildLogGrid(fa, fb, fx, grid);
    return grid;
}

TEST(LogGrid, RequiredCrossoverReplacesTheLastPointBelowIt)
{
    const std::vector<double> grid = Grid(1, 1000, 7);
    ASSERT_EQ(grid.size(), 500u);
    EXPECT_EQ(grid[140], 7.0);
    EXPECT_EQ(std::count(grid.begin(), grid.end(), 7.0), 1);
    EXPECT_EQ(grid[139], std::pow(10.0, 139 * 3.0 / 500));
    EXPECT_EQ(grid[141], std::pow(10.0, 141 * 3.0 / 500));
    EXPECT_TRUE(std::is_sorted(grid.begin(), grid.end()));
    EXPECT_EQ(grid.front(), 1.0);
    EXPECT_LT(grid.back(), 1000.0);
}

TEST(LogGrid, CrossoverOutsideTheRange)
{
    const std::vector<double> low = Grid(1, 1000, 0.5);
    EXPECT_EQ(low[0], 0.5);
    EXPECT_NEAR(low[1], 1.0139, 5e-5);

    std::vector<double> plain = Grid(1, 1000, 2000);
    for (int k = 0; k < 500; ++k)
        EXPECT_EQ(plain[static_cast<std::size_t>(k)], std::pow(10.0, k * 3.0 / 500)) << k;
}

TEST(LogGrid, ReusesTheArray)
{
    std::vector<double> grid(7, -1.0);
    BuildLogGrid(100, 200000, 10000, grid);
    EXPECT_EQ(grid.size(), 500u);
    EXPECT_EQ(grid[0], 100.0);
    EXPECT_EQ(std::count(grid.begin(), grid.end(), 10000.0), 1);
}

TEST(BodeData, ArraysFollowTheModelFunctions)
{
    CDesignModel model;
    model.Recalculate();
    ASSERT_EQ(model.freqV.size(), 500u);
    ASSERT_EQ(model.freqI.size(), 500u);
    for (const auto* values : {&model.loopGainV, &model.loopPhaseV, &model.plantGainV, &model.plantPhaseV,
                               &model.compGainV, &model.compPhaseV, &model.loopGainI, &model.loopPhaseI,
                               &model.plantGainI, &model.plantPhaseI, &model.compGainI, &model.compPhaseI})
        EXPECT_EQ(values->size(), 500u);
    for (std::size_t k : {0u, 140u, 333u, 499u}) {
        const double wV = kTwoPi * model.freqV[k];
        EXPECT_EQ(model.plantGainV[k], model.PlantGainV(wV));
        EXPECT_EQ(model.compGainV[k], model.CompGainV(wV));
        EXPECT_EQ(model.loopGainV[k], model.LoopGainV(wV));
        EXPECT_EQ(model.plantPhaseV[k], -90.0);
        EXPECT_NEAR(model.loopPhaseV[k], model.compPhaseV[k] - 90, 1e-12);
        const double wI = kTwoPi * model.freqI[k];
        EXPECT_EQ(model.plantGainI[k], model.PlantGainI(wI));
        EXPECT_EQ(model.compGainI[k], model.CompGainI(wI));
        EXPECT_EQ(model.loopGainI[k], model.LoopGainI(wI));
        EXPECT_EQ(model.loopPhaseI[k], model.LoopPhaseI(wI));
        EXPECT_EQ(model.plantPhaseI[k], -90.0);
    }
    EXPECT_EQ(model.freqI[0], 100.0);
    EXPECT_LT(model.freqI.back(), 200000.0);
}

TEST(BodeData, SamplingDelayLowersOnlyTheDigitalCurrentLoopPhase)
{
    CDesignModel analog;
    analog.Recalculate();
    CDesignModel digital;
    digital.ad.SetUser(314);
    digital.Recalculate();
    // Same compensator in both, so only the delay differs.
    for (int i = 0; i < 3; ++i)
        digital.compSymbols[static_cast<std::size_t>(3 + i)]->SetUser(
            analog.compSymbols[static_cast<std::size_t>(3 + i)]->Value());
    const double tD = digital.T__D.Value();
    const double fSamp = digital.F__SAMP.Value();
    for (double f : {100.0, 5000.0, 60000.0}) {
        const double w = kTwoPi * f;
        const double lag = analog.LoopPhaseI(w) - digital.LoopPhaseI(w);
        EXPECT_NEAR(lag, (0.5 + tD) * 360 * f / fSamp, 1e-9) << f;
    }
    digital.BuildBodeData();
    analog.BuildBodeData();
    EXPECT_EQ(digital.compPhaseI, analog.compPhaseI);
}

void ExpectSameBodeData(const CDesignModel& a, const CDesignModel& b)
{
    // Bitwise: a kept part must be exactly what a fresh sweep computes.
    const auto same = [](const std::vector<double>& x, const std::vector<double>& y) {
        return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0;
    };
    EXPECT_TRUE(same(a.freqV, b.freqV));
    EXPECT_TRUE(same(a.freqI, b.freqI));
    for (auto member :
         {&CDesignModel::loopGainV, &CDesignModel::loopPhaseV, &CDesignModel::plantGainV, &CDesignModel::plantPhaseV,
          &CDesignModel::compGainV, &CDesignModel::compPhaseV, &CDesignModel::loopGainI, &CDesignModel::loopPhaseI,
          &CDesignModel::plantGainI, &CDesignModel::plantPhaseI, &CDesignModel::compGainI, &CDesignModel::compPhaseI})
        EXPECT_TRUE(same(a.*member, b.*member));
}

TEST(BodeData, PassesAfterEditsEqualAFreshDesign)
{
    struct Edit {
        const char16_t* name;
        double value;
    };
    const std::vector<std::vector<Edit>> sequences = {
        {{u"P__OUT", 200}, {u"P__OUT", 150}},
        {{u"f__S", 100000}, {u"F__X_ILOOP", 8000}},
        {{u"ad", 314}, {u"T__D", 1.5}, {u"ad", 311}, {u"V__RAMP", 1}},  // the digital pass leaves a unit ramp
        {{u"F__X_VLOOP", 9}, {u"PM__VLOOP", 45}, {u"E__ff", 0.9}},
        {{u"ad", 314}, {u"F__SAMP", 150000}, {u"L__MIN", 5e-4}},
        {{u"V__OUT", std::nan("")}, {u"V__OUT", 385}},
    };
    for (std::size_t i = 0; i < sequences.size(); ++i) {
        const std::vector<Edit>& sequence = sequences[i];
        SCOPED_TRACE(i);
        CDesignModel edited;
        edited.Recalculate();
        CDesignModel fresh;
        for (const Edit& edit : sequence) {
            edited.FindByName(edit.name)->SetUser(edit.value);
            edited.Recalculate();
            fresh.FindByName(edit.name)->SetUser(edit.value);
        }
        fresh.Recalculate();
        ExpectSameBodeData(edited, fresh);
    }
}

TEST(BodeData, ArraysChangedFromOutsideAreRebuilt)
{
    CDesignModel fresh;
    fresh.Recalculate();
    CDesignModel model;
    model.Recalculate();
    model.freqV.clear();
    model.compPhaseI.pop_back();
    model.Recalculate();
    ExpectSameBodeData(model, fresh);
}

TEST(BodeData, NonFiniteInputsFlowIntoTheArrays)
{
    CDesignModel model;
    model.E__ff.SetUser(INFINITY);
    model.f__S.SetUser(std::nan(""));
    model.Recalculate();
    EXPECT_EQ(model.plantGainV[10], -INFINITY);
    EXPECT_EQ(model.loopGainV[10], -INFINITY);
    EXPECT_EQ(model.crossIdxV, 0) << "a gain of -inf at the first point is no crossover";
    EXPECT_EQ(model.freqI.size(), 500u);
    EXPECT_TRUE(std::isnan(model.freqI[1]));
}

}  // namespace
