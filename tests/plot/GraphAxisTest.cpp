#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "plot/GraphAxis.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Tick {
    double value;
    int pixel;
    bool major;
};

std::vector<Tick> Ticks(const CGraphAxis& axis)
{
    std::vector<Tick> ticks;
    ForEachTick(axis, [&](double value, int pixel, bool major) { ticks.push_back({value, pixel, major}); });
    return ticks;
}

std::vector<double> Values(const std::vector<Tick>& ticks, bool major)
{
    std::vector<double> values;
    for (const Tick& tick : ticks) {
        if (tick.major == major)
            values.push_back(tick.value);
    }
    return values;
}

CGraphAxis FixedAxis(double minimum, double maximum, double majorStep = 0, double minorStep = 0, bool logScale = false)
{
    CGraphAxis axis;
    axis.autoScale = false;
    axis.minimum = minimum;
    axis.maximum = maximum;
    axis.majorStep = majorStep;
    axis.minorStep = minorStep;
    axis.logScale = logScale;
    return axis;
}

CGraphAxis LogAxis(double minimum, double maximum)
{
    return FixedAxis(minimum, maximum, 0, 0, true);
}

// Round bounds and a 1-2-5 step around a span, as the time-domain graphs set their axes.
TEST(GraphAxis, RoundRangeAroundASpan)
{
    struct Case {
        double low, high;
        double minimum, maximum, step;
    };
    const Case cases[] = {
        {-120.2, 120.2, -150, 150, 50},
        {0, 2.5, 0, 2.5, 0.5},
        {383.1, 385.9, 383, 386, 1},
        {1e-3, 9e-3, 0, 0.01, 0.002},
    };
    for (const Case& c : cases) {
        CGraphAxis axis;
        SetRoundRange(axis, c.low, c.high);
        EXPECT_FALSE(axis.autoScale);
        EXPECT_DOUBLE_EQ(axis.minimum, c.minimum) << c.low;
        EXPECT_DOUBLE_EQ(axis.maximum, c.maximum) << c.low;
        EXPECT_DOUBLE_EQ(axis.majorStep, c.step) << c.low;
    }
    CGraphAxis empty;
    empty.autoScale = false;
    SetRoundRange(empty, 5, 5);
    EXPECT_TRUE(empty.autoScale) << "nothing to span: the axis scales itself";
}

