#pragma once

#include <vector>

#include <QString>

#include "analysis/MeasuredLoop.h"

#include "model/LoopData.h"
#include "present/BodePlot.h"

class CGraphScatter;
struct ComparedDesign;
struct MeasuredOverlay;

// What a Bode page draws over its design: the loop measured on the bench,
// and the plant, compensator and loop of a compared design, dashed, with a
// key naming them.
class BodeOverlays {
public:
    BodeOverlays(qxr::ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase);

    // Adds the lines; once, after the design's own.
    void Setup();
    // Draws what is given (nullptr: nothing) and the key, designName naming
    // the design on the page; the compared curves follow the curves shown.
    void Draw(const MeasuredOverlay* measured, const ComparedDesign* compared, qxr::ShownCurves shown,
              const QString& designName, const std::vector<qxr::MeasuredPoint>* spice = nullptr);

private:
    void DrawPoints(const std::vector<qxr::MeasuredPoint>& points, qxr::BodeLineId line);
    void DrawCompared(const ComparedDesign& compared, qxr::ShownCurves shown);
    void AddPoint(double f, double gain, double phase, qxr::BodeLineId line);

    const qxr::ControlLoop loop_;
    CGraphScatter& magnitude_;
    CGraphScatter& phase_;
};
