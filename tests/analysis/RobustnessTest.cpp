#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/ControlLoops.h"
#include "analysis/ExactMetrics.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;

constexpr double kInf = std::numeric_limits<double>::infinity();

void Design(CDesignModel& model, int32_t mode)
{
    model.ad.SetUser(mode);
    qxr::Recalculate(model);
}

// Bisection on f over [lo, hi] in log frequency, f(lo) > 0 > f(hi): slow and plain,
// independent of the root finding under test.
double Bisect(const std::function<double(double)>& f, double lo, double hi)
{
    for (int i = 0; i < 200; ++i) {
        const double mid = std::sqrt(lo * hi);
        (f(mid) > 0 ? lo : hi) = mid;
    }
    return std::sqrt(lo * hi);
}

// The figures of a loop by bisection on its curves as the Bode data have them, at nominal values.
ExactMetrics IndependentMetrics(CDesignModel& model, ControlLoop loop)
{
    const LoopModel transfer = LoopModelOf(model, loop);
    const std::function<double(double)> gain = [&](double w) { return transfer.SummedGainDb(w); };
    const std::function<double(double)> phase = [&](double w) { return EvaluateLoop(transfer, w / kTwoPi).loopPhase; };
    const FrequencyRange range = transfer.range;
    ExactMetrics metrics;
    const double wc = Bisect(gain, kTwoPi * range.start, kTwoPi * range.stop);
    metrics.fx = wc / kTwoPi;
    metrics.pm = 180 + phase(wc);
    const double h = 1e-4;  // decades
    metrics.slope = (gain(wc * std::pow(10, h)) - gain(wc * std::pow(10, -h))) / (2 * h);
    const std::function<double(double)> excess = [&](double w) { return phase(w) + 180; };
    metrics.gm = excess(kTwoPi * range.stop) < 0 ? -gain(Bisect(excess, wc, kTwoPi * range.stop)) : kInf;
    return metrics;
}

ExactMetrics NominalMetrics(CDesignModel& model, ControlLoop loop)
{
    const RobustnessInputs inputs = ReadRobustnessInputs(model);
    return ExactMetricsOf(LoopAt(inputs, loop, inputs.nominal));
}

struct ModeLoop {
    int32_t mode;
    ControlLoop loop;
};
const ModeLoop kModeLoops[] = {{CTop::ANALOG, ControlLoop::Voltage},
                               {CTop::ANALOG, ControlLoop::Current},
                               {CTop::DIGITAL, ControlLoop::Voltage},
                               {CTop::DIGITAL, ControlLoop::Current}};

TEST(ExactMetrics, NominalFiguresEqualAnIndependentRootFinding)
{
    for (const ModeLoop& c : kModeLoops) {
        CDesignModel model;
        Design(model, c.mode);
        SCOPED_TRACE(testing::Message() << c.mode << " loop " << static_cast<int>(c.loop));
        const ExactMetrics exact = NominalMetrics(model, c.loop);
        const ExactMetrics independent = IndependentMetrics(model, c.loop);
        EXPECT_NEAR(exact.fx, independent.fx, 1e-9 * independent.fx);
        EXPECT_NEAR(exact.pm, independent.pm, 1e-9);
        EXPECT_NEAR(exact.slope, independent.slope, 1e-6);
        if (std::isinf(independent.gm))
            EXPECT_EQ(exact.gm, independent.gm);
        else
            EXPECT_NEAR(exact.gm, independent.gm, 1e-9);
    }
}

TEST(ExactMetrics, EqualTheGridFiguresWhereTheCrossoverIsAGridPoint)
{
    for (int32_t mode : {CTop::ANALOG, CTop::DIGITAL}) {
        CDesignModel model;
        Design(model, mode);
        const ExactMetrics exact = NominalMetrics(model, ControlLoop::Voltage);
        EXPECT_NEAR(exact.fx, 7.0, 1e-9);
        EXPECT_NEAR(exact.fx, model.Loop(qxr::ControlLoop::Voltage).fx, 1e-9);
        EXPECT_NEAR(exact.pm, 60.0, 1e-9);
        EXPECT_NEAR(exact.pm, model.Loop(qxr::ControlLoop::Voltage).phaseMargin, 1e-9);
    }
}

