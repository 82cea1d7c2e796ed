#include "plot/ScatterGraphLine.h"

#include <cmath>

#include "plot/GraphAxis.h"
#include "plot/GraphLayout.h"

QPolygon PlotPolyline(const CScatterGraphLine& line, const CGraphAxis& xAxis, const CGraphAxis& yAxis,
                      const QRect& plotRect)
{
    QPolygon polyline;
    polyline.reserve(static_cast<int>(line.points.size()));
    for (const CScatterGraphPoint& point : line.points) {
        if (xAxis.Contains(point.x) && yAxis.Contains(point.y))
            polyline << PlotPixel(plotRect, xAxis.PixelOffset(point.x), yAxis.PixelOffset(point.y));
    }
    return polyline;
}

QPolygon PlotBandOutline(const CScatterGraphLine& line, const CGraphAxis& xAxis, const CGraphAxis& yAxis,
                         const QRect& plotRect)
{
    QPolygon outline;
    outline.reserve(static_cast<int>(line.points.size()));
    for (const CScatterGraphPoint& point : line.points) {
        if (!xAxis.Contains(point.x) || std::isnan(point.y))
            continue;
        const double y = std::fmin(std::fmax(point.y, yAxis.minimum), yAxis.maximum);
        outline << PlotPixel(plotRect, xAxis.PixelOffset(point.x), yAxis.PixelOffset(y));
    }
    return outline;
}