TEST(FormatAxisValue, EngineeringNotationWithMetricPrefix)
{
    struct Case {
        double value;
        const char16_t* text;
    };
    const Case cases[] = {
        {0, u"0"},
        {-0.0, u"0"},
        {100, u"100"},
        {1000, u"1K"},
        {1500, u"1.5K"},
        {0.5, u"500m"},
        {-20, u"-20"},
        {-100, u"-100"},
        {2.2e-6, u"2.2\u00B5"},
        {123456, u"123K"},
        {20000, u"20K"},
        {0.001, u"1m"},
        {99999, u"100K"},
        {-1.5e-9, u"-1.5n"},
        {0.25, u"250m"},
        {1e-24, u"1y"},
        {1e-21, u"1z"},
        {1e-18, u"1a"},
        {1e-15, u"1f"},
        {3.3e-12, u"3.3p"},
        {1e6, u"1M"},
        {4.7e9, u"4.7G"},
        {1e12, u"1T"},
        {1e15, u"1P"},
        {1e18, u"1E"},
        {1e21, u"1Z"},
        {999e24, u"999Y"},
        // Beyond the prefixes the exponent is written out.
        {1e27, u"1e27"},
        {-2e30, u"-2e30"},
        {1e-25, u"100e-27"},
        // These used to hang the normalisation.
        {kInf, u"inf"},
        {-kInf, u"-inf"},
        {kNaN, u"nan"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatAxisValue(c.value), QString::fromUtf16(c.text)) << c.value;
}

TEST(FormatAxisValue, ExtremeFiniteValuesEnd)
{
    EXPECT_EQ(FormatAxisValue(std::numeric_limits<double>::max()), QStringLiteral("180e306"));
    EXPECT_EQ(FormatAxisValue(std::numeric_limits<double>::denorm_min()).right(5), QStringLiteral("e-324"));
}

TEST(ForEachTick, LogAxisVisitsDecadesAndTheirMultiplesInsideTheRange)
{
    const std::vector<Tick> ticks = Ticks(LogAxis(100, 250000));
    EXPECT_EQ(Values(ticks, true), (std::vector<double>{100, 1000, 10000, 100000}));
    std::vector<double> minor;
    for (double decade : {100.0, 1000.0, 10000.0}) {
        for (int i = 2; i <= 9; ++i)
            minor.push_back(i * decade);
    }
    minor.push_back(200000);
    EXPECT_EQ(Values(ticks, false), minor);
}

TEST(ForEachTick, LogAxisStartsAtTheMinimumsDecadeTruncatedTowardZero)
{
    const std::vector<Tick> ticks = Ticks(LogAxis(0.5, 10));
    EXPECT_EQ(Values(ticks, true), (std::vector<double>{1, 10}));
    EXPECT_EQ(Values(ticks, false), (std::vector<double>{2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(ForEachTick, PixelOffsetsFollowTheMapping)
{
    CGraphAxis log = LogAxis(1, 1000);
    log.SetPixelMapping(300);
    std::vector<std::pair<double, int>> offsets;
    for (const Tick& tick : Ticks(log))
        offsets.emplace_back(tick.value, tick.pixel);
    ASSERT_EQ(offsets.size(), 28u);
    EXPECT_EQ(offsets[0], std::make_pair(1.0, 0));
    EXPECT_EQ(offsets[1], std::make_pair(2.0, 30));  // truncated: 30.1
    EXPECT_EQ(offsets[9], std::make_pair(10.0, 100));
    EXPECT_EQ(offsets[27], std::make_pair(1000.0, 300));

    CGraphAxis linear = FixedAxis(-200, 0, 20);
    linear.SetPixelMapping(150);
    const std::vector<Tick> ticks = Ticks(linear);
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(ticks[1].pixel, 15);
    EXPECT_EQ(ticks[10].pixel, 150);
}

TEST(ForEachTick, LinearAxisStepsFromTheMinimum)
{
    const std::vector<Tick> noMinor = Ticks(FixedAxis(-100, 100, 20));
    EXPECT_EQ(Values(noMinor, true), (std::vector<double>{-100, -80, -60, -40, -20, 0, 20, 40, 60, 80, 100}));
    EXPECT_TRUE(Values(noMinor, false).empty());

    const std::vector<Tick> withMinor = Ticks(FixedAxis(0, 12, 5, 1));
    EXPECT_EQ(Values(withMinor, true), (std::vector<double>{0, 5, 10}));
    EXPECT_EQ(Values(withMinor, false), (std::vector<double>{1, 2, 3, 4, 6, 7, 8, 9, 11, 12}));
}

TEST(ForEachTick, RoundingNeitherDropsTheLastTickNorMissesZero)
{
    // Steps that binary fractions cannot hold exactly, as automatic ranging makes them.
    const std::vector<double> majors = Values(Ticks(FixedAxis(-0.9, 0.9, 0.3)), true);
    ASSERT_EQ(majors.size(), 7u);
    EXPECT_EQ(majors[3], 0.0);  // not -1.1e-16
    // Five steps from -1.3 reach 2.9000000000000004, still the tick on the maximum.
    EXPECT_EQ(Values(Ticks(FixedAxis(-1.3, 2.9, (2.9 + 1.3) / 5)), true).size(), 6u);
    EXPECT_EQ(Values(Ticks(FixedAxis(-1, 1, 0.2, 0.04)), false).size(), 40u);  // no minor tick on a major one
}

TEST(ForEachTick, AxesWithoutADrawableRangeHaveNoTicks)
{
    const struct {
        const char* what;
        CGraphAxis axis;
    } cases[] = {
        {"automatic axis without points", CGraphAxis{}},
        {"no major step", FixedAxis(0, 10, 0, 1)},
        {"negative major step", FixedAxis(0, 10, -1)},
        {"empty range", FixedAxis(5, 5, 1)},
        {"inverted range", FixedAxis(10, 0, 1)},
        {"NaN bound", FixedAxis(kNaN, 10, 1)},
        {"infinite bound", FixedAxis(0, kInf, 1)},
        {"log axis from zero", LogAxis(0, 1000)},
        {"log axis from a negative value", LogAxis(-10, 1000)},
        {"log axis to zero", LogAxis(-10, 0)},
        {"empty log range", LogAxis(100, 100)},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Ticks(c.axis).empty()) << c.what;
}

TEST(ForEachTick, AWalkEndsAtTheTickLimit)
{
    const struct {
        const char* what;
        CGraphAxis axis;
    } cases[] = {
        {"tiny major step", FixedAxis(0, 1, 1e-9)},
        {"tiny minor step", FixedAxis(0, 1, 1, 1e-9)},
        {"step below the resolution of the minimum", FixedAxis(1, 2, 1e-20)},
        {"six hundred decades", LogAxis(1e-300, 1e300)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ticks(c.axis).size(), size_t(kMaxTicks)) << c.what;
}

TEST(CGraphAxis, AnAxisWithoutADrawableRangeMapsEverythingToItsOrigin)
{
    CGraphAxis log = LogAxis(0, 1000);
    log.SetPixelMapping(300);
    EXPECT_EQ(log.pixelsPerUnit, 0);
    for (double value : {0.0, -5.0, 10.0, kInf, kNaN})
        EXPECT_EQ(log.PixelOffset(value), 0) << value;

    CGraphAxis empty = FixedAxis(3, 3);
    empty.SetPixelMapping(300);
    EXPECT_EQ(empty.PixelOffset(3), 0);
}

TEST(CGraphAxis, FarOffValuesDoNotOverflowThePixelOffset)
{
    CGraphAxis axis = FixedAxis(0, 1);
    axis.SetPixelMapping(100);
    EXPECT_EQ(axis.PixelOffset(0.5), 50);
    EXPECT_EQ(axis.PixelOffset(1e300), 1000000);
    EXPECT_EQ(axis.PixelOffset(-kInf), -1000000);
}

TEST(CGraphAxis, AutomaticRangeFollowsTheValuesSeen)
{
    CGraphAxis axis;
    for (double value : {3.0, -2.0, kNaN, 8.0, 1.0})
        axis.ExtendAutoRange(value);
    EXPECT_EQ(axis.minimum, -2);
    EXPECT_EQ(axis.maximum, 8);
    EXPECT_EQ(axis.majorStep, 2);
    EXPECT_EQ(axis.minorStep, 0.4);

    axis.scaledMin = 7;
    axis.pixelsPerUnit = 9;
    axis.ResetAutoRange();
    EXPECT_TRUE(axis.firstValue);
    EXPECT_EQ(axis.minimum, 0);
    EXPECT_EQ(axis.maximum, 0);
    EXPECT_EQ(axis.majorStep, 0);
    EXPECT_EQ(axis.minorStep, 0);
    EXPECT_EQ(axis.scaledMin, 0);
    EXPECT_EQ(axis.pixelsPerUnit, 0);
    axis.ExtendAutoRange(5);  // a new range starts at the first value, not at 0
    EXPECT_EQ(axis.minimum, 5);
    EXPECT_EQ(axis.maximum, 5);
}

TEST(CGraphAxis, AFixedAxisIgnoresAutomaticRanging)
{
    CGraphAxis axis = FixedAxis(-80, 40, 20);
    axis.ExtendAutoRange(500);
    axis.ResetAutoRange();
    EXPECT_EQ(axis.minimum, -80);
    EXPECT_EQ(axis.maximum, 40);
    EXPECT_EQ(axis.majorStep, 20);
}

}  // namespace
