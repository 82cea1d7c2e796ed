#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/ControlLoops.h"
#include "analysis/ExactMetrics.h"

// Stability of a fixed design over the load range and the tolerances of its
// parts: the corners of the envelope, Monte Carlo samples, and the boost
// stage's right-half-plane zero.
namespace qxr {

// The quantities the sweep varies, each named by its symbol. The load is the
// output power; every other quantity is a part or gain within its tolerance.
enum class Swept : std::size_t {
    Load,
    Inductance,
    OutputCapacitance,
    SenseResistor,
    RampVoltage,
    AmplifierRange,
    VoltageInputResistor,
    VoltageFeedbackResistor,
    VoltageZeroCapacitor,
    VoltagePoleCapacitor,
    CurrentInputResistor,
    CurrentFeedbackResistor,
    CurrentZeroCapacitor,
    CurrentPoleCapacitor,
};
inline constexpr std::size_t kSweptCount = 14;
using SweptValues = std::array<double, kSweptCount>;

// One varied quantity of a design: its symbol's name, the loop it belongs to
// and the ends of its range, in SI units.
struct SweptQuantity {
    Swept which;
    std::u16string name;
    ControlLoop loop;
    double nominal, low, high;
};

// Everything the analysis needs, read from the model on the thread that owns
// it; the analysis itself then runs anywhere.
struct RobustnessInputs {
    // Why the analysis cannot run (a setting out of its range); empty when it can.
    std::string notComputed;

    SweptValues nominal{};
    std::vector<SweptQuantity> quantities;  // the varied ones, in Swept order
    bool analog = true;                     // compensators from their parts, else from the design's positions
    double efficiency = 0, vOut = 0, fSamp = 0, tD = 0;
    std::array<Compensator, 2> designCompensators{Compensator(0, 0, 0), Compensator(0, 0, 0)};
    std::array<FrequencyRange, 2> ranges{};
    double vInMin = 0, vInMax = 0, loadMin = 0, inductanceTolerance = 0;

    int32_t distribution = 0;  // a CDistribution value
    uint32_t samples = 0;
    uint64_t seed = 0;
    double pmMin = 0, gmMin = 0;

    // The Bode grids of both loops, for the band over the corners.
    std::array<std::vector<double>, 2> grids;
};

RobustnessInputs ReadRobustnessInputs(CDesignModel& model);

// The loop of a design with the varied quantities at the given values.
LoopModel LoopAt(const RobustnessInputs& inputs, ControlLoop loop, const SweptValues& values);

struct MinMax {
    double min = ExactMetrics::kNaN, max = ExactMetrics::kNaN;
};
struct Percentiles {
    double p1 = ExactMetrics::kNaN, p50 = ExactMetrics::kNaN, p99 = ExactMetrics::kNaN;
};
// Per figure, in kSweptMetricMembers order.
using MetricRanges = std::array<MinMax, kSweptMetricMembers.size()>;

// Counts of values in equal bins from low to high.
struct Histogram {
    double low = ExactMetrics::kNaN, high = ExactMetrics::kNaN;
    std::vector<uint32_t> counts;
};

struct LoopRobustness {
    ExactMetrics nominal;
    MetricRanges envelope;  // over the corners
    MetricRanges overall;   // over the corners and the samples
    std::array<Percentiles, kSweptMetricMembers.size()> percentiles;
    double yield = ExactMetrics::kNaN;  // share of samples that meet the minimum margins, 0..1
    // The corner with the lowest phase margin (a corner without a crossover
    // counts as the lowest) and its quantities of this loop.
    double worstPm = ExactMetrics::kNaN;
    ExactMetrics worstCornerMetrics;                             // every figure of that corner
    std::vector<std::pair<std::u16string, double>> worstCorner;  // symbol name, value in SI
    // The samples' crossovers and finite phase margins.
    Histogram fxHistogram, pmHistogram;
    // Minimum and maximum over the corners at the frequencies of the loop's Bode grid.
    std::vector<double> bandFrequencies, gainMin, gainMax, phaseMin, phaseMax;
};

struct RhpzFigures {
    double nominal = ExactMetrics::kNaN, min = ExactMetrics::kNaN, max = ExactMetrics::kNaN;  // Hz
};

struct RobustnessReport {
    std::string notComputed;
    RhpzFigures rhpz;
    std::array<LoopRobustness, 2> loops;  // in ControlLoop order
};

// Called for each Monte Carlo sample with its values and both loops' figures.
using SampleSink = std::function<void(const SweptValues&, const std::array<ExactMetrics, 2>&)>;

struct RobustnessOptions {
    bool bands = false;  // fill the loops' bands over the corners
    SampleSink sampleSink;
    // Set from another thread to give up; the report is then incomplete.
    const std::atomic<bool>* cancel = nullptr;
};

// The settings that scale the work of the sweep, and their maxima: N__MC up
// to its recommended maximum (1000000), a fixed kHistogramBins, 2^7 corners
// per loop; and the switching frequency, up to which the phase of a sampled
// loop is scanned in steps of a sixteenth of a decade. Beyond a maximum the
// sweep is not computed.
inline constexpr std::size_t kHistogramBins = 40;
inline constexpr double kMaxSweepSwitchingFrequency = 100e6;  // Hz

RobustnessReport AnalyseRobustness(const RobustnessInputs& inputs, const RobustnessOptions& options = {});

// One loop at its nominal values and over its corners, without samples:
// nominal, envelope (overall the same), worstPm and the worst corner; with
// bands when asked.
LoopRobustness AnalyseCorners(const RobustnessInputs& inputs, ControlLoop loop, bool bands = false);

// The lowest right-half-plane zero over the line range, the load range and the
// inductance's tolerance, as the sweep finds it (Hz); reads the values in force.
double LowestRhpz(CDesignModel& model);

// The right-half-plane zero of the boost stage, R (1 - D)^2 / (2 pi L), at the
// peak of the line voltage vIn with the load resistance vOut^2 / pOut.
double RhpzFrequency(double vIn, double pOut, double inductance, double vOut);

}  // namespace qxr
