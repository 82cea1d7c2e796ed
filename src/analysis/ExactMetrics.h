#pragma once

#include <array>
#include <cstddef>
#include <limits>

#include "calc/LoopModel.h"

// Stability figures of a loop found by root finding on its transfer functions
// rather than on the Bode grid, for any values of its parts.
namespace qxr {

struct ExactMetrics {
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

    double fx = kNaN;     // Hz: the lowest frequency of the range where the gain falls through 0 dB
    double pm = kNaN;     // degrees: 180 + phase at fx
    double gm = kNaN;     // dB: minus the gain where the phase next falls through -180; infinite when it does not
    double slope = kNaN;  // dB per decade at fx
    // The peak sensitivity, max |1 / (1 + L(jw))| over the range: 1 / Ms is
    // the loop's least distance from -1 (the modulus margin).
    double ms = kNaN;
    // s: the pure delay that uses up the phase margin, pm in rad / (2 pi fx);
    // a digital current loop's sampling lag is already in pm.
    double delayMargin = kNaN;

    double ModulusMargin() const { return 1 / ms; }
};

// The four figures in the order every output lists them.
inline constexpr std::array<double ExactMetrics::*, 4> kExactMetricMembers{&ExactMetrics::fx, &ExactMetrics::pm,
                                                                           &ExactMetrics::gm, &ExactMetrics::slope};
// Every figure the stability sweep gathers: the four, then the robust ones.
inline constexpr std::array<double ExactMetrics::*, 6> kSweptMetricMembers{
    &ExactMetrics::fx,    &ExactMetrics::pm, &ExactMetrics::gm,
    &ExactMetrics::slope, &ExactMetrics::ms, &ExactMetrics::delayMargin};
// Where the robust figures sit among them.
inline constexpr std::size_t kMsFigure = 4, kDelayMarginFigure = 5;
static_assert(kSweptMetricMembers[kMsFigure] == &ExactMetrics::ms &&
              kSweptMetricMembers[kDelayMarginFigure] == &ExactMetrics::delayMargin);

ExactMetrics ExactMetricsOf(const LoopModel& loop);

}  // namespace qxr
