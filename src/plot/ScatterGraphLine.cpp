#include "plot/ScatterGraphLine.h"

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
