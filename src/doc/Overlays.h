#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QString>

#include "analysis/ControlLoops.h"
#include "analysis/ExactMetrics.h"
#include "analysis/MeasuredLoop.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"

// What the Bode pages draw over the design: a loop measured on the bench and
// a second design to compare with. Neither is part of the design file.

// One loop's measurement as imported, with its figures.
struct MeasuredOverlay {
    QString path;
    std::vector<qxr::MeasuredPoint> points;
    qxr::ExactMetrics metrics;
};

// Reads a measurement file; on a problem, error holds "line N: ..." or the
// system's reason and nothing is returned.
std::shared_ptr<const MeasuredOverlay> ImportMeasurement(const QString& path, QString& error);

// One loop of a compared design on its own grid, so that it is drawn as it was designed.
struct ComparedCurves {
    std::vector<double> freq;
    std::vector<qxr::BodePoint> points;
};

// A second design, opened read-only and calculated once, with its curves.
// It never becomes the document's design and is never saved.
struct ComparedDesign {
    QString path;
    CDesignModel model;
    std::array<ComparedCurves, 2> curves;  // in ControlLoop order

    // The file name the pages and the legend call it by.
    QString Name() const;
};

// Loads and calculates the design of path; nothing when the file cannot be read.
std::shared_ptr<const ComparedDesign> OpenComparedDesign(const QString& path, FileResult& result);

// The overlays a document shows, kept by the document beside its design.
struct Overlays {
    std::array<std::shared_ptr<const MeasuredOverlay>, 2> measured;  // in ControlLoop order
    std::shared_ptr<const ComparedDesign> compared;
};
