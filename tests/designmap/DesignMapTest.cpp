#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

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
           same(a.worstMs, b.worstMs) && same(a.h3, b.h3) && same(a.stepMin, b.stepMin) &&
           a.timeDomainSimulated == b.timeDomainSimulated;
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

// At most 8 x 8 points of a larger map, spread evenly with both ends; a map
// of at most 64 points is simulated whole.
TEST(DesignMapTimeDomain, TheSubGridTakesAtMost64PointsWithBothEnds)
{
    using Indices = std::vector<std::size_t>;
    struct Case {
        std::size_t columns, rows;
        Indices expectedColumns, expectedRows;
    };
    const Case cases[] = {
        {1, 1, {0}, {0}},
        {5, 3, {0, 1, 2, 3, 4}, {0, 1, 2}},
        {8, 8, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 1, 2, 3, 4, 5, 6, 7}},
        {16, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {0, 1, 2, 3}},  // 64 points exactly
        {13, 5, {0, 2, 3, 5, 7, 9, 10, 12}, {0, 1, 2, 3, 4}},                           // 65
        {24, 16, {0, 3, 7, 10, 13, 16, 20, 23}, {0, 2, 4, 6, 9, 11, 13, 15}},
        {64, 64, {0, 9, 18, 27, 36, 45, 54, 63}, {0, 9, 18, 27, 36, 45, 54, 63}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows);
        const TimeDomainSubGrid subGrid = TimeDomainSubGridOf(c.columns, c.rows);
        EXPECT_EQ(subGrid.columns, c.expectedColumns);
        EXPECT_EQ(subGrid.rows, c.expectedRows);
        EXPECT_LE(subGrid.columns.size() * subGrid.rows.size(), kMaxTimeDomainMapPoints);
    }
}

// The current loop's map of 9 x 9 points, to 100 kHz where its compensator
// runs out of room at high margins: 8 x 8 of its points simulated, columns
// and rows 4 interpolated, some of them beside a point that cannot be realised.
class TimeDomainPass : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        model_ = new CDesignModel;
        SetRange(*model_, ControlLoop::Current, 2000, 100000, 30, 80, 9, 9);
        Design(*model_, CTop::ANALOG);
    }
    // Computed once, for the tests that look at it: each test runs in a process of its own.
    static const DesignMap& Map()
    {
        if (map_ == nullptr) {
            DesignMapOptions options = Options(2);
            options.cellDone = [](std::size_t, std::size_t, const MapCell& cell) {
                simulatedReports_ += cell.timeDomainSimulated ? 1 : 0;
            };
            map_ = new DesignMap(ComputeDesignMap(ReadDesignMapInputs(*model_, ControlLoop::Current), options));
        }
        return *map_;
    }
    static void TearDownTestSuite()
    {
        delete map_;
        delete model_;
    }

    static DesignMapOptions Options(unsigned threads)
    {
        DesignMapOptions options = OnThreads(threads);
        options.timeDomain = true;
        return options;
    }

    static bool OnSubGrid(std::size_t row, std::size_t column) { return row != 4 && column != 4; }

    static CDesignModel* model_;
    static DesignMap* map_;
    static std::size_t simulatedReports_;
};

CDesignModel* TimeDomainPass::model_ = nullptr;
DesignMap* TimeDomainPass::map_ = nullptr;
std::size_t TimeDomainPass::simulatedReports_ = 0;

TEST_F(TimeDomainPass, SimulatesTheSubGridsRealisablePointsAsTheirOwnDesigns)
{
    const DesignMap& map = Map();
    ASSERT_TRUE(map.complete && map.timeDomain);
    const std::vector<std::size_t> expected{0, 1, 2, 3, 5, 6, 7, 8};
    EXPECT_EQ(map.timeDomainColumns, expected);
    EXPECT_EQ(map.timeDomainRows, expected);
    std::size_t simulated = 0;
    for (std::size_t row = 0; row < 9; ++row) {
        for (std::size_t column = 0; column < 9; ++column) {
            const MapCell& cell = map.At(row, column);
            EXPECT_EQ(cell.timeDomainSimulated, cell.realisable && OnSubGrid(row, column)) << row << "," << column;
            simulated += cell.timeDomainSimulated ? 1 : 0;
            if (!cell.realisable) {
                EXPECT_TRUE(std::isnan(cell.h3) && std::isnan(cell.stepMin)) << row << "," << column;
            }
        }
    }
    EXPECT_EQ(simulatedReports_, simulated);
    EXPECT_EQ(TimeDomainPoints(map).size(), simulated);
    EXPECT_GT(simulated, 40u);
    EXPECT_LT(simulated, 64u) << "the points that cannot be realised are not simulated";

    // Each simulated point: the design with its crossover and margin entered, simulated here.
    for (const auto& [row, column] : {std::pair{0, 0}, {3, 5}, {8, 2}}) {
        SCOPED_TRACE(testing::Message() << row << "," << column);
        const MapCell& cell = map.At(row, column);
        ASSERT_TRUE(cell.timeDomainSimulated);
        CDesignModel design;
        design.RestoreState(model_->SaveState());
        EnterPoint(design, ControlLoop::Current, map.crossovers[column], map.phaseMargins[row]);
        Recalculate(design);
        const TimeDomainInputs inputs = ReadTimeDomainInputs(design);
        EXPECT_EQ(cell.h3, SimulateSteadyState(inputs, design.V__IN_MIN.Value(), 1.0).harmonics.thirdHarmonic);
        EXPECT_EQ(cell.stepMin, SimulateLoadStep(inputs).outputMin);
    }
}

