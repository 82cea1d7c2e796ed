#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "OnThreads.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"
#include "model/DesignModel.h"
#include "timedomain/Scenarios.h"

namespace {

using namespace qxr;

void Design(CDesignModel& model, int32_t mode)
{
    model.ad.SetUser(mode);
    Recalculate(model);
}

void SetRange(CDesignModel& m, ControlLoop loop, double fxLow, double fxHigh, double pmLow, double pmHigh,
              double columns, double rows)
{
    const bool voltage = loop == ControlLoop::Voltage;
    (voltage ? m.F__MAP_VLO : m.F__MAP_ILO).SetUser(fxLow);
    (voltage ? m.F__MAP_VHI : m.F__MAP_IHI).SetUser(fxHigh);
    m.PM__MAP_LO.SetUser(pmLow);
    m.PM__MAP_HI.SetUser(pmHigh);
    m.N__MAP_FX.SetUser(columns);
    m.N__MAP_PM.SetUser(rows);
}

bool SameCell(const MapCell& a, const MapCell& b)
{
    const auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    return a.computed == b.computed && a.realisable == b.realisable && same(a.worstPm, b.worstPm) &&
           same(a.worstMs, b.worstMs) && same(a.h3, b.h3) && same(a.stepMin, b.stepMin);
}

struct ModeLoop {
    int32_t mode;
    ControlLoop loop;
};
constexpr ModeLoop kModeLoops[] = {{CTop::ANALOG, ControlLoop::Voltage},
                                   {CTop::ANALOG, ControlLoop::Current},
                                   {CTop::DIGITAL, ControlLoop::Voltage},
                                   {CTop::DIGITAL, ControlLoop::Current}};

// The map's first point is the design's own crossover and margin; it must
// give what the stability sweep gives for the design itself.
TEST(DesignMap, TheDesignsOwnPointHasTheSweepsWorstPhaseMargin)
{
    for (const ModeLoop& c : kModeLoops) {
        SCOPED_TRACE(testing::Message() << c.mode << " loop " << static_cast<int>(c.loop));
        CDesignModel model;
        Design(model, c.mode);
        const double fx = RequiredCrossoverSymbol(model, c.loop).Value();
        const double pm = RequiredMarginSymbol(model, c.loop).Value();
        SetRange(model, c.loop, fx, 1.5 * fx, pm, pm + 10, 2, 2);
        Recalculate(model);
        const DesignMap map = ComputeDesignMap(ReadDesignMapInputs(model, c.loop));
        ASSERT_EQ(map.notComputed, "");
        ASSERT_TRUE(map.complete);
        EXPECT_EQ(map.crossovers[0], fx);
        EXPECT_EQ(map.phaseMargins[0], pm);
        const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(model));
        const LoopRobustness& swept = report.loops[static_cast<std::size_t>(c.loop)];
        const MapCell& own = map.At(0, 0);
        ASSERT_TRUE(own.realisable);
        EXPECT_NEAR(own.worstPm, swept.worstPm, 0.05);
        EXPECT_EQ(own.worstMs, swept.envelope[4].max);
    }
}

TEST(DesignMap, TheGridSpansTheSettingsLogarithmicallyAcrossAndEvenlyDown)
{
    CDesignModel model;
    model.f__LINE.SetUser(60);
    Design(model, CTop::ANALOG);
    const DesignMapInputs voltage = ReadDesignMapInputs(model, ControlLoop::Voltage);
    ASSERT_EQ(voltage.crossovers.size(), 24u);
    ASSERT_EQ(voltage.phaseMargins.size(), 16u);
    EXPECT_EQ(voltage.crossovers.front(), 2.0);
    EXPECT_EQ(voltage.crossovers.back(), 24.0);  // 2 f__LINE / 5
    EXPECT_NEAR(voltage.crossovers[1] / voltage.crossovers[0], std::pow(12.0, 1.0 / 23), 1e-12);
    EXPECT_EQ(voltage.phaseMargins.front(), 30.0);
    EXPECT_NEAR(voltage.phaseMargins[1], 30 + 50.0 / 15, 1e-12);
    EXPECT_EQ(voltage.phaseMargins.back(), 80.0);
    const DesignMapInputs current = ReadDesignMapInputs(model, ControlLoop::Current);
    EXPECT_EQ(current.crossovers.front(), model.f__S.Value() / 100);
    EXPECT_EQ(current.crossovers.back(), model.f__S.Value() / 5);

    model.F__MAP_VHI.SetUser(15);
    Recalculate(model);
    EXPECT_EQ(ReadDesignMapInputs(model, ControlLoop::Voltage).crossovers.back(), 15.0);  // an entry stays
}

TEST(DesignMap, SettingsThatCannotBeUsedSayWhy)
{
    struct Case {
        CSymbol CDesignModel::*symbol;
        double value;
        const char* reason;
    };
    const Case cases[] = {
        {&CDesignModel::F__MAP_VLO, 30, "The design map is not computed: F__MAP_VLO is not below F__MAP_VHI."},
        {&CDesignModel::PM__MAP_HI, 30, "The design map is not computed: PM__MAP_LO is not below PM__MAP_HI."},
        {&CDesignModel::N__MAP_FX, 65,
         "The design map is not computed: N__MAP_FX - Crossover Points of the Design "
         "Maps is outside of its range."},
        {&CDesignModel::N__MC, 0, "The stability sweep is not computed: N__MC"},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        (model.*c.symbol).SetUser(c.value);
        Design(model, CTop::ANALOG);
        const DesignMap map = ComputeDesignMap(ReadDesignMapInputs(model, ControlLoop::Voltage));
        EXPECT_EQ(map.notComputed.rfind(c.reason, 0), 0u) << map.notComputed;
        EXPECT_TRUE(map.cells.empty());
    }
}

