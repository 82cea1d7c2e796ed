#include "present/MapColours.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace qxr {

namespace {

// viridis at 0, 0.1, ... 1 (sRGB, 8 bits), as published with the map.
constexpr std::array<std::array<int, 3>, 11> kViridis{{
    {68, 1, 84},
    {72, 37, 118},
    {65, 68, 135},
    {53, 96, 141},
    {42, 120, 142},
    {33, 144, 140},
    {34, 168, 132},
    {67, 191, 113},
    {122, 209, 81},
    {187, 223, 39},
    {253, 231, 37},
}};

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

Rgb Viridis(double t)
{
    const double position = std::clamp(std::isnan(t) ? 0.0 : t, 0.0, 1.0) * (kViridis.size() - 1);
    const auto below = std::min(static_cast<std::size_t>(position), kViridis.size() - 2);
    const double f = position - static_cast<double>(below);
    const auto channel = [&](std::size_t c) {
        return ((1 - f) * kViridis[below][c] + f * kViridis[below + 1][c]) / 255.0;
    };
    return {channel(0), channel(1), channel(2)};
}

double Lightness(const Rgb& colour)
{
    const double y = 0.2126 * Linear(colour.r) + 0.7152 * Linear(colour.g) + 0.0722 * Linear(colour.b);
    constexpr double kEpsilon = 216.0 / 24389.0, kKappa = 24389.0 / 27.0;
    return y > kEpsilon ? 116 * std::cbrt(y) - 16 : kKappa * y;
}

}  // namespace qxr
