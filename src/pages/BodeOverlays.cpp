#include "pages/BodeOverlays.h"

#include <cmath>
#include <vector>

#include <QCoreApplication>
#include <QFileInfo>

#include "doc/Overlays.h"
#include "plot/GraphScatter.h"

namespace {

constexpr GraphColor kBlack = 0x000000;
constexpr GraphColor kMeasuredColor = 0x800080;
constexpr GraphColor kComparedPlantColor = 0xC0A000;
constexpr GraphColor kComparedCompColor = 0x4040C0;
constexpr GraphColor kComparedLoopColor = 0x008080;

QString Tr(const char* text)
{
    return QCoreApplication::translate("BodeOverlays", text);
}

// A figure that could not be found reads "n/a".
QString Figure(const char* format, double value)
{
    return std::isnan(value) ? Tr("n/a") : QString::asprintf(format, value);
}

}  // namespace

BodeOverlays::BodeOverlays(qxr::ControlLoop loop, CGraphScatter& magnitude, CGraphScatter& phase)
    : loop_(loop), magnitude_(magnitude), phase_(phase)
{
}

void BodeOverlays::Setup()
{
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        graph->AddLine(kComparedPlant, kComparedPlantColor, CScatterGraphLine::kDashed);
        graph->AddLine(kComparedComp, kComparedCompColor, CScatterGraphLine::kDashed);
        graph->AddLine(kComparedLoop, kComparedLoopColor, CScatterGraphLine::kDashed);
        graph->AddLine(kMeasured, kMeasuredColor, CScatterGraphLine::kSolid);
    }
}

void BodeOverlays::Draw(const MeasuredOverlay* measured, const ComparedDesign* compared, BodeGraphs::Curves shown,
                        const QString& designName)
{
    for (CGraphScatter* graph : {&magnitude_, &phase_}) {
        for (int line : {kMeasured, kComparedPlant, kComparedComp, kComparedLoop})
            graph->ClearLine(line);
    }
    std::vector<CGraphLegendEntry> legend;
    if (compared != nullptr) {
        DrawCompared(*compared, shown);
        legend.push_back({designName, kBlack, CScatterGraphLine::kSolid});
        legend.push_back({compared->Name(), kBlack, CScatterGraphLine::kDashed});
    }
    if (measured != nullptr) {
        DrawMeasured(*measured);
        legend.push_back(
            {Tr("Measured: %1").arg(QFileInfo(measured->path).fileName()), kMeasuredColor, CScatterGraphLine::kSolid});
    }
    magnitude_.legend = std::move(legend);
}

void BodeOverlays::DrawMeasured(const MeasuredOverlay& measured)
{
    for (const qxr::MeasuredPoint& point : measured.points)
        AddPoint(point.freq, point.gainDb, point.phaseDeg, kMeasured);
}

void BodeOverlays::DrawCompared(const ComparedDesign& compared, BodeGraphs::Curves shown)
{
    const ComparedCurves& curves = compared.curves[static_cast<std::size_t>(loop_)];
    for (std::size_t i = 0; i < curves.freq.size(); ++i) {
        const double f = curves.freq[i];
        const qxr::BodePoint& point = curves.points[i];
        if (shown.plant)
            AddPoint(f, point.plantGain, point.plantPhase, kComparedPlant);
        if (shown.comp)
            AddPoint(f, point.compGain, point.compPhase, kComparedComp);
        if (shown.loop)
            AddPoint(f, point.loopGain, point.loopPhase, kComparedLoop);
    }
}

void BodeOverlays::AddPoint(double f, double gain, double phase, int line)
{
    magnitude_.AddPoint(f, gain, line);
    phase_.AddPoint(f, phase, line);
}

MeasuredTexts FormatMeasured(const qxr::ExactMetrics& metrics)
{
    return {Figure("%1.0f Hz", metrics.fx), Figure("%1.0f°", metrics.pm),
            std::isinf(metrics.gm) ? Tr("none") : Figure("%1.0f dB", metrics.gm),
            Figure("%1.0f dB/dec", metrics.slope)};
}
