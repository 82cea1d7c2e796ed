#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/SweepInputs.h"

// What a calculation leaves of each control loop: the Bode data on the loop's
// grid and the stability figures measured on it. The loops' transfer
// functions are in calc/LoopModel.h; the analysis fills these records.
namespace qxr {

enum class ControlLoop { Voltage, Current };
inline constexpr std::array<ControlLoop, 2> kControlLoops{ControlLoop::Voltage, ControlLoop::Current};

// Points of every Bode grid.
inline constexpr std::size_t kBodeGridPoints = 500;

// The series of a loop's Bode data, in the order every output lists them.
enum BodeSeries : std::size_t { kFreq, kPlantGain, kPlantPhase, kCompGain, kCompPhase, kLoopGain, kLoopPhase };
inline constexpr std::size_t kBodeSeriesCount = 7;

struct LoopData {
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    // Hz, dB and degrees, element k belonging to grid frequency k.
    std::array<std::vector<double>, kBodeSeriesCount> series;

    int32_t crossIdx = 0;       // index of the gain crossover on the grid; 0 means none found
    int32_t phaseCrossIdx = 0;  // index of the phase crossover; 0 means none found
    double fx = kNaN;           // Hz
    double slope = kNaN;        // dB per decade; NaN when it cannot be formed
    double gainMargin = kNaN;   // dB; NaN without a phase crossover
    double phaseMargin = kNaN;  // degrees

    // What the series were last built from, so that unchanged parts are kept.
    BodeSweepInputs swept;
};

}  // namespace qxr
