#pragma once

#include <string>
#include <vector>

#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"

namespace qxr::cli {

// A loop's design map for people (the worst-case phase margin and Ms as
// tables, phase margin down and crossover across), as one JSON object and as
// CSV with one row a point.
std::string FormatMapText(const DesignMap& map);
std::string FormatMapJson(const DesignMap& map);
std::string FormatMapCsv(const DesignMap& map);

// The proposal of each loop, from its map, in ControlLoop order.
struct LoopProposal {
    DesignMap map;
    Proposal proposal;
};
// `separation`: what the design's crossovers come too close to (LoopSeparationNotes).
std::string FormatProposalText(const std::array<LoopProposal, 2>& loops, const std::vector<std::string>& separation);
std::string FormatProposalJson(const std::array<LoopProposal, 2>& loops, const std::vector<std::string>& separation);

}  // namespace qxr::cli
