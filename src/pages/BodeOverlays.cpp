#include "pages/BodeOverlays.h"

#include <vector>

#include <QCoreApplication>
#include <QFileInfo>

#include "doc/Overlays.h"
#include "figures/BodeGraphs.h"
#include "plot/GraphScatter.h"

using namespace qxr;

namespace {

constexpr GraphColor kBlack = 0x000000;
constexpr BodeLineId kLines[] = {kComparedPlantLine, kComparedCompLine, kComparedLoopLine, kMeasuredLine, kSpiceLine};

QString Tr(const char* text)
{
    return QCoreApplication::translate("BodeOverlays", text);
}

}  // namespace

BodeOverlays::BodeOverlays(qxr::ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase)
    : loop_(loop), magnitude_(magnitude), phase_(phase)
{
}

void BodeOverlays::Setup()
{
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        for (BodeLineId line : kLines)
            AddBodeLine(*graph, line);
    }
}

void BodeOverlays::Draw(const MeasuredOverlay* measured, const ComparedDesign* compared, ShownCurves shown,
                        const QString& designName, const std::vector<MeasuredPoint>* spice)
{
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        for (BodeLineId line : kLines)
            graph->ClearLine(line);
    }
    std::vector<CGraphLegendEntry> legend;
    if (compared != nullptr) {
        DrawCompared(*compared, shown);
        legend.push_back({designName, kBlack, CScatterGraphLine::kSolid});
        legend.push_back({compared->Name(), kBlack, CScatterGraphLine::kDashed});
    }
    if (measured != nullptr) {
        DrawPoints(measured->points, kMeasuredLine);
        legend.push_back({Tr("Measured: %1").arg(QFileInfo(measured->path).fileName()), LookOf(kMeasuredLine).color,
                          CScatterGraphLine::kSolid});
    }
    if (spice != nullptr) {
        DrawPoints(*spice, kSpiceLine);
        legend.push_back({Tr("Spice"), LookOf(kSpiceLine).color, CScatterGraphLine::kSolid});
    }
    magnitude_.legend = std::move(legend);
}

void BodeOverlays::DrawPoints(const std::vector<MeasuredPoint>& points, BodeLineId line)
{
    for (const MeasuredPoint& point : points)
        AddPoint(point.freq, point.gainDb, point.phaseDeg, line);
}

void BodeOverlays::DrawCompared(const ComparedDesign& compared, ShownCurves shown)
{
    const ComparedCurves& curves = compared.curves[static_cast<std::size_t>(loop_)];
    for (std::size_t i = 0; i < curves.freq.size(); ++i) {
        const double f = curves.freq[i];
        const BodePoint& point = curves.points[i];
        if (shown.plant)
            AddPoint(f, point.plantGain, point.plantPhase, kComparedPlantLine);
        if (shown.comp)
            AddPoint(f, point.compGain, point.compPhase, kComparedCompLine);
        if (shown.loop)
            AddPoint(f, point.loopGain, point.loopPhase, kComparedLoopLine);
    }
}

void BodeOverlays::AddPoint(double f, double gain, double phase, BodeLineId line)
{
    magnitude_.AddPoint(f, gain, line);
    phase_.AddPoint(f, phase, line);
}
