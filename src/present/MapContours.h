#pragma once

#include <cstddef>
#include <vector>

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

}  // namespace qxr
