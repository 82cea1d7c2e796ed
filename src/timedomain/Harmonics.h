#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// The line current's harmonics over one line period, and the IEC 61000-3-2
// limits they are held against.
namespace qxr {

inline constexpr int kHighestHarmonic = 40;
using HarmonicSeries = std::array<double, kHighestHarmonic + 1>;  // index = order; 0 unused

struct HarmonicAnalysis {
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    HarmonicSeries rms{};            // A
    double thd = kNaN;               // %: orders 2..40 over the fundamental
    double thirdHarmonic = kNaN;     // % of the fundamental
    double powerFactor = kNaN;       // real power over Vrms Irms
    double inputPower = kNaN;        // W
    double rmsCurrent = kNaN;        // A
    double fundamentalPhase = kNaN;  // degrees the current's fundamental leads the voltage's
};

// A Fourier analysis of samples spaced evenly over exactly one period, the
// first at phase 0 of the period.
HarmonicAnalysis AnalyseOnePeriod(const std::vector<double>& lineVoltage, const std::vector<double>& lineCurrent);

// --- IEC 61000-3-2

// Class A, in A rms; NaN for an order without a limit (the fundamental).
double ClassALimit(int order);
// Class D, in A rms per watt of input power, before the cap at Class A; NaN where none (the even orders).
double ClassDLimitPerWatt(int order);

// An order's limit in a class at an input power: Class D's per watt, capped at Class A's.
double LimitOf(int order, int32_t harmonicClass, double inputPower);

// The standard sets no limits for equipment rated at or below this input power, and Class D applies only up to
// the second. The rating decides; Class D's limits per watt take the power measured at the point.
inline constexpr double kNoLimitsUpTo = 75;  // W
inline constexpr double kClassDUpTo = 600;   // W

struct HarmonicLimitCheck {
    enum class Verdict { Pass, Fail, NoLimits };

    int32_t appliedClass = 0;  // a CHarmonicClass value: the class whose limits were applied
    Verdict verdict = Verdict::NoLimits;
    HarmonicSeries limit{};   // A, NaN for orders without a limit
    HarmonicSeries margin{};  // limit less the harmonic, A; NaN without a limit
    // The order closest to its limit, as a share of the limit: its margin in A and in % of its limit.
    double smallestMargin = HarmonicAnalysis::kNaN;
    double smallestMarginPercent = HarmonicAnalysis::kNaN;
    int smallestMarginOrder = 0;
    std::string text;  // the verdict as a sentence
};

// The harmonics against the limits of a class, for equipment of a rated input power.
HarmonicLimitCheck CheckHarmonicLimits(const HarmonicAnalysis& harmonics, int32_t harmonicClass, double ratedPower);

}  // namespace qxr