// Without a sampling lag the phase never reaches -180 degrees; the digital
// current loop's lag makes it fall through.
TEST(ExactMetrics, GainMarginIsInfiniteOnlyWithoutSamplingLag)
{
    for (const ModeLoop& c : kModeLoops) {
        CDesignModel model;
        Design(model, c.mode);
        const double gm = NominalMetrics(model, c.loop).gm;
        if (c.mode == CTop::DIGITAL && c.loop == ControlLoop::Current) {
            EXPECT_TRUE(std::isfinite(gm));
            EXPECT_GT(gm, 0.0);
        } else {
            EXPECT_EQ(gm, kInf) << c.mode << " " << static_cast<int>(c.loop);
        }
    }
}

TEST(ExactMetrics, NoCrossoverInsideTheRangeOrWithoutNumbersGivesNaN)
{
    const Compensator compensator(10, 500, 2);
    struct Case {
        const char* what;
        double plantConstant;
        Compensator compensator;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"crossover below the range", 1e-6, compensator},
        {"crossover above the range", 1e9, compensator},
        {"negative gain", -10, compensator},
        {"NaN plant", nan, compensator},
        {"infinite plant", kInf, compensator},
        {"NaN zero", 10, Compensator(10, 500, nan)},
        {"zero at 0 Hz", 10, Compensator(10, 500, 0)},
    };
    for (const Case& c : cases) {
        LoopModel loop{{c.plantConstant, 1, 1, 1}, c.compensator, true, 1e3, 0.5, {1, 1000}};
        const ExactMetrics metrics = ExactMetricsOf(loop);
        EXPECT_TRUE(std::isnan(metrics.fx)) << c.what;
        EXPECT_TRUE(std::isnan(metrics.pm)) << c.what;
        EXPECT_TRUE(std::isnan(metrics.gm)) << c.what;
    }
}

TEST(Robustness, CompensatorsFromTheirPartsAreTheDesignsOwn)
{
    CDesignModel model;
    Design(model, CTop::ANALOG);
    const RobustnessInputs inputs = ReadRobustnessInputs(model);
    const Compensator voltage = LoopAt(inputs, ControlLoop::Voltage, inputs.nominal).compensator;
    const Compensator current = LoopAt(inputs, ControlLoop::Current, inputs.nominal).compensator;
    const double expected[] = {model.v_fcp0.Value(), model.v_fcp1.Value(), model.v_fcz1.Value(),
                               model.i_fcp0.Value(), model.i_fcp1.Value(), model.i_fcz1.Value()};
    const double actual[] = {voltage.wp0, voltage.wp1, voltage.wz1, current.wp0, current.wp1, current.wz1};
    for (std::size_t k = 0; k < 6; ++k)
        EXPECT_NEAR(actual[k] / kTwoPi, expected[k], 1e-12 * expected[k]) << k;
}

// With no tolerance and the load fixed at full, every corner and sample is the nominal design.
TEST(Robustness, WithoutSpreadEveryFigureIsTheNominalOne)
{
    for (int32_t mode : {CTop::ANALOG, CTop::DIGITAL}) {
        CDesignModel model;
        for (CSymbol* tolerance : {&model.TOL__L_MIN, &model.TOL__C_OUT, &model.TOL__R_SENSE, &model.TOL__R_COMP,
                                   &model.TOL__C_COMP, &model.TOL__GAIN})
            tolerance->SetUser(0);
        model.P__LOAD_MIN.SetUser(100);
        model.N__MC.SetUser(50);
        Design(model, mode);
        const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(model));
        ASSERT_EQ(report.notComputed, "");
        for (const LoopRobustness& loop : report.loops) {
            for (std::size_t k = 0; k < kSweptMetricMembers.size(); ++k) {
                const double nominal = loop.nominal.*kSweptMetricMembers[k];
                EXPECT_EQ(loop.envelope[k].min, nominal) << k;
                EXPECT_EQ(loop.overall[k].max, nominal) << k;
                EXPECT_EQ(loop.percentiles[k].p1, nominal) << k;
                EXPECT_EQ(loop.percentiles[k].p99, nominal) << k;
            }
            EXPECT_EQ(loop.yield, 1.0);
            EXPECT_EQ(loop.worstPm, loop.nominal.pm);
        }
    }
}

