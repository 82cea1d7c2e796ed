#pragma once

#include <cstddef>
#include <vector>

#include "designmap/DesignMap.h"

// Contour lines through a grid of values by marching squares: the values sit
// at the cells' centres, a square of four neighbouring centres with any NaN
// among them gives no line.
namespace qxr {

struct GridPoint {
    double column = 0, row = 0;  // fractional cell indexes
};

struct ContourSegment {
    GridPoint from, to;
};

// values row by row (values[row * columns + column]); the segments where they
// cross level, each end interpolated linearly along a square's edge.
std::vector<ContourSegment> TraceContour(const std::vector<double>& values, std::size_t rows, std::size_t columns,
                                         double level);

// The Ms levels a design map's contours follow.
inline constexpr double kMapMsLevels[] = {1.4, 1.7, 2.0};

enum class MapContourFigure { Ms, ThirdHarmonic, LoadStepMinimum };

struct MapContourLine {
    MapContourFigure figure;
    double level;
    std::vector<ContourSegment> segments;  // none where the figure does not cross the level
};

// The lines a design map draws through its realisable points: Ms at each of
// kMapMsLevels and, once the time-domain pass is done, the third harmonic at
// H3__MAX and the load step's minimum at V__STEP_MIN.
std::vector<MapContourLine> MapContourLines(const DesignMap& map, const MapLimits& limits);

}  // namespace qxr
