#include "analysis/ExactMetrics.h"

#include <cmath>

#include "calc/DesignConstants.h"

namespace qxr {

namespace {

constexpr int kMaxIterations = 200;

// The angular frequency where |L(jw)| = 1, or NaN. With x = w^2 the condition
// (k wp0)^2 (1 + x / wz^2) = x^2 (1 + x / wp^2) is a cubic with exactly one
// positive root, and since |L| falls strictly with w it is the only crossover.
// The cubic is convex for x > 0, so Newton's method started right of the root
// descends onto it without overshooting.
double GainCrossover(const LoopModel& loop)
{
    const Compensator& c = loop.compensator;
    const double gain = loop.plant.Constant() * c.wp0;
    const double A = gain * gain;
    const double a = 1 / (c.wz1 * c.wz1);
    const double b = 1 / (c.wp1 * c.wp1);
    if (!(gain > 0 && std::isfinite(A) && A > 0 && std::isfinite(a) && std::isfinite(b)))
        return ExactMetrics::kNaN;
    const auto f = [&](double x) { return x * x * (1 + b * x) - A * (1 + a * x); };
    const auto slope = [&](double x) { return 2 * x + 3 * b * x * x - A * a; };
    double x = A * a + std::sqrt(A);  // f(x) >= A a sqrt(A) >= 0 here
    for (int i = 0; i < kMaxIterations; ++i) {
        const double next = x - f(x) / slope(x);
        if (!(next < x))
            break;
        x = next;
    }
    return std::sqrt(x);
}

// The root of the phase excess g between lo (g >= 0) and hi (g < 0): Newton
// steps while they stay inside the bracket, halving it otherwise.
template <class G>
double FallThroughIn(const LoopModel& loop, const G& g, double lo, double hi)
{
    double w = std::sqrt(lo * hi);
    for (int i = 0; i < kMaxIterations; ++i) {
        const double gw = g(w);
        if (gw == 0)
            return w;
        (gw > 0 ? lo : hi) = w;
        double next = w - gw / loop.PhaseSlopeDegPerRad(w);
        if (!(next > lo && next < hi))
            next = lo + (hi - lo) / 2;
        if (next == w)
            break;
        w = next;
    }
    return w;
}

// The lowest angular frequency above wc, up to wStop, where the loop phase
// falls through -180 degrees, or NaN. Without a sampling lag the phase plus
// 180 degrees is atan(w/wz) - atan(w/wp), whose sign never changes for w > 0,
// so only a sampled loop can fall through. With the zero below the pole its
// phase excess rises to one maximum and then only falls, so from a margin
// that is not negative the ends of the range decide; otherwise the phase is
// scanned in steps of a sixteenth of a decade.
double PhaseCrossover(const LoopModel& loop, double wc, double wStop)
{
    if (!loop.sampled)
        return ExactMetrics::kNaN;
    const auto g = [&loop](double w) { return loop.PhaseDeg(w) + 180; };
    double w = wc;
    double gw = g(w);
    const Compensator& c = loop.compensator;
    if (gw >= 0 && c.wz1 > 0 && c.wz1 < c.wp1) {
        const double gStop = g(wStop);
        return gStop < 0 ? FallThroughIn(loop, g, wc, wStop) : ExactMetrics::kNaN;
    }
    const double step = std::pow(10.0, 1.0 / 16);
    while (w < wStop) {
        const double next = std::fmin(w * step, wStop);
        const double gNext = g(next);
        if (gw >= 0 && gNext < 0)
            return FallThroughIn(loop, g, w, next);
        w = next;
        gw = gNext;
    }
    return ExactMetrics::kNaN;
}

}  // namespace

ExactMetrics ExactMetricsOf(const LoopModel& loop)
{
    ExactMetrics metrics;
    const double wc = GainCrossover(loop);
    const double wStop = kTwoPi * loop.range.stop;
    if (!(wc >= kTwoPi * loop.range.start && wc <= wStop))
        return metrics;
    metrics.fx = wc / kTwoPi;
    metrics.pm = 180 + loop.PhaseDeg(wc);
    metrics.slope = loop.SlopeDbPerDecade(wc);
    const double w180 = PhaseCrossover(loop, wc, wStop);
    metrics.gm = std::isnan(w180) ? std::numeric_limits<double>::infinity() : -loop.GainDb(w180);
    return metrics;
}

}  // namespace qxr
