#pragma once

#include <QRect>
#include <QSize>

struct CGraphText;

// The texts whose extents decide a graph's layout.
struct GraphTexts {
    CGraphText& mainTitle;
    CGraphText& xTitle;
    CGraphText& yTitle;
    CGraphText& xLabels;
    CGraphText& yLabels;
};

// Room between the tick labels and the plot's frame.
constexpr int kTickLabelGap = 4;

// Places the texts of a graph of the given client size from their extents
// (setting each rect) and returns the plot area: the X title in a strip
// along the bottom with the X labels above it, the Y title in a strip down
// the left with the Y labels right of it, and the main title across the top.
// The plot keeps a 10 pixel margin on the right and at least 10 on top.
// The edges of the returned rectangle are the rows and columns of the
// plot's frame: its left() and right() are pixel offsets 0 and width on
// the X axis.
QRect LayoutGraph(QSize client, const GraphTexts& texts);

// The pixel of the plot (device coordinates) for offsets from its
// bottom-left corner, Y growing upward.
inline QPoint PlotPixel(const QRect& plotRect, int xOffset, int yOffset)
{
    return {plotRect.left() + xOffset, plotRect.bottom() - yOffset};
}

// Where the label of size labelSize (as placed) of the tick at pixel offset
// `pixel` goes: a Y label (axis Qt::Vertical) ends left of the plot, centred
// on its grid line; an X label ends under the plot, centred on its line.
QRect TickLabelBox(const QRect& plotRect, int pixel, QSize labelSize, Qt::Orientation axis);

// The index of the point of an evenly spread grid of count points under
// column x of the plot, rounded to the nearest and kept on the grid: the
// left edge reads point 0, the right edge point count - 1. -1 when the grid
// is empty; 0 when the plot has no width.
int HoverIndex(int x, const QRect& plotRect, int count);