TEST(Robustness, LightLoadLowersTheVoltageCrossover)
{
    CDesignModel model;
    Design(model, CTop::ANALOG);
    const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(model));
    const LoopRobustness& voltage = report.loops[0];
    EXPECT_LT(voltage.envelope[0].min, 0.5 * voltage.nominal.fx);
    EXPECT_GT(voltage.envelope[0].max, voltage.nominal.fx);
    EXPECT_LE(voltage.overall[0].min, voltage.envelope[0].min);
    EXPECT_GE(voltage.overall[0].max, voltage.envelope[0].max);
    // The worst corner names the loop's quantities with values at their ends.
    ASSERT_EQ(voltage.worstCorner.size(), 7u);
    EXPECT_EQ(voltage.worstCorner[0].first, u"P__OUT");
    EXPECT_EQ(voltage.worstCorner[0].second, 0.1 * model.P__OUT.Value());  // the light-load end
    EXPECT_EQ(voltage.worstPm, voltage.envelope[1].min);
    EXPECT_EQ(report.loops[1].worstCorner.size(), 7u);
    for (const LoopRobustness& loop : report.loops) {
        EXPECT_GT(loop.yield, 0.0);
        EXPECT_LE(loop.yield, 1.0);
        EXPECT_LE(loop.percentiles[1].p1, loop.percentiles[1].p50);
        EXPECT_LE(loop.percentiles[1].p50, loop.percentiles[1].p99);
    }
}

TEST(Robustness, HistogramsCountEverySampleWithAFiniteFigure)
{
    CDesignModel model;
    model.N__MC.SetUser(1000);
    Design(model, CTop::ANALOG);
    const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(model));
    for (const LoopRobustness& loop : report.loops) {
        for (const auto& [histogram, figure] : {std::pair{&loop.fxHistogram, 0}, {&loop.pmHistogram, 1}}) {
            ASSERT_EQ(histogram->counts.size(), kHistogramBins);
            uint32_t total = 0;
            for (uint32_t count : histogram->counts)
                total += count;
            EXPECT_EQ(total, 1000u);
            EXPECT_GE(histogram->low, loop.overall[figure].min);
            EXPECT_LE(histogram->high, loop.overall[figure].max);
            EXPECT_GT(histogram->counts.front(), 0u);
            EXPECT_GT(histogram->counts.back(), 0u);
        }
    }
}

TEST(Robustness, YieldCountsTheSamplesThatMeetBothMargins)
{
    CDesignModel model;
    Design(model, CTop::DIGITAL);
    const auto yield = [&model](double pmMin, double gmMin) {
        model.PM__MIN.SetUser(pmMin);
        model.GM__MIN.SetUser(gmMin);
        return AnalyseRobustness(ReadRobustnessInputs(model)).loops[1].yield;
    };
    const LoopRobustness current = AnalyseRobustness(ReadRobustnessInputs(model)).loops[1];
    EXPECT_EQ(yield(current.overall[1].min, current.overall[2].min), 1.0);
    EXPECT_EQ(yield(current.overall[1].max + 1, -1000), 0.0);
    EXPECT_EQ(yield(-1000, current.overall[2].max + 1), 0.0);
    const double median = yield(current.percentiles[1].p50, -1000);
    EXPECT_GE(median, 0.5);
    EXPECT_LT(median, 0.51);
}

