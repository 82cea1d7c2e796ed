#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ExactMetrics.h"

// Loop gain measured on the bench (a frequency response analyser's export)
// and its stability figures, found on the points themselves.
namespace qxr {

struct MeasuredPoint {
    double freq;      // Hz
    double gainDb;    // dB
    double phaseDeg;  // degrees, unwrapped so that neighbours differ by less than 180
};

// A measurement file read whole, or the first problem found in it.
struct MeasurementRead {
    std::vector<MeasuredPoint> points;  // empty when error is set
    std::string error;                  // "line N: ...", empty when the file is good
};

// CSV or tab-separated text with a header naming the columns: frequency, and
// gain (dB) with phase (degrees) or real with imaginary part, in any order.
// Fields are separated by tabs, semicolons or commas (whichever the header
// uses), numbers use a "." decimal point, frequencies rise strictly. Blank
// lines and lines starting with '#' are skipped. Of several gain or phase
// columns the one whose name says "loop" is taken, so the Bode CSV of a
// design reads back as its loop. A gain beyond kMaxMeasuredGainDb, a phase
// beyond kMaxMeasuredPhaseDeg (either sign) or more than kMaxMeasuredPoints
// data lines are refused. What reads has finite numbers only.
MeasurementRead ReadMeasurement(std::string_view text);

// An analyser's export holds a few thousand rows; these bound the time a
// file can take to read on the UI thread.
inline constexpr std::size_t kMaxMeasurementBytes = std::size_t{8} * 1024 * 1024;
inline constexpr std::size_t kMaxMeasuredPoints = 100000;
// Far beyond anything measured, and small enough that differences of them
// never overflow.
inline constexpr double kMaxMeasuredGainDb = 1e4;
inline constexpr double kMaxMeasuredPhaseDeg = 1e6;

// The same from a file, read through ReadFileBytes; a file that cannot be
// read gives the system's reason as its error.
MeasurementRead ReadMeasurementFile(const std::string& path);

// Crossover, phase margin, gain margin and slope on the points, interpolated
// linearly in log frequency. The phase margin is 180 + the phase at the
// crossover, brought into (-180, 180], so a phase wrapped by the analyser
// gives the same figure. The gain margin is minus the gain where the phase
// next falls through that -180 level; infinite when it does not within the
// points. Otherwise every figure is finite; without a crossover every figure
// is NaN.
ExactMetrics MeasuredMetricsOf(const std::vector<MeasuredPoint>& points);

}  // namespace qxr
