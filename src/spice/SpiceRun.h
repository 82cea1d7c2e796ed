#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "analysis/MeasuredLoop.h"
#include "spice/SpiceDecks.h"
#include "spice/SpiceOutput.h"

// ngspice run on a deck as a program of its own, in batch mode: a crash or
// a hang of the simulator stops the run, never this program. It runs in a
// private temporary folder, removed afterwards with all it wrote.
namespace qxr {

// The environment variable that names the simulator to run instead of ngspice on the PATH.
inline constexpr const char* kNgspiceVariable = "QXR_NGSPICE";

// The simulator's path: QXR_NGSPICE when set, else ngspice found on the
// PATH; empty when there is none.
std::string NgspiceProgram();

inline constexpr const char* kNgspiceMissing =
    "ngspice is not installed: install the package ngspice (sudo apt install ngspice).";

struct SpiceRunOptions {
    std::string program = NgspiceProgram();
    std::chrono::milliseconds timeout{30000};
    std::size_t outputCap = std::size_t{16} * 1024 * 1024;  // bytes of ngspice's messages
};

// The data file a deck wrote, or why there is none: "ngspice stopped: ..."
// with its last error line, the time-out or the cap that stopped it.
struct SpiceRun {
    std::string error;
    std::string data;
    std::string lastErrorLine;  // of its messages, also when it wrote data: an analysis it gave up on
};

SpiceRun RunNgspice(const std::string& deck, const SpiceRunOptions& options = {});

// An AC deck's loop gain and its figures found on its points.
struct SpiceLoopResult {
    std::string error;
    std::vector<MeasuredPoint> points;  // Hz, dB, degrees
    ExactMetrics metrics;
};

// The points must span the loop's range, else the analysis stopped early.
SpiceLoopResult RunLoopDeck(const std::string& deck, const FrequencyRange& range, const SpiceRunOptions& options = {});
// The same from a run's output.
SpiceLoopResult LoopOfRun(const SpiceRun& run, const FrequencyRange& range);

// The transient deck's figures as the time domain reports them: the steady
// state at V__IN_NORM and full load, the output's extremes over the load step.
struct SpiceTransientResult {
    std::string error;
    double powerFactor = ExactMetrics::kNaN, thd = ExactMetrics::kNaN;      // 1, %
    double outputMin = ExactMetrics::kNaN, outputMax = ExactMetrics::kNaN;  // V
};

SpiceTransientResult RunTransientDeck(const std::string& deck, const TimeDomainInputs& inputs,
                                      const SpiceRunOptions& options = {});
SpiceTransientResult TransientOfRun(const SpiceRun& run, const TimeDomainInputs& inputs);

}  // namespace qxr