// A sample exactly at a minimum margin is good. Each case sets one minimum
// to the figure of one sample and counts, from the samples themselves, how
// many reach it.
TEST(Robustness, ASampleExactlyAtAMinimumMarginCountsAsGood)
{
    CDesignModel model;
    model.N__MC.SetUser(200);
    Design(model, CTop::DIGITAL);
    std::vector<ExactMetrics> samples;
    RobustnessOptions options;
    options.sampleSink = [&](const SweptValues&, const std::array<ExactMetrics, 2>& metrics) {
        samples.push_back(metrics[1]);
    };
    AnalyseRobustness(ReadRobustnessInputs(model), options);
    ASSERT_EQ(samples.size(), 200u);
    const auto byPm = [](const ExactMetrics& a, const ExactMetrics& b) { return a.pm < b.pm; };
    const auto byGm = [](const ExactMetrics& a, const ExactMetrics& b) { return a.gm < b.gm; };
    struct Case {
        const char* what;
        double pmMin, gmMin;
    };
    const Case cases[] = {
        {"the lowest phase margin", std::min_element(samples.begin(), samples.end(), byPm)->pm, -1000},
        {"the highest phase margin", std::max_element(samples.begin(), samples.end(), byPm)->pm, -1000},
        {"a middle phase margin", samples[100].pm, -1000},
        {"the lowest gain margin", -1000, std::min_element(samples.begin(), samples.end(), byGm)->gm},
        {"the highest gain margin", -1000, std::max_element(samples.begin(), samples.end(), byGm)->gm},
        {"both of one sample", samples[7].pm, samples[7].gm},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(std::isfinite(c.pmMin) && std::isfinite(c.gmMin));
        const auto good = std::count_if(samples.begin(), samples.end(), [&c](const ExactMetrics& m) {
            return !std::isnan(m.fx) && m.pm >= c.pmMin && m.gm >= c.gmMin;
        });
        model.PM__MIN.SetUser(c.pmMin);
        model.GM__MIN.SetUser(c.gmMin);
        EXPECT_EQ(AnalyseRobustness(ReadRobustnessInputs(model)).loops[1].yield, good / 200.0);
    }
}

TEST(Robustness, TheSeedAloneDecidesTheSamples)
{
    const auto run = [](double seed, int32_t distribution) {
        CDesignModel model;
        model.SEED__MC.SetUser(seed);
        model.dist__MC.SetUser(distribution);
        model.N__MC.SetUser(2000);
        Design(model, CTop::ANALOG);
        std::vector<double> inductances;
        RobustnessOptions options;
        options.sampleSink = [&](const SweptValues& values, const std::array<ExactMetrics, 2>&) {
            inductances.push_back(values[static_cast<std::size_t>(Swept::Inductance)]);
        };
        AnalyseRobustness(ReadRobustnessInputs(model), options);
        return inductances;
    };
    EXPECT_EQ(run(1, CDistribution::Uniform), run(1, CDistribution::Uniform));
    EXPECT_NE(run(1, CDistribution::Uniform), run(2, CDistribution::Uniform));

    CDesignModel reference;
    Design(reference, CTop::ANALOG);
    const double nominal = reference.L__MIN.Value();
    for (int32_t distribution : {CDistribution::Uniform, CDistribution::Normal}) {
        const std::vector<double> values = run(7, distribution);
        double sum = 0, squares = 0;
        for (double value : values) {
            sum += value / nominal - 1;
            squares += (value / nominal - 1) * (value / nominal - 1);
        }
        const double n = static_cast<double>(values.size());
        const double sigma = std::sqrt(squares / n - (sum / n) * (sum / n));
        // 20 % as three sigma, or spread evenly over +-20 %.
        const double expected = distribution == CDistribution::Normal ? 0.2 / 3 : 0.2 / std::sqrt(3.0);
        EXPECT_NEAR(sum / n, 0.0, 0.01) << distribution;
        EXPECT_NEAR(sigma, expected, 0.05 * expected) << distribution;
    }
}

TEST(Robustness, SettingsOutsideTheirRangeStopTheAnalysisWithTheReason)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        CSymbol CDesignModel::*setting;
        double value;
        const char* name;
    };
    const Case cases[] = {
        {&CDesignModel::TOL__L_MIN, 100, "TOL__L_MIN"},     {&CDesignModel::TOL__C_COMP, -0.5, "TOL__C_COMP"},
        {&CDesignModel::TOL__GAIN, nan, "TOL__GAIN"},       {&CDesignModel::P__LOAD_MIN, 0, "P__LOAD_MIN"},
        {&CDesignModel::P__LOAD_MIN, 100.5, "P__LOAD_MIN"}, {&CDesignModel::N__MC, 0, "N__MC"},
        {&CDesignModel::N__MC, 1000001, "N__MC"},           {&CDesignModel::SEED__MC, -1, "SEED__MC"},
        {&CDesignModel::PM__MIN, kInf, "PM__MIN"},          {&CDesignModel::f__S, 100.001e6, "f__S"},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        (model.*c.setting).SetUser(c.value);
        Design(model, CTop::ANALOG);
        const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(model));
        EXPECT_NE(report.notComputed.find(std::string(c.name) + " - "), std::string::npos) << report.notComputed;
        EXPECT_TRUE(std::isnan(report.loops[0].nominal.fx));
    }
    CDesignModel model;
    model.dist__MC.SetUser(2);
    Design(model, CTop::ANALOG);
    EXPECT_NE(ReadRobustnessInputs(model).notComputed, "");
    // The maxima themselves are allowed.
    CDesignModel maxima;
    maxima.N__MC.SetUser(1000000);
    maxima.f__S.SetUser(kMaxSweepSwitchingFrequency);
    Design(maxima, CTop::DIGITAL);
    EXPECT_EQ(ReadRobustnessInputs(maxima).notComputed, "");

    // Digital compensators are coefficients: their parts' tolerances do not apply.
    CDesignModel digital;
    digital.TOL__C_COMP.SetUser(100);
    Design(digital, CTop::DIGITAL);
    EXPECT_EQ(ReadRobustnessInputs(digital).notComputed, "");
    EXPECT_FALSE(digital.TOL__C_COMP.inUse);
}

