#include "present/MapContours.h"

#include <array>
#include <cmath>

namespace qxr {

namespace {

// The corners of a square, counter-clockwise from its lower left: (column, row) offsets.
constexpr std::array<std::array<int, 2>, 4> kCorners{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};

struct Square {
    std::array<double, 4> value;
    std::size_t row, column;

    bool Above(int corner, double level) const { return value[corner] >= level; }

    // Where level crosses the edge from corner a to the next one.
    GridPoint Crossing(int edge, double level) const
    {
        const int a = edge, b = (edge + 1) % 4;
        const double f = (level - value[a]) / (value[b] - value[a]);
        const auto along = [&](int axis) { return kCorners[a][axis] + f * (kCorners[b][axis] - kCorners[a][axis]); };
        return {static_cast<double>(column) + along(0), static_cast<double>(row) + along(1)};
    }
};

// The edges a square's line joins, in pairs, by which corners lie above the
// level; a saddle is split the way the square's mean says.
std::vector<std::array<int, 2>> EdgePairs(const Square& square, double level)
{
    int mask = 0;
    for (int corner = 0; corner < 4; ++corner)
        mask |= square.Above(corner, level) ? 1 << corner : 0;
    if (mask == 0 || mask == 15)
        return {};
    if (mask == 5 || mask == 10) {
        // A diagonal pair above: the square's mean says whether it joins through the centre.
        const double mean = (square.value[0] + square.value[1] + square.value[2] + square.value[3]) / 4;
        const bool cutOffCorners0And2 = (mask == 5) != (mean >= level);
        if (cutOffCorners0And2)
            return {{3, 0}, {1, 2}};
        return {{0, 1}, {2, 3}};
    }
    // One edge where the corners go from below to above and one from above to below.
    std::array<int, 2> pair{};
    for (int edge = 0; edge < 4; ++edge) {
        const bool a = square.Above(edge, level), b = square.Above((edge + 1) % 4, level);
        if (a != b)
            pair[a ? 1 : 0] = edge;
    }
    return {pair};
}

}  // namespace

std::vector<ContourSegment> TraceContour(const std::vector<double>& values, std::size_t rows, std::size_t columns,
                                         double level)
{
    std::vector<ContourSegment> segments;
    for (std::size_t row = 0; row + 1 < rows; ++row) {
        for (std::size_t column = 0; column + 1 < columns; ++column) {
            Square square{{}, row, column};
            bool known = true;
            for (int corner = 0; corner < 4; ++corner) {
                const double v = values[(row + kCorners[corner][1]) * columns + column + kCorners[corner][0]];
                square.value[corner] = v;
                known = known && !std::isnan(v);
            }
            if (!known)
                continue;
            for (const std::array<int, 2>& edges : EdgePairs(square, level))
                segments.push_back({square.Crossing(edges[0], level), square.Crossing(edges[1], level)});
        }
    }
    return segments;
}

namespace {

// A figure of every realisable point, NaN elsewhere, row by row.
std::vector<double> Values(const DesignMap& map, double MapCell::*figure)
{
    std::vector<double> values;
    values.reserve(map.cells.size());
    for (const MapCell& cell : map.cells)
        values.push_back(cell.computed && cell.realisable ? cell.*figure : MapCell::kNaN);
    return values;
}

}  // namespace

std::vector<MapContourLine> MapContourLines(const DesignMap& map, const MapLimits& limits)
{
    const std::size_t rows = map.phaseMargins.size(), columns = map.crossovers.size();
    std::vector<MapContourLine> lines;
    const std::vector<double> ms = Values(map, &MapCell::worstMs);
    for (double level : kMapMsLevels)
        lines.push_back({MapContourFigure::Ms, level, TraceContour(ms, rows, columns, level)});
    if (!map.timeDomain)
        return lines;
    lines.push_back({MapContourFigure::ThirdHarmonic, limits.h3Max,
                     TraceContour(Values(map, &MapCell::h3), rows, columns, limits.h3Max)});
    lines.push_back({MapContourFigure::LoadStepMinimum, limits.stepMin,
                     TraceContour(Values(map, &MapCell::stepMin), rows, columns, limits.stepMin)});
    return lines;
}

}  // namespace qxr
