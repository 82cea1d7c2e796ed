#pragma once

#include <QString>

#include "analysis/ControlLoops.h"
#include "analysis/ExactMetrics.h"
#include "pages/BodeGraphs.h"

class CGraphScatter;
struct ComparedDesign;
struct MeasuredOverlay;

// What a Bode page draws over its design: the loop measured on the bench,
// and the plant, compensator and loop of a compared design, dashed, with a
// key naming them.
class BodeOverlays {
public:
    enum LineId { kMeasured = 11, kComparedPlant = 12, kComparedComp = 13, kComparedLoop = 14 };

    BodeOverlays(qxr::ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase);

    // Adds the lines; once, after the design's own.
    void Setup();
    // Draws what is given (nullptr: nothing) and the key, designName naming
    // the design on the page; the compared curves follow the curves shown.
    void Draw(const MeasuredOverlay* measured, const ComparedDesign* compared, BodeGraphs::Curves shown,
              const QString& designName);

private:
    void DrawMeasured(const MeasuredOverlay& measured);
    void DrawCompared(const ComparedDesign& compared, BodeGraphs::Curves shown);
    void AddPoint(double f, double gain, double phase, int line);

    const qxr::ControlLoop loop_;
    CGraphScatter& magnitude_;
    CGraphScatter& phase_;
};

// The figures of a measured loop as the page's Measured row shows them.
struct MeasuredTexts {
    QString crossover;
    QString phaseMargin;
    QString gainMargin;
    QString slope;
};
MeasuredTexts FormatMeasured(const qxr::ExactMetrics& metrics);
