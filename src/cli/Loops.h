#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/DesignModel.h"

namespace qxr::cli {

enum class Loop { Voltage, Current };

// The Bode series of a loop, in output order, with their names in JSON and CSV.
struct BodeColumn {
    const char* jsonKey;
    const char* csvHeader;
};
inline constexpr std::array<BodeColumn, 7> kBodeColumns{{
    {"freq", "freq_hz"},
    {"plantGain", "plant_gain_db"},
    {"plantPhase", "plant_phase_deg"},
    {"compGain", "comp_gain_db"},
    {"compPhase", "comp_phase_deg"},
    {"loopGain", "loop_gain_db"},
    {"loopPhase", "loop_phase_deg"},
}};

// One loop's Bode data and stability figures, as the model holds them.
struct LoopView {
    std::array<const std::vector<double>*, kBodeColumns.size()> series;  // in kBodeColumns order
    int32_t crossIdx;
    int32_t phaseCrossIdx;
    double fx;
    double slope;
    double gainMargin;
    double phaseMargin;
};

LoopView ViewOf(const CDesignModel& model, Loop loop);

}  // namespace qxr::cli
