#pragma once

#include <array>

// The design map's colour scale: viridis, perceptually uniform and readable
// for the common colour-blindnesses, interpolated in its published table.
namespace qxr {

struct Rgb {
    double r = 0, g = 0, b = 0;  // 0 to 1
};

// t from 0 (dark violet) to 1 (yellow), clamped.
Rgb Viridis(double t);

// CIE L* of an sRGB colour (D65), 0 to 100: the lightness the scale rises in.
double Lightness(const Rgb& colour);

// The worst-case phase margins the scale spans, degrees; below and above
// take its ends.
inline constexpr double kMapPmLow = 0, kMapPmHigh = 90;
inline double MapScalePosition(double worstPm)
{
    return (worstPm - kMapPmLow) / (kMapPmHigh - kMapPmLow);
}

}  // namespace qxr
