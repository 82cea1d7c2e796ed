#include <gtest/gtest.h>

#include "plot/GraphLayout.h"
#include "plot/GraphText.h"

namespace {

class GraphLayout : public ::testing::Test {
protected:
    QRect Layout(QSize client) { return LayoutGraph(client, {mainTitle, xTitle, yTitle, xLabels, yLabels}); }

    CGraphText mainTitle{QStringLiteral("Arial"), 40, 0};
    CGraphText xTitle{QStringLiteral("Arial"), 20, 0};
    CGraphText yTitle{QStringLiteral("Arial"), 20, -900};
    CGraphText xLabels{QStringLiteral("Arial"), 12, -900};
    CGraphText yLabels{QStringLiteral("Arial"), 12, 0};
};

TEST_F(GraphLayout, TitlesAndLabelsFrameThePlot)
{
    mainTitle.extent = {200, 30};
    xTitle.extent = {100, 16};
    yTitle.extent = {15, 90};
    xLabels.extent = {14, 25};
    yLabels.extent = {30, 14};

    const QRect plot = Layout({600, 400});

    EXPECT_EQ(mainTitle.rect, QRect(0, 0, 600, 30));
    EXPECT_EQ(xTitle.rect, QRect(0, 384, 600, 16));
    EXPECT_EQ(yTitle.rect, QRect(0, 0, 15, 400));
    EXPECT_EQ(xLabels.rect, QRect(0, 384 - 25 - kTickLabelGap, 600, 25 + kTickLabelGap));
    EXPECT_EQ(yLabels.rect, QRect(15, 0, 30 + kTickLabelGap, 400));
    // The frame: right of the Y labels, above the X labels, 10 pixels from
    // the right edge and the main title's height from the top.
    EXPECT_EQ(plot.left(), 15 + 30 + kTickLabelGap);
    EXPECT_EQ(plot.right(), 590);
    EXPECT_EQ(plot.bottom(), xLabels.rect.top() - 1);
    EXPECT_EQ(plot.top(), 29);
}

TEST_F(GraphLayout, NarrowLabelsAndAnEmptyMainTitleKeepTheMinimumMargins)
{
    yLabels.extent = {5, 14};
    mainTitle.extent = {0, 0};
    const QRect plot = Layout({300, 200});
    EXPECT_EQ(plot.left(), 20);
    EXPECT_EQ(plot.right(), 290);
    EXPECT_EQ(plot.top(), 9);
    EXPECT_EQ(plot.bottom(), 199 - kTickLabelGap);
}

TEST_F(GraphLayout, TickLabelsSitOutsideThePlotCentredOnTheirLines)
{
    const QRect plot(QPoint(50, 20), QPoint(450, 220));
    const QRect yLabel = TickLabelBox(plot, 100, {30, 15}, Qt::Vertical);
    EXPECT_EQ(yLabel.right(), plot.left() - 1 - kTickLabelGap);
    EXPECT_EQ(yLabel.center().y(), plot.bottom() - 100);

    const QRect xLabel = TickLabelBox(plot, 200, {15, 30}, Qt::Horizontal);
    EXPECT_EQ(xLabel.top(), plot.bottom() + 1 + kTickLabelGap);
    EXPECT_EQ(xLabel.center().x(), plot.left() + 200);
}

TEST(HoverIndex, ReadsTheNearestGridPointAndStaysOnTheGrid)
{
    const QRect plot(QPoint(100, 10), QPoint(599, 200));  // 499 pixels wide
    const struct {
        int x;
        int count;
        int index;
    } cases[] = {
        {100, 500, 0}, {599, 500, 499}, {50, 500, 0}, {900, 500, 499}, {101, 500, 1}, {100, 2, 0},
        {224, 2, 0},   {225, 2, 1},     {599, 2, 1},  {350, 1, 0},     {350, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HoverIndex(c.x, plot, c.count), c.index) << c.x << " of " << c.count;
}

TEST(HoverIndex, APlotWithoutWidthReadsTheFirstPoint)
{
    EXPECT_EQ(HoverIndex(100, QRect(QPoint(100, 10), QPoint(100, 200)), 500), 0);
    EXPECT_EQ(HoverIndex(100, QRect(QPoint(100, 10), QPoint(90, 200)), 500), 0);
}

}  // namespace
