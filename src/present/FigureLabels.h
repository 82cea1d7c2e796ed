#pragma once

#include <array>
#include <string>

#include "model/LoopData.h"

// How every output names a loop's four stability figures, in the order of
// kExactMetricMembers: the command line's keys and headings, the rows of its
// report and of the printed report, and the unit.
namespace qxr {

struct FigureLabel {
    const char* key;        // JSON and CSV
    const char* heading;    // a table column of qxr-cli
    const char* row;        // a row of the qxr-cli report
    const char* reportRow;  // a row of the printed report
    const char* unit;       // as qxr-cli prints it
};
inline constexpr std::array<FigureLabel, 4> kFigureLabels{{
    {"fx", "Crossover", "Crossover frequency", "Crossover frequency (Fx)", "Hz"},
    {"pm", "Phase margin", "Phase margin", "Phase margin", "°"},
    {"gm", "Gain margin", "Gain margin", "Gain margin", "dB"},
    {"slope", "Slope at crossover", "Slope at crossover", "Slope at Fx", "dB/decade"},
}};
// The robust figures, Ms and the delay margin.
inline constexpr std::array<FigureLabel, 2> kRobustFigureLabels{{
    {"ms", "Ms", "Peak sensitivity", "Peak sensitivity (Ms)", ""},
    {"delayMargin", "Delay margin", "Delay margin", "Delay margin", "s"},
}};
// Every figure of the stability sweep, in the order of kSweptMetricMembers.
inline constexpr std::array<FigureLabel, 6> kSweptFigureLabels{kFigureLabels[0],       kFigureLabels[1],
                                                               kFigureLabels[2],       kFigureLabels[3],
                                                               kRobustFigureLabels[0], kRobustFigureLabels[1]};

// "Voltage" or "Current", to begin a line with.
std::string LoopTitle(ControlLoop loop);

}  // namespace qxr
