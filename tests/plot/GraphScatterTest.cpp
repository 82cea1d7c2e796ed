#include <cmath>
#include <limits>

#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "PlotTestSupport.h"
#include "plot/GraphLayout.h"
#include "plot/GraphScatter.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

constexpr GraphColor kRed = 0x000000FF;
constexpr GraphColor kBlue = 0x00FF0000;

void SetFixedRange(CGraphAxis& axis, double minimum, double maximum, double majorStep = 0, double minorStep = 0)
{
    axis.autoScale = false;
    axis.minimum = minimum;
    axis.maximum = maximum;
    axis.majorStep = majorStep;
    axis.minorStep = minorStep;
}

TEST(GraphColor, ConvertsFromBlueGreenRedAndDarkensTheMajorGrid)
{
    EXPECT_EQ(ToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(FromQColor(QColor(0x99, 0x66, 0x33)), 0x00336699u);
    EXPECT_EQ(MajorGridColor(0x00E1E1E1), 0x00BFBFBFu);
    EXPECT_EQ(MajorGridColor(0x00009600), 0x00007F00u);
    EXPECT_EQ(MajorGridColor(0x00FF0102), 0x00D80001u);
}

TEST(CGraphScatter, FindAndRemoveActOnTheLatestLineWithAnId)
{
    CGraphScatter graph;
    ASSERT_TRUE(graph.AddLine(7, kRed, CScatterGraphLine::kSolid));
    ASSERT_TRUE(graph.AddLine(3, kRed, CScatterGraphLine::kSolid));
    ASSERT_TRUE(graph.AddLine(7, kBlue, CScatterGraphLine::kDashed));
    EXPECT_EQ(graph.FindLine(4), nullptr);
    ASSERT_NE(graph.FindLine(7), nullptr);
    EXPECT_EQ(graph.FindLine(7)->color, kBlue);
    EXPECT_EQ(graph.FindLine(7)->style, CScatterGraphLine::kDashed);
    EXPECT_TRUE(graph.FindLine(7)->visible);

    graph.RemoveLine(7);
    ASSERT_EQ(graph.lines.size(), 2u);
    EXPECT_EQ(graph.FindLine(7)->color, kRed);
    graph.RemoveLine(7);
    graph.RemoveLine(7);
    ASSERT_EQ(graph.lines.size(), 1u);
    EXPECT_EQ(graph.lines[0]->id, 3);
}

TEST(CGraphScatter, AddPointRejectsUnknownLinesAndNaNWithoutChangingAnything)
{
    CGraphScatter graph;
    graph.AddLine(1, kRed, CScatterGraphLine::kSolid);
    EXPECT_FALSE(graph.AddPoint(1, 1, 2));
    EXPECT_FALSE(graph.AddPoint(kNaN, 1, 1));
    EXPECT_FALSE(graph.AddPoint(1, kNaN, 1));
    EXPECT_TRUE(graph.FindLine(1)->points.empty());
    EXPECT_TRUE(graph.xAxis.firstValue);
    EXPECT_TRUE(graph.yAxis.firstValue);

    EXPECT_TRUE(graph.AddPoint(2, 3, 1));
    EXPECT_TRUE(graph.AddPoint(-4, 8, 1));
    ASSERT_EQ(graph.FindLine(1)->points.size(), 2u);
    EXPECT_EQ(graph.xAxis.minimum, -4);
    EXPECT_EQ(graph.xAxis.maximum, 2);
    EXPECT_EQ(graph.yAxis.minimum, 3);
    EXPECT_EQ(graph.yAxis.maximum, 8);
}

TEST(CGraphScatter, AutomaticRangesCoverEveryLineHiddenOrNot)
{
    CGraphScatter graph;
    SetFixedRange(graph.yAxis, -80, 40, 20);
    graph.AddLine(1, kRed, CScatterGraphLine::kSolid);
    graph.AddLine(2, kBlue, CScatterGraphLine::kSolid);
    graph.FindLine(2)->visible = false;
    graph.AddPoint(0, 0, 1);
    graph.AddPoint(10, 5, 1);
    graph.AddPoint(-5, 200, 2);

    graph.ClearLine(2);  // ranges stay until recomputed
    EXPECT_EQ(graph.xAxis.minimum, -5);
    graph.RecalcRanges();
    EXPECT_EQ(graph.xAxis.minimum, 0);
    EXPECT_EQ(graph.xAxis.maximum, 10);
    EXPECT_EQ(graph.xAxis.majorStep, 2);

    graph.FindLine(2)->points.push_back({-20, 0});
    graph.RecalcRanges();
    EXPECT_EQ(graph.xAxis.minimum, -20);

    graph.RemoveLine(2);
    graph.RemoveLine(1);
    EXPECT_TRUE(graph.xAxis.firstValue);
    EXPECT_EQ(graph.xAxis.minimum, 0);
    EXPECT_EQ(graph.xAxis.maximum, 0);
    // The fixed axis keeps what the owner set.
    EXPECT_EQ(graph.yAxis.minimum, -80);
    EXPECT_EQ(graph.yAxis.maximum, 40);
}

// x from 0 to 100 and y from 0 to 50 on a plot of 100 by 50 pixels at (10, 10).
struct PlotArea {
    PlotArea()
    {
        SetFixedRange(xAxis, 0, 100);
        SetFixedRange(yAxis, 0, 50);
        xAxis.SetPixelMapping(100);
        yAxis.SetPixelMapping(50);
    }

    CGraphAxis xAxis;
    CGraphAxis yAxis;
    const QRect plot{QPoint(10, 10), QPoint(110, 60)};
};

TEST(PlotPolyline, SkipsPointsOutsideTheRangesAndRunsOn)
{
    PlotArea area;
    CGraphAxis& xAxis = area.xAxis;
    const CGraphAxis& yAxis = area.yAxis;
    const QRect& plot = area.plot;
    CScatterGraphLine line;
    line.points = {{0, 0}, {50, 60}, {60, 25}, {kNaN, 10}, {120, 10}, {-1, 10}, {30, kInf}, {100, 50}};

    EXPECT_EQ(PlotPolyline(line, xAxis, yAxis, plot), QPolygon({{10, 60}, {70, 35}, {110, 10}}));

    xAxis.logScale = true;
    xAxis.minimum = 1;
    xAxis.SetPixelMapping(100);
    line.points = {{0, 10}, {1, 10}, {10, 20}};
    EXPECT_EQ(PlotPolyline(line, xAxis, yAxis, plot), QPolygon({{10, 50}, {60, 40}}));
}

TEST(PlotBandOutline, HoldsValuesAtTheAxisAndSkipsWhatCannotBePlaced)
{
    const PlotArea area;
    CScatterGraphLine band;
    band.style = CScatterGraphLine::kBand;
    band.points = {{0, -10}, {50, 25}, {120, 10}, {60, kNaN}, {100, kInf}, {100, 70}, {0, 40}};

    EXPECT_EQ(PlotBandOutline(band, area.xAxis, area.yAxis, area.plot),
              QPolygon({{10, 60}, {60, 35}, {110, 10}, {110, 10}, {10, 20}}));
}

// A graph with fixed ranges and colours that tell every part apart.
class GraphPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        graph.resize(300, 200);
        graph.backColor = 0x00C0D0E0;
        graph.plotColor = 0x00FFFFFF;
        graph.gridColor = 0x00E1E1E1;
        graph.textColor = 0x00000000;
        SetFixedRange(graph.xAxis, 0, 100, 50, 10);
        SetFixedRange(graph.yAxis, 0, 100, 50, 10);
        graph.AddLine(1, kRed, CScatterGraphLine::kSolid);
        graph.AddPoint(0, 25, 1);
        graph.AddPoint(100, 25, 1);
        graph.AddLine(2, kBlue, CScatterGraphLine::kSolid);
        graph.FindLine(2)->visible = false;
        graph.AddPoint(0, 65, 2);
        graph.AddPoint(100, 65, 2);
    }

    QImage Picture() { return graph.grab().toImage(); }

    QColor PixelAt(const QImage& picture, double x, double y) const
    {
        return picture.pixelColor(PlotPixel(graph.plotRect, graph.xAxis.PixelOffset(x), graph.yAxis.PixelOffset(y)));
    }

    CGraphScatter graph;
};

