#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OnThreads.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;

constexpr double kNaN = MapCell::kNaN;

MapCell Realisable(double worstPm, double worstMs, double h3 = kNaN, double stepMin = kNaN)
{
    MapCell cell;
    cell.computed = cell.realisable = true;
    cell.worstPm = worstPm;
    cell.worstMs = worstMs;
    cell.h3 = h3;
    cell.stepMin = stepMin;
    return cell;
}

MapCell Unrealisable()
{
    MapCell cell;
    cell.computed = true;
    return cell;
}

// One row of points at 1, 2, 3 ... Hz and 50 degrees.
DesignMap RowOf(std::vector<MapCell> cells, bool timeDomain = false)
{
    DesignMap map;
    map.phaseMargins = {50};
    for (std::size_t k = 0; k < cells.size(); ++k)
        map.crossovers.push_back(1.0 + static_cast<double>(k));
    map.cells = std::move(cells);
    map.timeDomain = timeDomain;
    map.complete = true;
    return map;
}

const MapLimits kLimits{45, 2, 10, 350};

TEST(Proposal, PicksTheHighestWorstMarginWithinTheLimitsAndTiesToTheHigherCrossover)
{
    struct Case {
        const char* what;
        std::vector<MapCell> cells;
        bool timeDomain;
        std::size_t column;
        std::vector<std::string> misses;
    };
    const Case cases[] = {
        {"the highest margin", {Realisable(50, 1.5), Realisable(60, 1.5), Realisable(55, 1.5)}, false, 1, {}},
        {"a tie to the higher crossover",
         {Realisable(60, 1.5), Realisable(60, 1.9), Realisable(50, 1.5)},
         false,
         1,
         {}},
        {"margins within 1e-6 degrees tie", {Realisable(60 + 9e-7, 1.5), Realisable(60, 1.5)}, false, 1, {}},
        {"margins 2e-6 degrees apart do not", {Realisable(60 + 2e-6, 1.5), Realisable(60, 1.5)}, false, 0, {}},
        {"Ms above its limit is passed over", {Realisable(50, 1.5), Realisable(60, 2.1)}, false, 0, {}},
        {"Ms exactly at its limit meets it", {Realisable(50, 1.5), Realisable(60, 2.0)}, false, 1, {}},
        {"the margin exactly at its minimum meets it", {Realisable(45, 1.5), Unrealisable()}, false, 0, {}},
        {"an unrealisable point is never proposed", {Realisable(46, 1.5), Unrealisable()}, false, 0, {}},
        {"the harmonic counts where known", {Realisable(50, 1.5, 9, 360), Realisable(60, 1.5, 11, 360)}, true, 0, {}},
        {"the harmonic is not held without the pass", {Realisable(50, 1.5, 9), Realisable(60, 1.5, 11)}, false, 1, {}},
        {"a missing simulation figure is not a miss",
         {Realisable(50, 1.5, kNaN, 360), Realisable(60, 1.5)},
         true,
         1,
         {}},
        {"none meets: the least miss and what it misses",
         {Realisable(40, 1.5), Realisable(44, 2.1), Realisable(30, 1.8)},
         false,
         1,
         {"PM__WORST_MIN", "M__S_MAX"}},
        {"none meets: a corner without a crossover misses most",
         {Realisable(kNaN, 1.2), Realisable(10, 3, 20, 300)},
         true,
         1,
         {"PM__WORST_MIN", "M__S_MAX", "H3__MAX", "V__STEP_MIN"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Proposal proposal = ProposeFrom(RowOf(c.cells, c.timeDomain), kLimits);
        ASSERT_TRUE(proposal.found);
        EXPECT_EQ(proposal.column, c.column);
        EXPECT_EQ(proposal.crossover, 1.0 + static_cast<double>(c.column));
        EXPECT_EQ(proposal.phaseMargin, 50.0);
        EXPECT_EQ(proposal.misses, c.misses);
        EXPECT_EQ(proposal.Meets(), c.misses.empty());
    }
    EXPECT_FALSE(ProposeFrom(RowOf({Unrealisable(), MapCell{}}), kLimits).found);
}

// The default analog design: the proposal of the voltage map with its corners.
class DefaultAnalogProposal : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        model_ = new CDesignModel;
        model_->ad.SetUser(CTop::ANALOG);
        Recalculate(*model_);
        const DesignMapInputs inputs = ReadDesignMapInputs(*model_, ControlLoop::Voltage);
        limits_ = inputs.limits;
        map_ = new DesignMap(ComputeDesignMap(inputs, OnThreads(2)));
        proposal_ = ProposeFrom(*map_, limits_);
    }
    static void TearDownTestSuite()
    {
        delete map_;
        delete model_;
    }

    static CDesignModel* model_;
    static DesignMap* map_;
    static MapLimits limits_;
    static Proposal proposal_;
};
CDesignModel* DefaultAnalogProposal::model_ = nullptr;
DesignMap* DefaultAnalogProposal::map_ = nullptr;
MapLimits DefaultAnalogProposal::limits_;
Proposal DefaultAnalogProposal::proposal_;

TEST_F(DefaultAnalogProposal, LiftsTheWorstMarginAboveTheMinimumOrNamesTheLimit)
{
    ASSERT_TRUE(proposal_.found);
    const double designWorst = AnalyseRobustness(ReadRobustnessInputs(*model_)).loops[0].worstPm;
    EXPECT_LT(designWorst, 45.0);
    if (proposal_.Meets())
        EXPECT_GT(proposal_.cell.worstPm, 45.0);
    else
        EXPECT_FALSE(proposal_.misses.empty());
    EXPECT_GT(proposal_.cell.worstPm, designWorst);
}

TEST_F(DefaultAnalogProposal, NoRealisablePointWithinTheLimitsHasAHigherWorstMargin)
{
    for (const MapCell& cell : map_->cells) {
        if (cell.realisable && cell.worstPm >= limits_.worstPmMin && cell.worstMs <= limits_.msMax) {
            EXPECT_LE(cell.worstPm, proposal_.cell.worstPm + 1e-6);  // margins within 1e-6 degrees tie
        }
    }
}

TEST_F(DefaultAnalogProposal, EnteredItGivesTheSameWorstMarginInTheSweep)
{
    CDesignModel entered;
    entered.RestoreState(model_->SaveState());
    EnterPoint(entered, ControlLoop::Voltage, proposal_.crossover, proposal_.phaseMargin);
    Recalculate(entered);
    const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(entered));
    const LoopRobustness& voltage = report.loops[0];
    EXPECT_EQ(voltage.worstPm, proposal_.cell.worstPm);
    EXPECT_EQ(voltage.envelope[4].max, proposal_.cell.worstMs);
}

}  // namespace