TEST(Robustness, NonFiniteDesignValuesGiveNaNFiguresAndEnd)
{
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), kInf}) {
        for (int32_t mode : {CTop::ANALOG, CTop::DIGITAL}) {
            CDesignModel model;
            model.P__OUT.SetUser(bad);
            model.N__MC.SetUser(100);
            Design(model, mode);
            const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(model));
            EXPECT_EQ(report.notComputed, "");
            EXPECT_TRUE(std::isnan(report.loops[0].nominal.fx));
            EXPECT_EQ(report.loops[0].yield, 0.0);
            EXPECT_TRUE(std::isnan(report.loops[0].percentiles[0].p50));
        }
    }
}

TEST(Robustness, RightHalfPlaneZeroOverLineLoadAndInductance)
{
    CDesignModel model;
    Design(model, CTop::ANALOG);
    const RobustnessReport report = AnalyseRobustness(ReadRobustnessInputs(model));
    const double vIn = model.V__IN_MIN.Value(), p = model.P__OUT.Value(), l = model.L__MIN.Value();
    EXPECT_NEAR(report.rhpz.nominal, vIn * vIn / (kPi * p * l), 1e-12 * report.rhpz.nominal);
    EXPECT_NEAR(report.rhpz.min, vIn * vIn / (kPi * p * l * 1.2), 1e-12 * report.rhpz.min);
    const double vMax = model.V__IN_MAX.Value();
    EXPECT_NEAR(report.rhpz.max, vMax * vMax / (kPi * 0.1 * p * l * 0.8), 1e-12 * report.rhpz.max);
    // Above the output voltage's reach the duty cycle stays at zero.
    EXPECT_EQ(RhpzFrequency(400, 100, 1e-3, 385), RhpzFrequency(300, 100, 1e-3, 385));
}

TEST(Robustness, BandsSpanTheNominalLoopOnItsGrid)
{
    CDesignModel model;
    Design(model, CTop::DIGITAL);
    RobustnessOptions options;
    options.bands = true;
    const RobustnessInputs inputs = ReadRobustnessInputs(model);
    const RobustnessReport report = AnalyseRobustness(inputs, options);
    for (ControlLoop loop : kControlLoops) {
        const LoopRobustness& result = report.loops[static_cast<std::size_t>(loop)];
        const LoopData& data = model.Loop(loop);
        const std::vector<double>& gain = data.series[kLoopGain];
        const std::vector<double>& phase = data.series[kLoopPhase];
        ASSERT_EQ(result.gainMin.size(), gain.size());
        EXPECT_EQ(result.bandFrequencies, data.series[kFreq]);
        for (std::size_t k = 0; k < gain.size(); k += 50) {
            EXPECT_LE(result.gainMin[k], gain[k] + 1e-9);
            EXPECT_GE(result.gainMax[k], gain[k] - 1e-9);
            EXPECT_LT(result.gainMin[k], result.gainMax[k]);
            EXPECT_LE(result.phaseMin[k], phase[k] + 1e-9);
            EXPECT_GE(result.phaseMax[k], phase[k] - 1e-9);
        }
    }
}

}  // namespace
