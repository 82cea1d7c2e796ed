#pragma once

#include <array>

#include "analysis/ControlLoops.h"

namespace qxr {

// The names of a loop's Bode series in JSON and CSV, in BodeSeries order.
struct BodeColumn {
    const char* jsonKey;
    const char* csvHeader;
};
inline constexpr std::array<BodeColumn, kBodeSeriesCount> kBodeColumns{{
    {"freq", "freq_hz"},
    {"plantGain", "plant_gain_db"},
    {"plantPhase", "plant_phase_deg"},
    {"compGain", "comp_gain_db"},
    {"compPhase", "comp_phase_deg"},
    {"loopGain", "loop_gain_db"},
    {"loopPhase", "loop_phase_deg"},
}};

// The loop's name on the command line and in JSON.
inline const char* LoopName(ControlLoop loop)
{
    return loop == ControlLoop::Voltage ? "voltage" : "current";
}

}  // namespace qxr