// The current compensator's zero runs out of room where the margin and the
// crossover are both high; every point there cannot be realised.
TEST(DesignMap, PointsWhoseCompensatorCannotBeBuiltAreNotRealisable)
{
    CDesignModel model;
    Design(model, CTop::ANALOG);
    const DesignMap map = ComputeDesignMap(ReadDesignMapInputs(model, ControlLoop::Current), OnThreads(2));
    const std::size_t top = map.phaseMargins.size() - 1, right = map.crossovers.size() - 1;
    EXPECT_FALSE(map.At(top, right).realisable);
    EXPECT_TRUE(std::isnan(map.At(top, right).worstPm));
    EXPECT_TRUE(map.At(0, 0).realisable);
    EXPECT_GT(map.At(0, 0).worstMs, 1.0);
}

TEST(DesignMap, AnyNumberOfThreadsGivesTheSameMapAndReportsEachPointOnce)
{
    CDesignModel model;
    SetRange(model, ControlLoop::Voltage, 2, 20, 30, 80, 5, 3);
    Design(model, CTop::ANALOG);
    const DesignMapInputs inputs = ReadDesignMapInputs(model, ControlLoop::Voltage);
    const DesignMap single = ComputeDesignMap(inputs);
    std::mutex mutex;
    std::set<std::pair<std::size_t, std::size_t>> reported;
    DesignMapOptions options;
    options.threads = 3;
    options.cellDone = [&](std::size_t row, std::size_t column, const MapCell& cell) {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_TRUE(reported.insert({row, column}).second);
        EXPECT_TRUE(cell.computed);
    };
    const DesignMap parallel = ComputeDesignMap(inputs, options);
    EXPECT_EQ(reported.size(), 15u);
    ASSERT_EQ(parallel.cells.size(), single.cells.size());
    for (std::size_t i = 0; i < single.cells.size(); ++i)
        EXPECT_TRUE(SameCell(single.cells[i], parallel.cells[i])) << i;
    EXPECT_TRUE(single.complete && parallel.complete);
}

TEST(DesignMap, ACancelLeavesTheRestOfTheMapOut)
{
    CDesignModel model;
    SetRange(model, ControlLoop::Voltage, 2, 20, 30, 80, 4, 4);
    Design(model, CTop::ANALOG);
    std::atomic<bool> cancel{false};
    DesignMapOptions options;
    options.cancel = &cancel;
    std::size_t done = 0;
    options.cellDone = [&](std::size_t, std::size_t, const MapCell&) {
        if (++done == 3)
            cancel = true;
    };
    const DesignMap map = ComputeDesignMap(ReadDesignMapInputs(model, ControlLoop::Voltage), options);
    EXPECT_FALSE(map.complete);
    std::size_t computed = 0;
    for (const MapCell& cell : map.cells)
        computed += cell.computed ? 1 : 0;
    EXPECT_EQ(computed, 3u);
}

// Two simulations a point: a map larger than the limit says so instead of running for minutes.
TEST(DesignMap, TheTimeDomainPassTakesAtMostItsMaximumOfPoints)
{
    CDesignModel model;
    Design(model, CTop::ANALOG);
    std::atomic<bool> cancelled{true};  // nothing is simulated: the limit is decided before any point
    DesignMapOptions options;
    options.timeDomain = true;
    options.cancel = &cancelled;
    for (const auto& [columns, rows, refused] : {std::tuple{8.0, 8.0, false}, std::tuple{13.0, 5.0, true}}) {
        SetRange(model, ControlLoop::Voltage, 2, 20, 30, 80, columns, rows);
        Recalculate(model);
        const DesignMap map = ComputeDesignMap(ReadDesignMapInputs(model, ControlLoop::Voltage), options);
        EXPECT_EQ(map.notComputed.find("at most 64 points") != std::string::npos, refused) << map.notComputed;
        if (refused) {
            EXPECT_NE(map.notComputed.find("this map has 65."), std::string::npos) << map.notComputed;
        }
    }
    options.timeDomain = false;
    EXPECT_EQ(ComputeDesignMap(ReadDesignMapInputs(model, ControlLoop::Voltage), options).notComputed, "")
        << "without the pass the map takes 4096 points";
}

// The second pass simulates the point's own design.
TEST(DesignMap, TheTimeDomainPassGivesEachPointsHarmonicAndStepMinimum)
{
    CDesignModel model;
    SetRange(model, ControlLoop::Voltage, 7, 14, 60, 70, 2, 2);
    Design(model, CTop::ANALOG);
    DesignMapOptions options;
    options.timeDomain = true;
    options.threads = 2;
    const DesignMap map = ComputeDesignMap(ReadDesignMapInputs(model, ControlLoop::Voltage), options);
    ASSERT_TRUE(map.timeDomain);
    const TimeDomainInputs inputs = ReadTimeDomainInputs(model);
    const MapCell& own = map.At(0, 0);
    EXPECT_EQ(own.h3, SimulateSteadyState(inputs, model.V__IN_MIN.Value(), 1.0).harmonics.thirdHarmonic);
    EXPECT_EQ(own.stepMin, SimulateLoadStep(inputs).outputMin);
    // A faster loop follows the line more closely: more third harmonic, a shallower dip.
    const MapCell& faster = map.At(0, 1);
    EXPECT_GT(faster.h3, own.h3);
    EXPECT_GT(faster.stepMin, own.stepMin);
}

}  // namespace
