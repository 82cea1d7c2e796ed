#include <cmath>
#include <complex>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/BodeCsv.h"
#include "analysis/ControlLoops.h"
#include "analysis/ExactMetrics.h"
#include "analysis/MeasuredLoop.h"
#include "analysis/NumberText.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;

constexpr double kInf = std::numeric_limits<double>::infinity();

// An integrator with a pure delay: L(s) = K exp(-sT) / s. Its figures are
// known in closed form: crossover at K, phase margin 90° - K T, phase
// crossover where w T = pi/2, gain margin 20 log10(pi / (2 K T)).
constexpr double kK = kTwoPi * 1000;
constexpr double kT = 50e-6;

std::complex<double> DelayedIntegrator(double f)
{
    const double w = kTwoPi * f;
    return kK * std::exp(std::complex<double>(0, -w * kT)) / std::complex<double>(0, w);
}

// From 10 Hz to 100 kHz, 20 points a decade.
std::vector<double> CoarseFrequencies()
{
    std::vector<double> freqs;
    for (int k = 0; k <= 80; ++k)
        freqs.push_back(10 * std::pow(10.0, k / 20.0));
    return freqs;
}

std::string GainPhaseCsv(bool wrapped)
{
    std::string csv = "Phase (deg);Frequency (Hz);Gain (dB)\n";
    for (double f : CoarseFrequencies()) {
        const std::complex<double> l = DelayedIntegrator(f);
        const double phase = wrapped ? std::arg(l) * kRadToDeg : -90 - kTwoPi * f * kT * kRadToDeg;
        csv += FormatDouble(phase, 17) + ";" + FormatDouble(f, 17) + ";" +
               FormatDouble(20 * std::log10(std::abs(l)), 17) + "\n";
    }
    return csv;
}

std::string RealImagTsv()
{
    std::string tsv = "# exported by the analyser\nfreq_hz\tim\tre\n";
    for (double f : CoarseFrequencies()) {
        const std::complex<double> l = DelayedIntegrator(f);
        tsv += FormatDouble(f, 17) + "\t" + FormatDouble(l.imag(), 17) + "\t" + FormatDouble(l.real(), 17) + "\r\n";
    }
    return tsv;
}

void ExpectDelayedIntegratorFigures(const std::string& text)
{
    const MeasurementRead read = ReadMeasurement(text);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.points.size(), 81u);
    const ExactMetrics metrics = MeasuredMetricsOf(read.points);
    EXPECT_NEAR(metrics.fx, kK / kTwoPi, 1e-9 * kK);
    EXPECT_NEAR(metrics.pm, 90 - kK * kT * kRadToDeg, 1.0);
    EXPECT_NEAR(metrics.gm, 20 * std::log10(kPi / (2 * kK * kT)), 0.1);
    EXPECT_NEAR(metrics.slope, -20, 1e-9);
}

TEST(MeasuredLoopTest, CoarseSamplesOfAKnownLoopGiveItsFiguresInEveryLayout)
{
    ExpectDelayedIntegratorFigures(GainPhaseCsv(false));
    ExpectDelayedIntegratorFigures(GainPhaseCsv(true));  // the analyser wraps into (-180, 180]
    ExpectDelayedIntegratorFigures(RealImagTsv());
}

// The figures of a design's own Bode CSV read back are those of the design.
TEST(MeasuredLoopTest, ADesignsBodeCsvReadsBackAsItsLoop)
{
    for (const int32_t mode : {CTop::ANALOG, CTop::DIGITAL}) {
        CDesignModel model;
        model.ad.SetUser(mode);
        qxr::Recalculate(model);
        const RobustnessInputs inputs = ReadRobustnessInputs(model);
        for (const ControlLoop loop : kControlLoops) {
            SCOPED_TRACE(std::string(mode == CTop::ANALOG ? "analog " : "digital ") +
                         (loop == ControlLoop::Voltage ? "voltage" : "current"));
            const MeasurementRead read = ReadMeasurement(FormatBodeCsv(model, loop));
            ASSERT_EQ(read.error, "");
            const ExactMetrics measured = MeasuredMetricsOf(read.points);
            const ExactMetrics exact = ExactMetricsOf(LoopAt(inputs, loop, inputs.nominal));
            const LoopData& grid = model.Loop(loop);
            EXPECT_NEAR(measured.fx, exact.fx, 0.005 * exact.fx);
            EXPECT_NEAR(measured.fx, grid.fx, 0.005 * grid.fx);
            EXPECT_NEAR(measured.pm, exact.pm, 0.2);
            EXPECT_NEAR(measured.pm, grid.phaseMargin, 0.2);
            EXPECT_NEAR(measured.slope, exact.slope, 0.01 * std::fabs(exact.slope));
            if (std::isinf(exact.gm))
                EXPECT_EQ(measured.gm, kInf);
            else
                EXPECT_NEAR(measured.gm, exact.gm, 0.2);
        }
    }
}

