#pragma once

#include <array>
#include <limits>

#include "calc/LoopModel.h"

// Stability figures of a loop found by root finding on its transfer functions
// rather than on the Bode grid, for any values of its parts.
namespace qxr {

struct ExactMetrics {
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    double fx = kNaN;     // Hz: the lowest frequency of the range where the gain falls through 0 dB
    double pm = kNaN;     // degrees: 180 + phase at fx
    double gm = kNaN;     // dB: minus the gain where the phase next falls through -180; infinite when it does not
    double slope = kNaN;  // dB per decade at fx
};

// The four figures in the order every output lists them.
inline constexpr std::array<double ExactMetrics::*, 4> kExactMetricMembers{&ExactMetrics::fx, &ExactMetrics::pm,
                                                                           &ExactMetrics::gm, &ExactMetrics::slope};

ExactMetrics ExactMetricsOf(const LoopModel& loop);

}  // namespace qxr
