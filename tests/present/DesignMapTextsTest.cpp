#include <string>

#include <gtest/gtest.h>

#include "present/DesignMapTexts.h"

namespace {

using namespace qxr;

MapCell Realisable(double worstPm, double worstMs)
{
    MapCell cell;
    cell.computed = cell.realisable = true;
    cell.worstPm = worstPm;
    cell.worstMs = worstMs;
    return cell;
}

// A 2 x 2 map: 10 Hz and 8 380.34 Hz by 40° and 50°.
DesignMap SmallMap()
{
    DesignMap map;
    map.crossovers = {10, 8380.34};
    map.phaseMargins = {40, 50};
    map.cells = {Realisable(35.26, 1.4449), MapCell{}, Realisable(MapCell::kNaN, 1.1), MapCell{}};
    map.cells[1].computed = true;  // computed, cannot be realised
    return map;
}

TEST(DesignMapTexts, CellReadoutWritesEveryKnownFigure)
{
    DesignMap map = SmallMap();
    EXPECT_EQ(CellReadout(map, 0, 0), "10 Hz, 40.0°: worst-case phase margin 35.3°, Ms 1.44");
    EXPECT_EQ(CellReadout(map, 0, 1), "8.38 kHz, 40.0°: cannot be realised");
    EXPECT_EQ(CellReadout(map, 1, 0), "10 Hz, 50.0°: a corner without crossover, Ms 1.10");
    EXPECT_EQ(CellReadout(map, 1, 1), "8.38 kHz, 50.0°: not computed yet");
    map.cells[0].h3 = 3.456;
    map.cells[0].stepMin = 351.24;
    EXPECT_EQ(CellReadout(map, 0, 0),
              "10 Hz, 40.0°: worst-case phase margin 35.3°, Ms 1.44, third harmonic ≈ 3.46 %, load-step minimum ≈ "
              "351.2 V")
        << "interpolated";
    map.cells[0].timeDomainSimulated = true;
    EXPECT_EQ(CellReadout(map, 0, 0),
              "10 Hz, 40.0°: worst-case phase margin 35.3°, Ms 1.44, third harmonic 3.46 %, load-step minimum 351.2 V")
        << "simulated";
    map.cells[0].timeDomainSimulated = false;
    map.cells[0].h3 = MapCell::kNaN;  // an interpolation without all its corners
    EXPECT_EQ(CellReadout(map, 0, 0),
              "10 Hz, 40.0°: worst-case phase margin 35.3°, Ms 1.44, load-step minimum ≈ 351.2 V");
}

TEST(DesignMapTexts, ProposalSaysWhichLimitsItMisses)
{
    const MapLimits limits{45, 1.3, 10, 351};
    Proposal proposal;
    EXPECT_EQ(ProposalSummary(proposal, limits), "No point of the map can be realised.");
    proposal.found = true;
    proposal.crossover = 8380.34;
    proposal.phaseMargin = 80;
    proposal.cell = Realisable(47.04, 1.25);
    EXPECT_EQ(ProposalSummary(proposal, limits),
              "Proposal: 8.38 kHz, 80.0°, worst-case phase margin 47.0°, Ms 1.25; it meets every limit.");
    proposal.misses = {"PM__WORST_MIN"};
    EXPECT_EQ(ProposalSummary(proposal, limits),
              "Proposal: 8.38 kHz, 80.0°, worst-case phase margin 47.0°, Ms 1.25; no point meets every limit, this "
              "one misses the worst-case phase margin of at least 45.0°.");
    proposal.misses = {"PM__WORST_MIN", "M__S_MAX", "V__STEP_MIN"};
    EXPECT_EQ(ProposalSummary(proposal, limits),
              "Proposal: 8.38 kHz, 80.0°, worst-case phase margin 47.0°, Ms 1.25; no point meets every limit, this "
              "one misses the worst-case phase margin of at least 45.0°, the Ms of at most 1.30 and the load-step "
              "minimum of at least 351.0 V.");
}

}  // namespace
