#pragma once

#include <string>

#include "analysis/BodeColumns.h"

namespace qxr::cli {

// How the outputs name the exact figures, in kExactMetricMembers order.
struct FigureName {
    const char* key;
    const char* heading;
    const char* unit;
};
inline constexpr FigureName kFigureNames[] = {
    {"fx", "Crossover", "Hz"},
    {"pm", "Phase margin", "°"},
    {"gm", "Gain margin", "dB"},
    {"slope", "Slope at crossover", "dB/decade"},
};

// "Voltage" or "Current", to begin a line with.
inline std::string LoopTitle(ControlLoop loop)
{
    std::string name = LoopName(loop);
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

}  // namespace qxr::cli
