#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/BodeData.h"
#include "analysis/ControlLoops.h"
#include "analysis/Recalculate.h"
#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;

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

// Every point against the loop models written out from the symbols.
TEST(BodeData, ArraysFollowTheLoopModels)
{
    CDesignModel m;
    m.ad.SetUser(314);  // a sampled current loop
    qxr::Recalculate(m);
    const LoopData& voltage = m.Loop(ControlLoop::Voltage);
    const LoopData& current = m.Loop(ControlLoop::Current);
    for (const LoopData* loop : {&voltage, &current}) {
        for (const std::vector<double>& values : loop->series)
            EXPECT_EQ(values.size(), 500u);
    }
    const auto v = [](const CSymbol& symbol) { return symbol.Value(); };
    const auto compensatorDb = [](double w, double fp0, double fp1, double fz1) {
        return 20 * std::log10(std::sqrt(1 + std::pow(w / (kTwoPi * fz1), 2)) /
                               std::sqrt(1 + std::pow(w / (kTwoPi * fp1), 2)) * (kTwoPi * fp0 / w));
    };
    const auto compensatorDeg = [](double w, double fp1, double fz1) {
        return (std::atan(w / (kTwoPi * fz1)) - std::atan(w / (kTwoPi * fp1))) * 180 / M_PI - 90;
    };
    for (std::size_t k : {0u, 140u, 333u, 499u}) {
        const double wV = kTwoPi * voltage.series[kFreq][k];
        const double plantV =
            20 * std::log10(v(m.P__OUT) / v(m.E__ff) / (v(m.V__OUT) * wV * v(m.DeltaV__AOUT) * v(m.C__OUT)));
        const double compV = compensatorDb(wV, v(m.v_fcp0), v(m.v_fcp1), v(m.v_fcz1));
        EXPECT_DOUBLE_EQ(voltage.series[kPlantGain][k], plantV);
        EXPECT_DOUBLE_EQ(voltage.series[kCompGain][k], compV);
        EXPECT_DOUBLE_EQ(voltage.series[kLoopGain][k], plantV + compV);
        EXPECT_EQ(voltage.series[kPlantPhase][k], -90.0);
        EXPECT_NEAR(voltage.series[kCompPhase][k], compensatorDeg(wV, v(m.v_fcp1), v(m.v_fcz1)), 1e-12);
        EXPECT_NEAR(voltage.series[kLoopPhase][k], voltage.series[kCompPhase][k] - 90, 1e-12);

        const double wI = kTwoPi * current.series[kFreq][k];
        const double plantI = 20 * std::log10(v(m.R__SENSE) * v(m.V__OUT) / (v(m.L__MIN) * wI * v(m.V__RAMP)));
        const double compI = compensatorDb(wI, v(m.i_fcp0), v(m.i_fcp1), v(m.i_fcz1));
        const double lagDeg = (0.5 + v(m.T__D)) * 360 * current.series[kFreq][k] / v(m.F__SAMP);
        EXPECT_DOUBLE_EQ(current.series[kPlantGain][k], plantI);
        EXPECT_DOUBLE_EQ(current.series[kLoopGain][k], plantI + compI);
        EXPECT_NEAR(current.series[kLoopPhase][k], compensatorDeg(wI, v(m.i_fcp1), v(m.i_fcz1)) - 90 - lagDeg, 1e-9);
        EXPECT_EQ(current.series[kPlantPhase][k], -90.0);
    }
    EXPECT_EQ(current.series[kFreq][0], 100.0);
    EXPECT_LT(current.series[kFreq].back(), 200000.0);
}

TEST(BodeData, SamplingDelayLowersOnlyTheDigitalCurrentLoopPhase)
{
    CDesignModel analog;
    qxr::Recalculate(analog);
    CDesignModel digital;
    digital.ad.SetUser(314);
    qxr::Recalculate(digital);
    // Same compensator in both, so only the delay differs.
    for (int i = 0; i < 3; ++i)
        digital.compSymbols[static_cast<std::size_t>(3 + i)]->SetUser(
            analog.compSymbols[static_cast<std::size_t>(3 + i)]->Value());
    const double tD = digital.T__D.Value();
    const double fSamp = digital.F__SAMP.Value();
    const LoopModel analogCurrent = LoopModelOf(analog, ControlLoop::Current);
    const LoopModel digitalCurrent = LoopModelOf(digital, ControlLoop::Current);
    for (double f : {100.0, 5000.0, 60000.0}) {
        const double w = kTwoPi * f;
        const double lag = analogCurrent.PhaseDeg(w) - digitalCurrent.PhaseDeg(w);
        EXPECT_NEAR(lag, (0.5 + tD) * 360 * f / fSamp, 1e-9) << f;
    }
    qxr::BuildBodeData(digital);
    qxr::BuildBodeData(analog);
    EXPECT_EQ(digital.Loop(ControlLoop::Current).series[kCompPhase],
              analog.Loop(ControlLoop::Current).series[kCompPhase]);
}

void ExpectSameBodeData(const CDesignModel& a, const CDesignModel& b)
{
    // Bitwise: a kept part must be exactly what a fresh sweep computes.
    const auto same = [](const std::vector<double>& x, const std::vector<double>& y) {
        return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0;
    };
    for (ControlLoop loop : kControlLoops) {
        for (std::size_t s = 0; s < kBodeSeriesCount; ++s)
            EXPECT_TRUE(same(a.Loop(loop).series[s], b.Loop(loop).series[s])) << static_cast<int>(loop) << " " << s;
    }
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
        qxr::Recalculate(edited);
        CDesignModel fresh;
        for (const Edit& edit : sequence) {
            edited.FindByName(edit.name)->SetUser(edit.value);
            qxr::Recalculate(edited);
            fresh.FindByName(edit.name)->SetUser(edit.value);
        }
        qxr::Recalculate(fresh);
        ExpectSameBodeData(edited, fresh);
    }
}

TEST(BodeData, ArraysChangedFromOutsideAreRebuilt)
{
    CDesignModel fresh;
    qxr::Recalculate(fresh);
    CDesignModel model;
    qxr::Recalculate(model);
    model.Loop(ControlLoop::Voltage).series[kFreq].clear();
    model.Loop(ControlLoop::Current).series[kCompPhase].pop_back();
    qxr::Recalculate(model);
    ExpectSameBodeData(model, fresh);
}

TEST(BodeData, NonFiniteInputsFlowIntoTheArrays)
{
    CDesignModel model;
    model.E__ff.SetUser(INFINITY);
    model.f__S.SetUser(std::nan(""));
    qxr::Recalculate(model);
    EXPECT_EQ(model.Loop(ControlLoop::Voltage).series[kPlantGain][10], -INFINITY);
    EXPECT_EQ(model.Loop(ControlLoop::Voltage).series[kLoopGain][10], -INFINITY);
    EXPECT_EQ(model.Loop(ControlLoop::Voltage).crossIdx, 0) << "a gain of -inf at the first point is no crossover";
    EXPECT_EQ(model.Loop(ControlLoop::Current).series[kFreq].size(), 500u);
    EXPECT_TRUE(std::isnan(model.Loop(ControlLoop::Current).series[kFreq][1]));
}

}  // namespace
