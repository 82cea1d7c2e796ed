#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/DesignModel.h"

// The two control loops of a design, each described once: the frequency
// range and grid of its Bode data, where its seven arrays and its metrics
// live in the model, and its transfer functions. The Bode data, the metrics,
// the command line and the pages all read a loop through this description.
namespace qxr {

enum class ControlLoop { Voltage, Current };
inline constexpr std::array<ControlLoop, 2> kControlLoops{ControlLoop::Voltage, ControlLoop::Current};

// Points of every Bode grid.
inline constexpr std::size_t kBodeGridPoints = 500;

// The series of a loop's Bode data, in the order every output lists them.
enum BodeSeries : std::size_t { kFreq, kPlantGain, kPlantPhase, kCompGain, kCompPhase, kLoopGain, kLoopPhase };
inline constexpr std::size_t kBodeSeriesCount = 7;

// Members of CDesignModel that belong to one loop, and its model functions.
struct ControlLoopMembers {
    std::array<std::vector<double> CDesignModel::*, kBodeSeriesCount> series;  // in BodeSeries order
    int32_t CDesignModel::*crossIdx;
    int32_t CDesignModel::*phaseCrossIdx;
    double CDesignModel::*fx;
    double CDesignModel::*slope;
    double CDesignModel::*gainMargin;
    double CDesignModel::*phaseMargin;
    CSymbol CDesignModel::*requiredCrossover;
    // Gains in dB and phases in degrees at angular frequency w; the plant's phase is a constant -90.
    double (CDesignModel::*plantGain)(double w);
    double (CDesignModel::*compGain)(double w);
    double (CDesignModel::*compPhase)(double w);
    double (CDesignModel::*loopPhase)(double w);
};

const ControlLoopMembers& MembersOf(ControlLoop loop);

// The frequencies a loop's Bode data covers, in Hz: the voltage loop from
// 1 Hz to 1 kHz, the current loop from 100 Hz to the switching frequency.
struct FrequencyRange {
    double start;
    double stop;
};
// Reads the values in force it depends on, marking them in use.
FrequencyRange BodeRange(CDesignModel& model, ControlLoop loop);
double RequiredCrossover(CDesignModel& model, ControlLoop loop);

// kBodeGridPoints log-spaced frequencies from the range's start up to (not
// including) its stop. The required crossover fx replaces the last grid point
// at or below it, so the loop is measured exactly there.
void BuildLogGrid(double fa, double fb, double fx, std::vector<double>& grid);

// The six curves of a loop at one frequency in Hz, from the model functions.
struct BodePoint {
    double plantGain, plantPhase, compGain, compPhase, loopGain, loopPhase;
};
BodePoint EvaluateLoop(CDesignModel& model, ControlLoop loop, double f);

// The loop's stability metrics as the model holds them.
struct LoopStability {
    int32_t crossIdx;
    int32_t phaseCrossIdx;
    double fx, slope, gainMargin, phaseMargin;
};
LoopStability StabilityOf(const CDesignModel& model, ControlLoop loop);

inline const std::vector<double>& BodeSeriesOf(const CDesignModel& model, ControlLoop loop, BodeSeries series)
{
    return model.*MembersOf(loop).series[series];
}
inline std::vector<double>& BodeSeriesOf(CDesignModel& model, ControlLoop loop, BodeSeries series)
{
    return model.*MembersOf(loop).series[series];
}

}  // namespace qxr
