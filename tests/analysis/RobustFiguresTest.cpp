#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/ExactMetrics.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;
using Complex = std::complex<double>;

// L(jw) from its factors, written out once more: k / s, the compensator
// wp0 / s (1 + s / wz1) / (1 + s / wp1) and the sampling lag as a pure delay.
Complex LoopGain(const LoopModel& loop, double w)
{
    const Complex s(0, w);
    const Compensator& c = loop.compensator;
    const double delay = loop.sampled ? (0.5 + loop.tD) / loop.fSamp : 0.0;
    return loop.plant.Constant() / s * (c.wp0 / s) * (1.0 + s / c.wz1) / (1.0 + s / c.wp1) * std::exp(-s * delay);
}

// Ms as the largest |1 / (1 + L)| on a million log-spaced points of the range.
double ScannedMs(const LoopModel& loop)
{
    constexpr int kPoints = 1000000;
    const double lo = std::log(kTwoPi * loop.range.start);
    const double hi = std::log(kTwoPi * loop.range.stop);
    double ms = 0;
    for (int k = 0; k <= kPoints; ++k)
        ms = std::fmax(ms, 1 / std::abs(1.0 + LoopGain(loop, std::exp(lo + (hi - lo) * k / kPoints))));
    return ms;
}

// The crossover by bisection on |L| = 1 and the delay that turns L there into -1.
struct DelayFigures {
    double wc, margin;
};
DelayFigures DelayByDefinition(const LoopModel& loop)
{
    double lo = kTwoPi * loop.range.start, hi = kTwoPi * loop.range.stop;
    for (int i = 0; i < 200; ++i) {
        const double mid = std::sqrt(lo * hi);
        (std::abs(LoopGain(loop, mid)) > 1 ? lo : hi) = mid;
    }
    const double wc = std::sqrt(lo * hi);
    return {wc, std::arg(-LoopGain(loop, wc)) / wc};
}

struct NamedLoop {
    std::string what;
    LoopModel loop;
};

// Each loop of both default designs at nominal values and at its worst corner,
// and two hand-made loops with a sharp peak: little margin, and a long delay.
std::vector<NamedLoop> LoopsUnderTest()
{
    std::vector<NamedLoop> loops;
    for (int32_t mode : {CTop::ANALOG, CTop::DIGITAL}) {
        CDesignModel model;
        model.ad.SetUser(mode);
        Recalculate(model);
        const RobustnessInputs inputs = ReadRobustnessInputs(model);
        for (ControlLoop loop : kControlLoops) {
            const std::string what = std::to_string(mode) + (loop == ControlLoop::Voltage ? " voltage" : " current");
            loops.push_back({what, LoopAt(inputs, loop, inputs.nominal)});
            SweptValues worst = inputs.nominal;
            for (const auto& [name, value] : AnalyseCorners(inputs, loop).worstCorner) {
                for (const SweptQuantity& quantity : inputs.quantities) {
                    if (quantity.name == name)
                        worst[static_cast<std::size_t>(quantity.which)] = value;
                }
            }
            loops.push_back({what + " worst corner", LoopAt(inputs, loop, worst)});
        }
    }
    loops.push_back({"8 degrees", {{40, 1, 1, 1}, Compensator(1, 12, 8), false, 0, 0, {1, 1000}}});
    loops.push_back({"long delay", {{2e4, 1, 1, 1}, Compensator(100, 4e4, 300), true, 2e4, 1.5, {100, 2e4}}});
    return loops;
}

TEST(RobustFigures, MsAndDelayMarginEqualADenseScanAndTheDefinition)
{
    for (const NamedLoop& c : LoopsUnderTest()) {
        SCOPED_TRACE(c.what);
        const ExactMetrics metrics = ExactMetricsOf(c.loop);
        const double ms = ScannedMs(c.loop);
        EXPECT_NEAR(metrics.ms, ms, 1e-6 * ms);
        EXPECT_GT(metrics.ms, 1.0);
        EXPECT_DOUBLE_EQ(metrics.ModulusMargin(), 1 / metrics.ms);
        const DelayFigures delay = DelayByDefinition(c.loop);
        EXPECT_NEAR(metrics.delayMargin, delay.margin, 1e-6 * delay.margin);
        // That much more delay puts the loop gain on -1.
        const Complex atCrossover = LoopGain(c.loop, delay.wc) * std::exp(Complex(0, -delay.wc * metrics.delayMargin));
        EXPECT_NEAR(std::abs(1.0 + atCrossover), 0.0, 1e-6);
    }
}

TEST(RobustFigures, MsIsMeasuredWithoutACrossoverAndNaNWithoutNumbers)
{
    const LoopModel noCrossover{{1e-6, 1, 1, 1}, Compensator(10, 500, 2), false, 0, 0, {1, 1000}};
    const ExactMetrics metrics = ExactMetricsOf(noCrossover);
    EXPECT_TRUE(std::isnan(metrics.fx));
    EXPECT_TRUE(std::isnan(metrics.delayMargin));
    EXPECT_NEAR(metrics.ms, ScannedMs(noCrossover), 1e-6);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const LoopModel withoutNumbers{{10, 1, 1, 1}, Compensator(10, 500, nan), false, 0, 0, {1, 1000}};
    EXPECT_TRUE(std::isnan(ExactMetricsOf(withoutNumbers).ms));
}

}  // namespace
