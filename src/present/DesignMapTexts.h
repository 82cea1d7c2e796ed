#pragma once

#include <cstddef>
#include <string>

#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"

// The design map's figures as the Design Map pages and the report write them (UTF-8).
namespace qxr {

// Every figure of one point: "12.3 Hz, 45°: worst-case phase margin 38.2°, Ms 1.62, ...", the
// time-domain ones marked "≈ " where interpolated.
std::string CellReadout(const DesignMap& map, std::size_t row, std::size_t column);

// The proposal and the limits it misses, or that the map has no realisable point.
std::string ProposalSummary(const Proposal& proposal, const MapLimits& limits);

}  // namespace qxr