// Computed here from the map's simulated points: bilinear in log crossover
// and phase margin between the sub-grid's neighbours, NaN where one has no figure.
double ExpectedInterpolation(const DesignMap& map, double MapCell::*figure, std::size_t row, std::size_t column)
{
    const auto neighbours = [](std::size_t index) {
        return index == 4 ? std::pair<std::size_t, std::size_t>{3, 5} : std::pair{index, index};
    };
    const auto [r0, r1] = neighbours(row);
    const auto [c0, c1] = neighbours(column);
    const double u = c0 == c1 ? 0
                              : std::log(map.crossovers[column] / map.crossovers[c0]) /
                                    std::log(map.crossovers[c1] / map.crossovers[c0]);
    const double v =
        r0 == r1 ? 0 : (map.phaseMargins[row] - map.phaseMargins[r0]) / (map.phaseMargins[r1] - map.phaseMargins[r0]);
    const auto at = [&](std::size_t r, std::size_t c) {
        return map.At(r, c).realisable ? map.At(r, c).*figure : MapCell::kNaN;
    };
    return (1 - u) * (1 - v) * at(r0, c0) + u * (1 - v) * at(r0, c1) + (1 - u) * v * at(r1, c0) + u * v * at(r1, c1);
}

TEST_F(TimeDomainPass, InterpolatesTheOtherPointsAndLeavesThemUnknownBesideAnUnknownOne)
{
    const DesignMap& map = Map();
    std::size_t known = 0, unknown = 0;
    for (std::size_t row = 0; row < 9; ++row) {
        for (std::size_t column = 0; column < 9; ++column) {
            const MapCell& cell = map.At(row, column);
            if (OnSubGrid(row, column) || !cell.realisable)
                continue;
            SCOPED_TRACE(testing::Message() << row << "," << column);
            for (double MapCell::*figure : {&MapCell::h3, &MapCell::stepMin}) {
                const double expected = ExpectedInterpolation(map, figure, row, column);
                if (std::isnan(expected)) {
                    EXPECT_TRUE(std::isnan(cell.*figure));
                } else {
                    EXPECT_NEAR(cell.*figure, expected, 1e-12 * std::fabs(expected));
                }
            }
            (std::isnan(cell.h3) ? unknown : known) += 1;
        }
    }
    EXPECT_GE(known, 10u);
    EXPECT_GE(unknown, 1u) << "the range puts a point that cannot be realised beside an interpolated one";
}

TEST_F(TimeDomainPass, AnyNumberOfThreadsGivesTheSameMap)
{
    const DesignMap single = ComputeDesignMap(ReadDesignMapInputs(*model_, ControlLoop::Current), Options(1));
    ASSERT_EQ(single.cells.size(), Map().cells.size());
    for (std::size_t i = 0; i < single.cells.size(); ++i)
        EXPECT_TRUE(SameCell(single.cells[i], Map().cells[i])) << i;
    EXPECT_TRUE(single.timeDomain);
}

// A cancel during the pass leaves the map without its time-domain figures:
// none interpolated, the pass not done.
TEST_F(TimeDomainPass, ACancelDuringThePassLeavesItUndone)
{
    std::atomic<bool> cancel{false};
    DesignMapOptions options = Options(1);
    options.cancel = &cancel;
    std::size_t simulated = 0;
    options.cellDone = [&](std::size_t, std::size_t, const MapCell& cell) {
        if (cell.timeDomainSimulated && ++simulated == 2)
            cancel = true;
    };
    const DesignMap map = ComputeDesignMap(ReadDesignMapInputs(*model_, ControlLoop::Current), options);
    EXPECT_FALSE(map.complete);
    EXPECT_FALSE(map.timeDomain);
    EXPECT_EQ(simulated, 2u);
    std::size_t withFigures = 0;
    for (const MapCell& cell : map.cells) {
        EXPECT_TRUE(cell.computed) << "the first pass was done";
        EXPECT_EQ(!std::isnan(cell.h3), cell.timeDomainSimulated);
        withFigures += std::isnan(cell.h3) ? 0 : 1;
    }
    EXPECT_EQ(withFigures, 2u);
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
    EXPECT_TRUE(own.timeDomainSimulated) << "a map of at most 64 points is simulated whole";
    EXPECT_EQ(own.h3, SimulateSteadyState(inputs, model.V__IN_MIN.Value(), 1.0).harmonics.thirdHarmonic);
    EXPECT_EQ(own.stepMin, SimulateLoadStep(inputs).outputMin);
    // A faster loop follows the line more closely: more third harmonic, a shallower dip.
    const MapCell& faster = map.At(0, 1);
    EXPECT_GT(faster.h3, own.h3);
    EXPECT_GT(faster.stepMin, own.stepMin);
}

}  // namespace
