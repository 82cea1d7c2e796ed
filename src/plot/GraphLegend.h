#pragma once

#include <vector>

#include <QRect>
#include <QString>

#include "plot/GraphColor.h"

class QFont;
class QPainter;

// One row of a graph's key: a short sample of a line's pen and its name.
struct CGraphLegendEntry {
    QString text;
    GraphColor color;
    int style;  // CScatterGraphLine::Style, solid or dashed
};

// The frame the key takes in the plot's bottom left corner, where the
// falling gains of a Bode plot leave room and a page scrolled sideways still
// shows it; empty without entries.
QRect LegendRect(const std::vector<CGraphLegendEntry>& entries, const QFont& font, const QRect& plotRect);

// Draws the key over the lines: a frame filled with the plot colour, then a
// row per entry.
void DrawLegend(QPainter& painter, const std::vector<CGraphLegendEntry>& entries, const QFont& font,
                const QRect& plotRect, GraphColor textColor, GraphColor plotColor, GraphColor frameColor);
