#include <limits>

#include <gtest/gtest.h>

#include "present/FigureTexts.h"

namespace {

using namespace qxr;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FigureTexts, LoopFiguresInWholeUnits)
{
    LoopData loop;
    loop.fx = 6.5;
    loop.phaseMargin = 59.5;
    loop.slope = -22.68;
    const StabilityTexts bounded = FormatStability(loop, {3, -2, -41.4});
    EXPECT_EQ(bounded.crossover, "7 Hz");
    EXPECT_EQ(bounded.phaseMargin, "60°");
    EXPECT_EQ(bounded.gainMargin, "> 41 dB") << "the last gain plotted bounds a margin not found";
    EXPECT_EQ(bounded.slope, "-23 dB/dec");
    EXPECT_EQ(FormatStability(loop, {}).gainMargin, "");
    loop.gainMargin = 12.2;
    EXPECT_EQ(FormatStability(loop, {}).gainMargin, "12 dB");
}

TEST(FigureTexts, MeasuredAndDiscreteFigures)
{
    const StabilityTexts measured = FormatMeasured({1234.4, kNaN, kInf, -20});
    EXPECT_EQ(measured.crossover, "1234 Hz");
    EXPECT_EQ(measured.phaseMargin, "n/a");
    EXPECT_EQ(measured.gainMargin, "none");
    EXPECT_EQ(measured.slope, "-20 dB/dec");

    DiscreteLoopFigures figures;
    figures.fx = 9990;
    figures.phaseMargin = 48.25;
    figures.gainMargin = kInf;
    figures.gainDifferenceDb = 0.001;
    figures.phaseDifferenceDeg = -1.125;
    const DiscreteTexts discrete = FormatDiscrete(figures);
    EXPECT_EQ(discrete.phaseMargin, "48.3°");
    EXPECT_EQ(discrete.gainMargin, "none");
    EXPECT_EQ(discrete.difference, "+0.00 dB / -1.13°");
}

TEST(FigureTexts, SweepRangesAndFrequencies)
{
    EXPECT_EQ(FrequencyText(13840), "13.8 kHz");
    EXPECT_EQ(FrequencyText(2.5e6), "2.5 MHz");
    EXPECT_EQ(FrequencyText(kNaN), "");
    EXPECT_EQ(FormatSweep(nullptr, ControlLoop::Voltage).crossover, "");
    RobustnessReport report;
    report.loops[0].overall = {MinMax{5, 12000}, MinMax{25.4, 70}, MinMax{kInf, kInf}, MinMax{kNaN, -20}};
    report.rhpz = {4000, 3000, 9000};
    const SweepTexts texts = FormatSweep(&report, ControlLoop::Voltage);
    EXPECT_EQ(texts.crossover, "0.005 / 12 kHz");
    EXPECT_EQ(texts.phaseMargin, "25 / 70°");
    EXPECT_EQ(texts.gainMargin, "∞ / ∞ dB");
    EXPECT_EQ(texts.slope, "");
    EXPECT_EQ(texts.rhpz, "4 kHz");
    EXPECT_EQ(texts.rhpzSpread, "3 / 9 kHz");
    report.notComputed = "not computed";
    EXPECT_EQ(FormatSweep(&report, ControlLoop::Voltage).rhpz, "");
}

}  // namespace
