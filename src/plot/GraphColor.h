#pragma once

#include <cstdint>

#include <QColor>

// A colour as the owners give it: 0x00BBGGRR.
using GraphColor = std::uint32_t;

QColor ToQColor(GraphColor color);
GraphColor FromQColor(const QColor& color);

// The shade of the major grid lines: each component of the grid colour
// times 0.85, so 0xE1 becomes 0xBF.
GraphColor MajorGridColor(GraphColor gridColor);

// Black text on a light background, white on a dark one.
GraphColor ReadableTextColor(GraphColor background);