TEST_F(GraphPicture, DrawsBackgroundPlotGridAndVisibleLines)
{
    const QImage picture = Picture();
    ASSERT_TRUE(graph.plotRect.isValid());
    EXPECT_EQ(graph.clientRect, QRect(0, 0, 300, 200));
    EXPECT_EQ(picture.pixelColor(0, 0), ToQColor(graph.backColor));
    EXPECT_EQ(picture.pixelColor(299, 199), ToQColor(graph.backColor));
    EXPECT_EQ(PixelAt(picture, 33, 75), ToQColor(graph.plotColor));
    EXPECT_EQ(PixelAt(picture, 33, 25), ToQColor(kRed));
    EXPECT_EQ(PixelAt(picture, 33, 65), ToQColor(graph.plotColor));  // the hidden line
    EXPECT_EQ(PixelAt(picture, 50, 75), ToQColor(0x00BFBFBF));       // major grid
    EXPECT_EQ(PixelAt(picture, 10, 75), ToQColor(graph.gridColor));  // minor grid
    EXPECT_EQ(PixelAt(picture, 33, 100), ToQColor(0x00BFBFBF));      // the top tick covers the frame

    // Some of the Y labels' text, left of the plot.
    int textPixels = 0;
    for (int x = 0; x < graph.plotRect.left(); ++x) {
        for (int y = 0; y < picture.height(); ++y)
            textPixels += picture.pixelColor(x, y) != ToQColor(graph.backColor);
    }
    EXPECT_GT(textPixels, 20);
}

