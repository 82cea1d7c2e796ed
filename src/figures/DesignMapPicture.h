#pragma once

#include <cstddef>
#include <limits>

#include <QColor>
#include <QPointF>
#include <QRectF>

#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"

class QPainter;

// A loop's design map drawn with QPainter, for the Design Map pages and the
// report alike: the worst-case phase margin as viridis cells over the
// log-spaced crossover and the phase margin, contours of Ms and, where known,
// of the third-harmonic and load-step limits, the cells that cannot be
// realised hatched, the design's point and the proposal marked, a legend.

// What one picture shows; map must outlive the painting.
struct DesignMapScene {
    const qxr::DesignMap* map = nullptr;
    qxr::Proposal proposal;
    qxr::MapLimits limits;
    double designCrossover = std::numeric_limits<double>::quiet_NaN();  // Hz
    double designPm = std::numeric_limits<double>::quiet_NaN();         // degrees
};

// Taken from the palette in use, so that a dark one stays readable.
struct MapInk {
    QColor text, frame, background;
};

// The rectangle of the cells inside area, for the painter's font.
QRectF MapPlotRect(QPainter& painter, const QRectF& area);
// The cell under point, false outside the cells.
bool MapCellAt(const QRectF& plot, const qxr::DesignMap& map, QPointF point, std::size_t& row, std::size_t& column);
QPointF MapCellCentre(const QRectF& plot, const qxr::DesignMap& map, std::size_t row, std::size_t column);

void PaintDesignMap(QPainter& painter, const QRectF& area, const DesignMapScene& scene, const MapInk& ink);
