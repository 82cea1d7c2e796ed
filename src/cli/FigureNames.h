#pragma once

#include <array>

namespace qxr::cli {

// How the outputs name the four stability figures, in kExactMetricMembers order.
struct FigureInfo {
    const char* key;
    const char* heading;
    const char* unit;
};
inline constexpr std::array<FigureInfo, 4> kFigures{{
    {"fx", "Crossover", "Hz"},
    {"pm", "Phase margin", "°"},
    {"gm", "Gain margin", "dB"},
    {"slope", "Slope at crossover", "dB/decade"},
}};

}  // namespace qxr::cli
