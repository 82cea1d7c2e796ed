#include "plot/GraphColor.h"

namespace {

int Component(GraphColor color, int shift)
{
    return static_cast<int>((color >> shift) & 0xFF);
}

GraphColor Darken(GraphColor color, int shift)
{
    // Single precision, truncated: the shade the grid has always had.
    return static_cast<GraphColor>(static_cast<float>(Component(color, shift)) * 0.85f) << shift;
}

}  // namespace

QColor ToQColor(GraphColor color)
{
    return QColor(Component(color, 0), Component(color, 8), Component(color, 16));
}

GraphColor FromQColor(const QColor& color)
{
    return static_cast<GraphColor>(color.red()) | static_cast<GraphColor>(color.green()) << 8 |
           static_cast<GraphColor>(color.blue()) << 16;
}

GraphColor MajorGridColor(GraphColor gridColor)
{
    return Darken(gridColor, 0) | Darken(gridColor, 8) | Darken(gridColor, 16);
}

GraphColor ReadableTextColor(GraphColor background)
{
    return ToQColor(background).lightness() < 128 ? 0xFFFFFF : 0x000000;
}
