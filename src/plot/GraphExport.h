#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class CGraphScatter;

// A graph as it stands on the screen, at its size on the screen: as an
// image (for the clipboard), as PNG bytes, or as an SVG document whose
// curves, grid and texts stay vectors.
QImage GraphImage(CGraphScatter& graph);
QByteArray GraphPng(CGraphScatter& graph);
QByteArray GraphSvg(CGraphScatter& graph, const QString& title);
