#include "analysis/ExactMetrics.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// The distance from -1 is smooth in log frequency, its dips a good part of a
// decade wide or wider; a scan finds each dip and Brent's method (golden
// sections and parabolic steps) pins it down.
constexpr double kScanStepsPerDecade = 16;
constexpr double kDipTolerance = 1e-7;  // in ln w: far below what moves Ms by 1e-9

// The minimum of f over [a, b], f unimodal there.
template <class F>
double BrentMinimum(const F& f, double a, double b)
{
    constexpr double kGolden = 0.3819660112501051;
    double x = a + kGolden * (b - a), w = x, v = x;
    double fx = f(x), fw = fx, fv = fx;
    double d = 0, e = 0;
    for (int i = 0; i < kMaxIterations; ++i) {
        const double m = (a + b) / 2;
        const double tol = kDipTolerance;
        if (std::fabs(x - m) <= 2 * tol - (b - a) / 2)
            break;
        bool parabolic = false;
        if (std::fabs(e) > tol) {
            const double r = (x - w) * (fx - fv);
            double q = (x - v) * (fx - fw);
            double p = (x - v) * q - (x - w) * r;
            q = 2 * (q - r);
            if (q > 0)
                p = -p;
            q = std::fabs(q);
            if (std::fabs(p) < std::fabs(q * e / 2) && p > q * (a - x) && p < q * (b - x)) {
                e = d;
                d = p / q;
                parabolic = true;
                if (x + d - a < 2 * tol || b - (x + d) < 2 * tol)
                    d = x < m ? tol : -tol;
            }
        }
        if (!parabolic) {
            e = (x < m ? b : a) - x;
            d = kGolden * e;
        }
        const double u = std::fabs(d) >= tol ? x + d : x + (d > 0 ? tol : -tol);
        const double fu = f(u);
        if (fu <= fx) {
            (u < x ? b : a) = x;
            v = w, fv = fw, w = x, fw = fx, x = u, fx = fu;
        } else {
            (u < x ? a : b) = u;
            if (fu <= fw || w == x) {
                v = w, fv = fw, w = u, fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        }
    }
    return fx;
}

// |L| and |1 + L|^2 at w without a transcendental function but the lag's:
// 1 / (jw)^2 is -1 / w^2 and (1 + ja) / (1 + jb) is ((1 + ab) + j(a - b)) / (1 + b^2).
struct LoopPoint {
    double magnitude, distanceSquared;
};
LoopPoint LoopPointAt(const LoopModel& loop, double w)
{
    const Compensator& c = loop.compensator;
    const double a = w / c.wz1, b = w / c.wp1;
    const double g = loop.plant.Constant() * c.wp0 / (w * w) / (1 + b * b);
    double re = 1 + a * b, im = a - b;
    if (loop.sampled) {
        const double lag = loop.SamplingLag(w);
        const double cosine = std::cos(lag), sine = std::sin(lag);
        const double rotated = re * cosine + im * sine;
        im = im * cosine - re * sine;
        re = rotated;
    }
    const double x = 1 - g * re, y = g * im;
    return {g * std::sqrt((1 + a * a) * (1 + b * b)), x * x + y * y};
}

// max |1 / (1 + L)| over the range. |L| falls with w, so |1 + L| >= ||L| - 1|
// grows away from the crossover: the scan runs out from it until that bound
// passes the least distance found, and every dip it saw is refined.
double PeakSensitivity(const LoopModel& loop)
{
    const double lo = std::log(kTwoPi * loop.range.start);
    const double hi = std::log(kTwoPi * loop.range.stop);
    const int steps = std::max(2, static_cast<int>(std::ceil((hi - lo) / std::log(10.0) * kScanStepsPerDecade)));
    const double step = (hi - lo) / steps;
    const auto lnW = [&](int k) { return lo + step * k; };
    const auto distance = [&loop](double x) { return LoopPointAt(loop, std::exp(x)).distanceSquared; };

    const double wc = GainCrossover(loop);
    const int start =
        std::isnan(wc) ? 0 : std::clamp(static_cast<int>(std::lround((std::log(wc) - lo) / step)), 0, steps);
    std::vector<double> scan(static_cast<std::size_t>(steps) + 1, ExactMetrics::kInfinity);
    double least = ExactMetrics::kInfinity;
    int first = start, last = start;
    const auto visit = [&](int k) {
        const LoopPoint point = LoopPointAt(loop, std::exp(lnW(k)));
        scan[static_cast<std::size_t>(k)] = point.distanceSquared;
        least = std::fmin(least, point.distanceSquared);
        const double bound = point.magnitude - 1;
        return !std::isnan(wc) && bound * bound >= least;  // nothing further out comes closer
    };
    visit(start);
    for (bool done = false; last < steps && !done;)
        done = visit(++last);
    for (bool done = false; first > 0 && !done;)
        done = visit(--first);
    if (last < steps)
        visit(++last);  // a dip at the last point seen needs its neighbour
    if (first > 0)
        visit(--first);
    for (int k = first; k <= last; ++k) {
        const double here = scan[static_cast<std::size_t>(k)];
        if (std::isnan(here))
            return ExactMetrics::kNaN;
        const bool dip = (k == 0 || here <= scan[static_cast<std::size_t>(k - 1)]) &&
                         (k == steps || here <= scan[static_cast<std::size_t>(k + 1)]);
        if (dip && k > 0 && k < steps)
            least = std::fmin(least, BrentMinimum(distance, lnW(k - 1), lnW(k + 1)));
    }
    return 1 / std::sqrt(least);
}

}  // namespace

ExactMetrics ExactMetricsOf(const LoopModel& loop)
{
    ExactMetrics metrics;
    metrics.ms = PeakSensitivity(loop);
    const double wc = GainCrossover(loop);
    const double wStop = kTwoPi * loop.range.stop;
    if (!(wc >= kTwoPi * loop.range.start && wc <= wStop))
        return metrics;
    metrics.fx = wc / kTwoPi;
    metrics.pm = 180 + loop.PhaseDeg(wc);
    metrics.delayMargin = metrics.pm * kDegToRad / wc;
    metrics.slope = loop.SlopeDbPerDecade(wc);
    const double w180 = PhaseCrossover(loop, wc, wStop);
    metrics.gm = std::isnan(w180) ? std::numeric_limits<double>::infinity() : -loop.GainDb(w180);
    return metrics;
}

}  // namespace qxr