TEST_F(GraphPicture, RedrawShowsChangedMembers)
{
    Picture();
    graph.plotColor = 0x00EEFFEE;
    graph.FindLine(2)->visible = true;
    graph.Redraw();
    const QImage picture = Picture();
    EXPECT_EQ(PixelAt(picture, 33, 75), ToQColor(0x00EEFFEE));
    EXPECT_EQ(PixelAt(picture, 33, 65), ToQColor(kBlue));
}

TEST_F(GraphPicture, ANewSizeLaysTheGraphOutAgain)
{
    Picture();
    const QRect small = graph.plotRect;
    graph.resize(500, 300);
    const QImage picture = Picture();
    EXPECT_EQ(picture.size(), QSize(500, 300));
    EXPECT_GT(graph.plotRect.width(), small.width());
    EXPECT_EQ(PixelAt(picture, 33, 25), ToQColor(kRed));
}

// The key covers the lines under it and shows each entry's pen sample.
TEST_F(GraphPicture, TheLegendSitsInTheBottomLeftCornerOverTheLines)
{
    graph.AddLine(3, kBlue, CScatterGraphLine::kSolid);
    graph.AddPoint(0, 8, 3);
    graph.AddPoint(100, 8, 3);
    Picture();
    graph.legend = {{QStringLiteral("design"), kRed, CScatterGraphLine::kSolid},
                    {QStringLiteral("other"), kBlue, CScatterGraphLine::kDashed}};
    graph.Redraw();
    const QImage picture = Picture();
    const QRect key = LegendRect(graph.legend, graph.yLabels.font, graph.plotRect);
    ASSERT_TRUE(graph.plotRect.contains(key));
    EXPECT_GT(key.left(), graph.plotRect.left());
    EXPECT_EQ(key.left() - graph.plotRect.left(), graph.plotRect.bottom() - key.bottom());
    const int blueLine = PlotPixel(graph.plotRect, 0, graph.yAxis.PixelOffset(8)).y();
    ASSERT_GT(blueLine, key.top());
    ASSERT_LT(blueLine, key.bottom());
    EXPECT_EQ(picture.pixelColor(key.center().x(), blueLine), ToQColor(graph.plotColor));
    EXPECT_EQ(picture.pixelColor(key.right() + 2, blueLine), ToQColor(kBlue));
    int red = 0, blue = 0;
    for (int x = key.left(); x <= key.right(); ++x)
        for (int y = key.top(); y <= key.bottom(); ++y) {
            red += picture.pixelColor(x, y) == ToQColor(kRed);
            blue += picture.pixelColor(x, y) == ToQColor(kBlue);
        }
    EXPECT_GE(red, 20);  // a solid sample
    EXPECT_GE(blue, 8);  // a dashed one
    EXPECT_LT(blue, 24);
}

