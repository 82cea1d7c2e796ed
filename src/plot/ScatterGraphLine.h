#pragma once

#include <vector>

#include <QPolygon>
#include <QRect>

#include "plot/GraphColor.h"

struct CGraphAxis;

struct CScatterGraphPoint {
    double x;
    double y;
};

// One numbered line of a graph.
struct CScatterGraphLine {
    // A band is a filled outline: its points run along the lower edge and back
    // along the upper one.
    enum Style { kSolid = 0, kDashed = 1, kBand = 2 };

    GraphColor color = 0;
    int id = 0;  // the owner's number; several lines may share one
    int style = kSolid;
    bool visible = true;  // hidden lines still count for automatic ranges
    std::vector<CScatterGraphPoint> points;
};

// The pixels of the points of a line that lie inside both axis ranges,
// bounds included, in order: points outside are skipped and the line runs
// on from the last drawn point to the next one inside.
QPolygon PlotPolyline(const CScatterGraphLine& line, const CGraphAxis& xAxis, const CGraphAxis& yAxis,
                      const QRect& plotRect);

// The pixels of a band's outline: points outside the x range or not numbers
// are skipped, y values beyond the axis are held at its bounds, so the filled
// band stays inside the plot.
QPolygon PlotBandOutline(const CScatterGraphLine& line, const CGraphAxis& xAxis, const CGraphAxis& yAxis,
                         const QRect& plotRect);
