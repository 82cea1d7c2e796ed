#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "timedomain/Harmonics.h"
#include "timedomain/StageSimulation.h"
#include "timedomain/TimeDomainInputs.h"

// The time-domain scenarios of a design, each a function of the plain
// inputs returning a plain struct: the steady states over line and load,
// the IEC 61000-3-2 check, a load step, the start-up and the hold-up. A
// scenario that cannot run says why in notComputed and leaves its figures NaN.
namespace qxr {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The waveforms to plot or export, at most kMaxWaveformPoints points evenly
// spaced in time (the steady state: its last two line cycles).
struct Waveforms {
    std::vector<double> time;                      // s
    std::vector<double> lineVoltage, lineCurrent;  // V, A, signed
    std::vector<double> inductorCurrent, outputVoltage;
    std::vector<double> controlOutput;  // VAOUT (V), or the digital voltage loop's output
};
inline constexpr std::size_t kMaxWaveformPoints = 4000;

// How close the voltage controller runs to the end of its range over a line period.
struct ControlHeadroom {
    double mean = kNaN, max = kNaN, limit = kNaN;
    double headroom = kNaN;      // limit less max
    double limitedShare = kNaN;  // of the period spent at the limit, 0 to 1
    bool atLimit = false;
    std::string text;  // says so when at its limit, else empty
};

struct SteadyStatePoint {
    std::string notComputed;
    double lineVoltage = kNaN;   // V rms
    double loadFraction = kNaN;  // of P__OUT
    bool settled = false;
    double simulatedTime = kNaN;  // s until settled
    std::string settlingNote;     // why not settled, else empty

    HarmonicAnalysis harmonics;  // of the line current over the analysed period
    HarmonicLimitCheck limits;
    double outputMean = kNaN, outputPeakToPeak = kNaN, outputPower = kNaN, inductorPeak = kNaN;
    ControlHeadroom headroom;
    Waveforms waveforms;
};

struct SteadyStateReport {
    std::string notComputed;
    // For V__IN_MIN, V__IN_NORM and V__IN_MAX in turn: full load, half load and P__LOAD_MIN.
    std::vector<SteadyStatePoint> points;
};

// What the voltage loop sees at the operating point: the input power per
// unit of controller output its plant assumes and what the multiplier gives
// there, and the loop's crossover with each.
struct VoltageLoopGain {
    double assumedPowerPerUnit = kNaN, effectivePowerPerUnit = kNaN;  // W of input power per V (or unit)
    double designedCrossover = kNaN, effectiveCrossover = kNaN;       // Hz
    double effectivePhaseMargin = kNaN;                               // degrees
};

// The output after one change of the load or the line, until it is back
// within 1 % of V__OUT (its mean over half a line period).
struct Recovery {
    double outputMin = kNaN, outputMax = kNaN;      // V, instantaneous
    double averagedMin = kNaN, averagedMax = kNaN;  // V, over half a line period
    double inductorPeak = kNaN;                     // A
    double settlingTime = kNaN;                     // s after the change; NaN when it does not settle
    std::string note;                               // why there is no settling time
};

struct LoadStepResult {
    std::string notComputed;
    double lineVoltage = kNaN, fromPower = kNaN, toPower = kNaN;  // V rms, W, W
    Recovery step, stepBack;
    double outputMin = kNaN, outputMax = kNaN;
    bool reachesOverVoltage = false;  // the maximum reaches V__OUT_MAX
    bool fallsBelowMinimum = false;   // the minimum falls below V__OUT_MIN
    VoltageLoopGain loop;
    Waveforms waveforms;
};

struct StartUpResult {
    std::string notComputed;
    double lineVoltage = kNaN;
    Recovery regulation;  // from the start: overshoot is outputMax, time to regulation settlingTime
    Waveforms waveforms;
};

struct HoldUpResult {
    std::string notComputed;
    double lineVoltage = kNaN;
    double outputAtEnd = kNaN;  // V after t__H without the line
    double outputMin = kNaN;    // V__OUT_MIN, which C__OUT is sized for
    bool holdsUp = false;       // outputAtEnd at or above V__OUT_MIN
    Recovery recovery;          // from the line's return
    Waveforms waveforms;
};

struct TimeDomainReport {
    std::string notComputed;
    SteadyStateReport steadyStates;
    LoadStepResult loadStep;
    StartUpResult startUp;
    HoldUpResult holdUp;
};

SteadyStatePoint SimulateSteadyState(const TimeDomainInputs& inputs, double lineVoltage, double loadFraction,
                                     const SimulationOptions& options = {});
SteadyStateReport SimulateSteadyStates(const TimeDomainInputs& inputs, const SimulationOptions& options = {});
// At V__IN_NORM, from P__STEP_FROM to P__STEP_TO and back.
LoadStepResult SimulateLoadStep(const TimeDomainInputs& inputs, const SimulationOptions& options = {});
// At V__IN_NORM and full load, the output precharged to the line peak, with the soft start.
StartUpResult SimulateStartUp(const TimeDomainInputs& inputs, const SimulationOptions& options = {});
// At V__IN_NORM and full load: the line removed for t__H from the steady state, then back.
HoldUpResult SimulateHoldUp(const TimeDomainInputs& inputs, const SimulationOptions& options = {});
VoltageLoopGain EffectiveVoltageLoop(const TimeDomainInputs& inputs, double lineVoltage);
// Every scenario, each an independent run: up to `threads` of them at once,
// the calling thread among them. The report is the same for any number.
TimeDomainReport SimulateTimeDomain(const TimeDomainInputs& inputs, const SimulationOptions& options = {},
                                    unsigned threads = 1);

}  // namespace qxr