TEST_F(GraphPicture, DataNoAxisCanMapStillDrawsInBoundedTime)
{
    const struct {
        const char* what;
        void (*setUp)(CGraphScatter&);
    } cases[] = {
        {"log axis from zero",
         [](CGraphScatter& g) {
             g.xAxis.logScale = true;
             g.xAxis.autoScale = true;
             g.RecalcRanges();
         }},
        {"infinite values on automatic axes",
         [](CGraphScatter& g) {
             g.xAxis.autoScale = g.yAxis.autoScale = true;
             g.AddPoint(kInf, -kInf, 1);
         }},
        {"empty ranges", [](CGraphScatter& g) { SetFixedRange(g.yAxis, 25, 25, 5); }},
        {"tiny steps", [](CGraphScatter& g) { SetFixedRange(g.xAxis, 0, 100, 1e-12, 1e-13); }},
        {"huge labels", [](CGraphScatter& g) { SetFixedRange(g.yAxis, -1e300, 1e300, 1e299); }},
    };
    for (const auto& c : cases) {
        CGraphScatter graph;
        graph.resize(300, 200);
        SetFixedRange(graph.xAxis, 0, 100, 50);
        SetFixedRange(graph.yAxis, 0, 100, 50);
        graph.AddLine(1, kRed, CScatterGraphLine::kSolid);
        graph.AddPoint(0, 25, 1);
        graph.AddPoint(100, 25, 1);
        c.setUp(graph);
        const QImage picture = graph.grab().toImage();
        EXPECT_EQ(picture.pixelColor(0, 0), ToQColor(graph.backColor)) << c.what;
        EXPECT_TRUE(graph.plotRect.isValid()) << c.what;
    }
}

QMouseEvent MouseMove(QPoint position)
{
    return QMouseEvent(QEvent::MouseMove, position, position, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
}

TEST(CGraphScatterHover, ReportsThrottledMovesAndTheLeave)
{
    FakeHoverClock clock;
    CGraphScatter graph(nullptr, clock);
    graph.resize(300, 200);
    QSignalSpy moved(&graph, &CGraphScatter::HoverMoved);
    QSignalSpy left(&graph, &CGraphScatter::HoverLeft);

    for (const auto& [now, x] : {std::pair{1000u, 40}, {1004u, 50}, {1030u, 60}}) {
        clock.now = now;
        QMouseEvent move = MouseMove({x, 80});
        QCoreApplication::sendEvent(&graph, &move);
    }
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved[0][0].toPoint(), QPoint(40, 80));
    EXPECT_EQ(moved[1][0].toPoint(), QPoint(60, 80));
    EXPECT_EQ(graph.hoverPoint, QPoint(60, 80));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&graph, &leave);
    EXPECT_EQ(left.count(), 1);
}

TEST(CGraphScatterHover, AGraphTooNarrowForAPlotReadsTheFirstPoint)
{
    FakeHoverClock clock;
    CGraphScatter graph(nullptr, clock);
    graph.resize(30, 200);
    graph.grab();
    clock.now = 1000;
    QMouseEvent move = MouseMove({20, 80});
    QCoreApplication::sendEvent(&graph, &move);
    EXPECT_FALSE(graph.plotRect.isValid());
    EXPECT_EQ(HoverIndex(graph.hoverPoint.x(), graph.plotRect, 500), 0);
}

}  // namespace