TEST(MeasuredLoopTest, ALoopBelow0dBAtItsFirstPointHasNoFigures)
{
    const MeasurementRead read = ReadMeasurement("f,gain,phase\n10,-1,-90\n100,-21,-90\n");
    ASSERT_EQ(read.error, "");
    const ExactMetrics metrics = MeasuredMetricsOf(read.points);
    EXPECT_TRUE(std::isnan(metrics.fx) && std::isnan(metrics.pm) && std::isnan(metrics.gm) &&
                std::isnan(metrics.slope));
}

TEST(MeasuredLoopTest, KilohertzFrequenciesAndASignedNumberRead)
{
    const MeasurementRead read = ReadMeasurement("Freq (kHz),Mag (dB),Phase\n0.1,+20,-90\n1,0,-90\n");
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.points[0].freq, 100);
    EXPECT_EQ(read.points[1].freq, 1000);
    EXPECT_EQ(read.points[0].gainDb, 20);
}

// The crossover and the phase crossover fall between measured points, or on
// one; the figures are interpolated linearly in log frequency, worked out by
// hand here.
TEST(MeasuredLoopTest, FiguresBetweenTwoPointsAreInterpolatedInLogFrequency)
{
    struct Case {
        const char* what;
        const char* text;
        ExactMetrics figures;
    };
    const Case cases[] = {
        {"halfway", "f,gain,phase\n10,20,-90\n1000,-20,-150\n", {100, 60, kInf, -20}},
        {"three quarters", "f,gain,phase\n100,30,-100\n1000,-10,-200\n", {std::pow(10.0, 2.75), 5, 2, -40}},
        {"on a point at 0 dB", "f,gain,phase\n10,20,-90\n100,0,-120\n1000,-20,-150\n", {100, 60, kInf, -20}},
        {"the phase falls through later",
         "f,gain,phase\n10,20,-90\n1000,-20,-150\n10000,-40,-210\n",
         {100, 60, 30, -20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MeasurementRead read = ReadMeasurement(c.text);
        ASSERT_EQ(read.error, "");
        const ExactMetrics metrics = MeasuredMetricsOf(read.points);
        EXPECT_NEAR(metrics.fx, c.figures.fx, 1e-9 * c.figures.fx);
        EXPECT_NEAR(metrics.pm, c.figures.pm, 1e-9);
        if (std::isinf(c.figures.gm))
            EXPECT_EQ(metrics.gm, c.figures.gm);
        else
            EXPECT_NEAR(metrics.gm, c.figures.gm, 1e-9);
        EXPECT_NEAR(metrics.slope, c.figures.slope, 1e-9);
    }
}

// log10 of two neighbouring doubles is one number; the slope between them
// is still their gain step over log10(b / a) = log10(1 + (b - a) / a).
TEST(MeasuredLoopTest, PointsCloseTogetherGiveAFiniteSlope)
{
    const MeasurementRead read = ReadMeasurement("f,gain,phase\n1e10,1,-90\n10000000000.000002,-1,-90\n");
    ASSERT_EQ(read.error, "");
    const double step = read.points[1].freq - read.points[0].freq;
    ASSERT_EQ(step, std::ldexp(1.0, -19)) << "the next double after 1e10";
    const double expected = -2 * std::log(10.0) * 1e10 / step;
    EXPECT_NEAR(MeasuredMetricsOf(read.points).slope, expected, 1e-9 * std::fabs(expected));
}

TEST(MeasuredLoopTest, MoreDataLinesThanTheMaximumAreRefusedNamingIt)
{
    std::string text = "f,gain,phase\n";
    for (std::size_t k = 1; k <= kMaxMeasuredPoints; ++k)
        text += std::to_string(k) + ",0,-90\n";
    const MeasurementRead full = ReadMeasurement(text);
    EXPECT_EQ(full.error, "");
    EXPECT_EQ(full.points.size(), kMaxMeasuredPoints);
    text += "# a comment and a blank line do not count\n\n";
    EXPECT_EQ(ReadMeasurement(text).error, "");
    const MeasurementRead over = ReadMeasurement(text + "100001,0,-90\n");
    EXPECT_EQ(over.error, "line 100004: more than 100000 data lines; an analyser's export has far fewer");
    EXPECT_TRUE(over.points.empty());
}

struct DamagedFile {
    const char* what;
    const char* text;
    const char* error;
};

class DamagedMeasurementTest : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(DamagedMeasurementTest, NamesTheLineAndReadsNothing)
{
    const MeasurementRead read = ReadMeasurement(GetParam().text);
    EXPECT_EQ(read.error, GetParam().error);
    EXPECT_TRUE(read.points.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedMeasurementTest,
    ::testing::Values(
        DamagedFile{"empty", "", "line 1: the file is empty; a header line is expected"},
        DamagedFile{"blank", "\n \n", "line 2: the file is empty; a header line is expected"},
        DamagedFile{"header only", "freq,gain,phase\n",
                    "line 2: the file ends with 0 measured points; at least 2 are needed"},
        DamagedFile{"truncated row", "freq,gain,phase\n10,20,-90\n100,0", "line 3: 2 fields where the header has 3"},
        DamagedFile{"empty field", "freq,gain,phase\n10,20,-90\n100,,-90\n", "line 3: the gain field is empty"},
        DamagedFile{"text in a number", "freq,gain,phase\n10,20,-90\n100,0,abc\n",
                    "line 3: \"abc\" in the phase column is not a number"},
        DamagedFile{"decimal comma", "freq;gain;phase\n10;20;-90\n100;0,5;-90\n",
                    "line 3: \"0,5\" in the gain column is not a number"},
        DamagedFile{"not finite", "freq,gain,phase\n10,inf,-90\n",
                    "line 2: \"inf\" in the gain column is not a number"},
        DamagedFile{"falling", "freq,gain,phase\n10,20,-90\n\n9,0,-90\n",
                    "line 4: the frequency is below the one of line 2; frequencies must rise"},
        DamagedFile{"duplicate", "freq,gain,phase\n10,20,-90\n10,0,-90\n",
                    "line 3: the frequency repeats the one of line 2"},
        DamagedFile{"zero frequency", "freq,gain,phase\n0,20,-90\n", "line 2: the frequency must be above 0 Hz"},
        DamagedFile{"gain too large", "freq,gain,phase\n10,20000,-90\n",
                    "line 2: the gain is outside -10000 to 10000 dB"},
        DamagedFile{"phase too large", "freq,gain,phase\n10,20,-2e6\n",
                    "line 2: the phase is outside -1000000 to 1000000 degrees"},
        DamagedFile{"complex too large", "f,re,im\n10,1e308,-1.5e308\n",
                    "line 2: the gain is outside -10000 to 10000 dB"},
        DamagedFile{"megahertz too large", "f (MHz),gain,phase\n1e303,0,0\n",
                    "line 2: the frequency is too large to be a number"},
        DamagedFile{"zero complex", "f,re,im\n10,0,0\n", "line 2: a zero real and imaginary part has no gain in dB"},
        DamagedFile{"no frequency", "gain,phase\n20,-90\n",
                    "line 1: the header names no frequency column (such as \"freq\" or \"Hz\")"},
        DamagedFile{"no phase", "# bench 3\nfreq,gain\n10,20\n",
                    "line 2: the header names neither gain and phase columns nor real and imaginary ones"},
        DamagedFile{"two gains", "freq,gain a,gain b,phase\n", "line 1: more than one gain column (gain a, gain b)"}));

}  // namespace
