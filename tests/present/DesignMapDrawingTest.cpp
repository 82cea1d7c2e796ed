#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "present/MapColours.h"
#include "present/MapContours.h"

namespace {

using namespace qxr;

// The published ends of viridis: #440154 and #FDE725.
TEST(MapColours, ViridisEndsAndRisingLightness)
{
    const Rgb low = Viridis(0), high = Viridis(1);
    EXPECT_NEAR(low.r * 255, 68, 1e-9);
    EXPECT_NEAR(low.g * 255, 1, 1e-9);
    EXPECT_NEAR(low.b * 255, 84, 1e-9);
    EXPECT_NEAR(high.r * 255, 253, 1e-9);
    EXPECT_NEAR(high.g * 255, 231, 1e-9);
    EXPECT_NEAR(high.b * 255, 37, 1e-9);
    EXPECT_NEAR(Viridis(-1).r, low.r, 0) << "clamped below";
    EXPECT_NEAR(Viridis(2).g, high.g, 0) << "clamped above";
    double previous = -1;
    for (int i = 0; i <= 1000; ++i) {
        const double lightness = Lightness(Viridis(i / 1000.0));
        EXPECT_GT(lightness, previous) << "at " << i / 1000.0;
        previous = lightness;
    }
}

// CIE L* of known colours: black 0, white 100, sRGB mid grey #777777 about 50.
TEST(MapColours, LightnessOfKnownColours)
{
    EXPECT_NEAR(Lightness({0, 0, 0}), 0, 1e-9);
    EXPECT_NEAR(Lightness({1, 1, 1}), 100, 1e-9);
    EXPECT_NEAR(Lightness({119 / 255.0, 119 / 255.0, 119 / 255.0}), 50.03, 0.05);
}

bool Near(const GridPoint& a, const GridPoint& b)
{
    return std::abs(a.column - b.column) < 1e-12 && std::abs(a.row - b.row) < 1e-12;
}

bool SameSegment(const ContourSegment& s, const GridPoint& a, const GridPoint& b)
{
    return (Near(s.from, a) && Near(s.to, b)) || (Near(s.from, b) && Near(s.to, a));
}

// One corner above the level: a single segment cutting it off, its ends
// interpolated on the two edges that meet there.
TEST(MapContours, OneCornerAboveCutsItOff)
{
    const std::vector<double> values{0, 0,   // row 0
                                     0, 4};  // row 1: column 1 is above
    const std::vector<ContourSegment> segments = TraceContour(values, 2, 2, 1);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_TRUE(SameSegment(segments[0], {1, 0.25}, {0.25, 1}));
    EXPECT_TRUE(TraceContour(values, 2, 2, 5).empty()) << "nothing crosses above the largest value";
}

// A peak in the middle of 3 x 3: a closed diamond of four segments around it.
TEST(MapContours, PeakGivesAClosedLoop)
{
    const std::vector<double> values{0, 0, 0, 0, 2, 0, 0, 0, 0};
    const std::vector<ContourSegment> segments = TraceContour(values, 3, 3, 1);
    ASSERT_EQ(segments.size(), 4u);
    EXPECT_TRUE(SameSegment(segments[0], {1, 0.5}, {0.5, 1}));
    EXPECT_TRUE(SameSegment(segments[1], {1.5, 1}, {1, 0.5}));
    EXPECT_TRUE(SameSegment(segments[2], {0.5, 1}, {1, 1.5}));
    EXPECT_TRUE(SameSegment(segments[3], {1, 1.5}, {1.5, 1}));
}

// A saddle, the high corners (value 2) at (0, 0) and (1, 1): the square's
// mean decides whether they join across it or each is cut off alone.
TEST(MapContours, SaddleFollowsTheMean)
{
    struct Case {
        double low;  // the other two corners
        ContourSegment first, second;
    };
    const Case cases[] = {
        {0.5, {{2.0 / 3, 0}, {1, 1.0 / 3}}, {{1.0 / 3, 1}, {0, 2.0 / 3}}},  // mean 1.25: joined, low corners cut off
        {-0.5, {{0, 0.4}, {0.4, 0}}, {{1, 0.6}, {0.6, 1}}},                 // mean 0.75: high corners cut off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.low);
        const std::vector<ContourSegment> segments = TraceContour({2, c.low, c.low, 2}, 2, 2, 1);
        ASSERT_EQ(segments.size(), 2u);
        EXPECT_TRUE(SameSegment(segments[0], c.first.from, c.first.to) ||
                    SameSegment(segments[1], c.first.from, c.first.to));
        EXPECT_TRUE(SameSegment(segments[0], c.second.from, c.second.to) ||
                    SameSegment(segments[1], c.second.from, c.second.to));
    }
}

TEST(MapContours, UnknownCornersGiveNoLine)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(TraceContour({0, 0, nan, 4}, 2, 2, 1).empty());
    EXPECT_EQ(TraceContour({0, 0, 0, 4, 0, nan}, 2, 3, 1).size(), 1u) << "the known square still has its line";
}

// A 2 x 3 map whose figures rise to the right; its top left point cannot be
// realised, so only the right square has lines. The time-domain lines come
// with the pass alone.
TEST(MapContours, TheMapsLinesFollowItsRealisablePointsAndTheLimits)
{
    DesignMap map;
    map.crossovers = {10, 20, 40};
    map.phaseMargins = {40, 50};
    const double ms[] = {1.2, 1.6, 2.2};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            MapCell cell;
            cell.computed = true;
            cell.realisable = !(row == 1 && column == 0);
            cell.worstMs = ms[column];
            cell.h3 = 2.0 * column;            // 0, 2, 4 %
            cell.stepMin = 340 + 10 * column;  // 340, 350, 360 V
            map.cells.push_back(cell);
        }
    }
    const MapLimits limits{45, 1.3, 3, 345};
    const auto figures = [](const std::vector<MapContourLine>& lines) {
        std::vector<MapContourFigure> kinds;
        for (const MapContourLine& line : lines)
            kinds.push_back(line.figure);
        return kinds;
    };
    const std::vector<MapContourLine> sweepOnly = MapContourLines(map, limits);
    ASSERT_EQ(figures(sweepOnly), std::vector<MapContourFigure>(3, MapContourFigure::Ms));
    EXPECT_TRUE(sweepOnly[0].segments.empty()) << "Ms 1.4 lies only in the left square";
    ASSERT_EQ(sweepOnly[1].segments.size(), 1u);
    EXPECT_TRUE(SameSegment(sweepOnly[1].segments[0], {1 + 1.0 / 6, 0}, {1 + 1.0 / 6, 1}));
    ASSERT_EQ(sweepOnly[2].segments.size(), 1u);
    EXPECT_TRUE(SameSegment(sweepOnly[2].segments[0], {1 + 2.0 / 3, 0}, {1 + 2.0 / 3, 1}));

    map.timeDomain = true;
    const std::vector<MapContourLine> lines = MapContourLines(map, limits);
    ASSERT_EQ(figures(lines),
              (std::vector<MapContourFigure>{MapContourFigure::Ms, MapContourFigure::Ms, MapContourFigure::Ms,
                                             MapContourFigure::ThirdHarmonic, MapContourFigure::LoadStepMinimum}));
    EXPECT_EQ(lines[3].level, 3);
    ASSERT_EQ(lines[3].segments.size(), 1u);
    EXPECT_TRUE(SameSegment(lines[3].segments[0], {1.5, 0}, {1.5, 1}));
    EXPECT_EQ(lines[4].level, 345);
    EXPECT_TRUE(lines[4].segments.empty()) << "345 V lies only in the left square";
}

}  // namespace
