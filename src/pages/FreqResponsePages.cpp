#include "pages/FreqResponsePages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <tuple>
#include <utility>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>

#include "analysis/Robustness.h"
#include "analysis/StabilityMetrics.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "pages/PageTemplate.h"
#include "plot/GraphLayout.h"
#include "plot/GraphScatter.h"

namespace {

enum ControlId {
    kPlantBox = 1007,
    kCompBox = 1008,
    kLoopBox = 1009,
    kPhaseGraph = 1010,
    kMagnitudeGraph = 1011,
    kFxField = 1022,
    kPhaseMarginField = 1023,
    kGainMarginField = 1026,
    kSweepFxField = 1036,
    kSweepPhaseMarginField = 1037,
    kSweepGainMarginField = 1038,
    kSlopeField = 1040,
    kSweepSlopeField = 1042,
    kRhpzField = 1044,
    kSweepRhpzField = 1046,
    kPlantReadout = 1052,
    kCompReadout = 1053,
    kLoopReadout = 1054,
    kHiddenReadout = 1055,
    kBodeGroup = 1058,
    kSweepBox = 1059,
};

constexpr GraphColor kBlack = 0x000000;
constexpr GraphColor kLightGreen = 0xC8E6C8;  // the loop's green, faded: the band behind it

QString ControlName(int id)
{
    return QStringLiteral("control%1").arg(id);
}

// The largest element and floor, or the smallest and ceiling; NaN elements do not count.
double MaxOrFloor(const std::vector<double>& values)
{
    double result = -100;
    for (double value : values)
        result = value > result ? value : result;
    return result;
}

double MinOrCeiling(const std::vector<double>& values)
{
    double result = 100;
    for (double value : values)
        result = value < result ? value : result;
    return result;
}

struct FrequencyPrefix {
    double scale;
    const char* unit;
};

FrequencyPrefix PrefixFor(double hz)
{
    const double magnitude = std::fabs(hz);
    if (magnitude >= 1e6)
        return {1e6, "MHz"};
    return magnitude >= 1e3 ? FrequencyPrefix{1e3, "kHz"} : FrequencyPrefix{1.0, "Hz"};
}

// Three significant digits with an engineering prefix: "9.66 Hz", "13.8 kHz".
QString FrequencyText(double hz)
{
    if (!std::isfinite(hz))
        return QString();
    const FrequencyPrefix prefix = PrefixFor(hz);
    return QString::asprintf("%.3g %s", hz / prefix.scale, prefix.unit);
}

// "minimum / maximum unit" of a sweep, with the maximum's prefix for both
// frequencies; nothing where the sweep has no figure.
QString SweepText(const qxr::MinMax& range, const char* format, const QString& unit, double scale = 1.0)
{
    if (std::isnan(range.min) || std::isnan(range.max))
        return QString();
    const auto number = [format, scale](double x) {
        return std::isinf(x) ? QString(x > 0 ? "∞" : "-∞") : QString::asprintf(format, x / scale);
    };
    return number(range.min) + QStringLiteral(" / ") + number(range.max) + unit;
}

QString FrequencySweepText(const qxr::MinMax& range)
{
    const FrequencyPrefix prefix = PrefixFor(range.max);
    return SweepText(range, "%.3g", QLatin1Char(' ') + QLatin1String(prefix.unit), prefix.scale);
}

void SetRange(CGraphAxis& axis, double minimum, double maximum, double majorStep)
{
    axis.minimum = minimum;
    axis.maximum = maximum;
    axis.majorStep = majorStep;
    axis.minorStep = 0;
    axis.autoScale = false;
}

}  // namespace

CTabFreqResponse::CTabFreqResponse(qxr::ControlLoop loop, const AxisPolicy& axes, const QString& title,
                                   CQXRDoc& document, QWidget* parent)
    : CDialogTab(331, document, parent), loop_(loop), axes_(axes)
{
    this->title = title;
}

CTabFreqResponse::~CTabFreqResponse() = default;

QWidget* CTabFreqResponse::CreateTemplateControl(const TemplateControl& control)
{
    if (control.className != QLatin1String("CGraphScatter"))
        return CDialogTab::CreateTemplateControl(control);
    auto* graph = new CGraphScatter(this);
    (control.name == ControlName(kMagnitudeGraph) ? magnitude_ : phase_) = graph;
    connect(graph, &CGraphScatter::HoverMoved, this, [this, graph] { OnGraphHover(*graph); });
    connect(graph, &CGraphScatter::HoverLeft, this, &CTabFreqResponse::OnGraphLeave);
    return graph;
}

QCheckBox* CTabFreqResponse::Box(int id) const
{
    return qobject_cast<QCheckBox*>(FindTemplateControl(ControlName(id)));
}

QLineEdit* CTabFreqResponse::Field(int id) const
{
    return qobject_cast<QLineEdit*>(FindTemplateControl(ControlName(id)));
}

QGroupBox* CTabFreqResponse::BodeGroup() const
{
    return qobject_cast<QGroupBox*>(FindTemplateControl(ControlName(kBodeGroup)));
}

bool CTabFreqResponse::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog() || magnitude_ == nullptr || phase_ == nullptr)
        return false;
    Box(kPlantBox)->setChecked(true);
    Box(kCompBox)->setChecked(false);
    Box(kLoopBox)->setChecked(true);
    Box(kSweepBox)->setChecked(true);
    for (int id : {kPlantBox, kCompBox, kLoopBox, kSweepBox})
        connect(Box(id), &QCheckBox::clicked, this, &CTabFreqResponse::RedrawBode);
    SetupGraphs();
    RedrawBode();
    return true;
}

void CTabFreqResponse::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    if (magnitude_ == nullptr)
        return;
    if (hint == HINT_NEW_DESIGN) {
        for (int id : {kPlantBox, kCompBox, kLoopBox})
            Box(id)->setChecked(true);
    }
    RedrawBode();
}

void CTabFreqResponse::SetupGraphs()
{
    const qxr::FrequencyRange range = qxr::BodeRange(document_.model, loop_);
    for (CGraphScatter* graph : {magnitude_, phase_}) {
        graph->xAxis.logScale = true;
        SetRange(graph->xAxis, range.start, range.stop, 0);
        graph->xTitle.text = tr("Frequency (Hz)");
        graph->xTitle.height = 15;
        graph->yTitle.height = 15;
        graph->xTitle.RebuildFont();
        graph->yTitle.RebuildFont();
        graph->textColor = kBlack;
        graph->backColor = FromQColor(palette().color(QPalette::Window));
        graph->plotColor = 0xFFFFFF;
        graph->gridColor = 0xE1E1E1;
        graph->AddLine(kBand, kLightGreen, CScatterGraphLine::kBand);  // first, so that every curve is drawn over it
        graph->AddLine(kPlant, 0xFF0000, CScatterGraphLine::kSolid);
        graph->AddLine(kComp, 0x0000FF, CScatterGraphLine::kSolid);
        graph->AddLine(kLoop, 0x008000, CScatterGraphLine::kSolid);
    }
    magnitude_->yTitle.text = tr("Magnitude (dB)");
    phase_->yTitle.text = tr("Phase (Degrees)");
    SetRange(magnitude_->yAxis, axes_.magnitudeMin, axes_.magnitudeMax, 20);
    SetRange(phase_->yAxis, -200, 0, 20);
    magnitude_->AddLine(kCrossover, kBlack, CScatterGraphLine::kDashed);
    magnitude_->AddLine(kZeroDb, kBlack, CScatterGraphLine::kDashed);
    phase_->AddLine(kCrossover, kBlack, CScatterGraphLine::kDashed);
}

void CTabFreqResponse::RedrawBode()
{
    CDesignModel& model = document_.model;
    const qxr::FrequencyRange range = qxr::BodeRange(model, loop_);
    qxr::BuildLogGrid(range.start, range.stop, qxr::RequiredCrossover(model, loop_), grid_);
    for (int id : {kBand, kPlant, kComp, kLoop, kCrossover})
        phase_->ClearLine(id);
    for (int id : {kBand, kPlant, kComp, kLoop, kZeroDb, kCrossover})
        magnitude_->ClearLine(id);
    phase_->RecalcRanges();
    magnitude_->RecalcRanges();
    ComputeCurves();
    if (axes_.fitsRangesToCurves)
        FitRanges(range);
    if (Box(kLoopBox)->isChecked()) {
        DrawCrossoverMarker(range);
        if (Box(kSweepBox)->isChecked())
            DrawSweepBands();
    }
    RepaintGraphs();
    ShowStability();
    ShowSweep();
}

// The spread of the loop's gain and phase over the corners of the stability
// sweep, as an outline along the minimum and back along the maximum.
void CTabFreqResponse::DrawSweepBands()
{
    const std::shared_ptr<const qxr::RobustnessReport> report = document_.robustness;
    if (!report)
        return;
    const qxr::LoopRobustness& loop = report->loops[static_cast<std::size_t>(loop_)];
    const std::vector<double>& f = loop.bandFrequencies;
    for (auto [graph, low, high] :
         {std::tuple{magnitude_, &loop.gainMin, &loop.gainMax}, std::tuple{phase_, &loop.phaseMin, &loop.phaseMax}}) {
        for (std::size_t k = 0; k < f.size(); ++k)
            graph->AddPoint(f[k], (*low)[k], kBand);
        for (std::size_t k = f.size(); k-- > 0;)
            graph->AddPoint(f[k], (*high)[k], kBand);
    }
}

void CTabFreqResponse::ShowSweep()
{
    const std::shared_ptr<const qxr::RobustnessReport> report = document_.robustness;
    const int fields[] = {kSweepFxField, kSweepPhaseMarginField, kSweepGainMarginField, kSweepSlopeField,
                          kRhpzField,    kSweepRhpzField};
    if (!report || !report->notComputed.empty()) {
        for (int id : fields)
            SetField(id, QString());
        if (report)
            Field(kSweepFxField)->setToolTip(QString::fromStdString(report->notComputed));
        return;
    }
    const std::array<qxr::MinMax, 4>& range = report->loops[static_cast<std::size_t>(loop_)].overall;
    SetField(kSweepFxField, FrequencySweepText(range[0]));
    SetField(kSweepPhaseMarginField, SweepText(range[1], "%1.0f", QStringLiteral("°")));
    SetField(kSweepGainMarginField, SweepText(range[2], "%1.0f", QStringLiteral(" dB")));
    SetField(kSweepSlopeField, SweepText(range[3], "%1.0f", QStringLiteral(" dB/dec")));
    SetField(kRhpzField, FrequencyText(report->rhpz.nominal));
    SetField(kSweepRhpzField, FrequencySweepText({report->rhpz.min, report->rhpz.max}));
}

void CTabFreqResponse::ComputeCurves()
{
    for (std::vector<double>* values : {&plantGain_, &plantPhase_, &compGain_, &compPhase_, &loopGain_, &loopPhase_})
        values->clear();
    const bool plant = Box(kPlantBox)->isChecked();
    const bool comp = Box(kCompBox)->isChecked();
    const bool loop = Box(kLoopBox)->isChecked();
    if (!plant && !comp && !loop)
        return;
    const auto add = [this](int line, double f, double gain, double phase, std::vector<double>& gains,
                            std::vector<double>& phases) {
        gains.push_back(gain);
        phases.push_back(phase);
        magnitude_->AddPoint(f, gain, line);
        phase_->AddPoint(f, phase, line);
    };
    for (double f : grid_) {
        const qxr::BodePoint point = qxr::EvaluateLoop(document_.model, loop_, f);
        if (plant)
            add(kPlant, f, point.plantGain, point.plantPhase, plantGain_, plantPhase_);
        if (comp)
            add(kComp, f, point.compGain, point.compPhase, compGain_, compPhase_);
        if (loop)
            add(kLoop, f, point.loopGain, point.loopPhase, loopGain_, loopPhase_);
    }
}

double CTabFreqResponse::RoundAxisBound(double value)
{
    return value < 0 ? value - std::fmod(value, 10) - 10 : value - std::fmod(value, 10) + 10;
}

// The magnitude axis spans the curves; the phase axis runs from -210 to
// just above the highest curve, at most 10.
void CTabFreqResponse::FitRanges(qxr::FrequencyRange range)
{
    const double lowest = std::min({MinOrCeiling(plantGain_), MinOrCeiling(compGain_), MinOrCeiling(loopGain_)});
    const double highest = std::max({MaxOrFloor(plantGain_), MaxOrFloor(compGain_), MaxOrFloor(loopGain_)});
    SetRange(magnitude_->yAxis, RoundAxisBound(lowest), RoundAxisBound(highest), 20);
    // The plant's phase is a constant -90; its gains stand in for it here.
    double highestPhase = std::max({MaxOrFloor(plantGain_), MaxOrFloor(compPhase_), MaxOrFloor(loopPhase_)});
    if (highestPhase >= 0)
        highestPhase = 0;
    SetRange(phase_->yAxis, RoundAxisBound(-200), RoundAxisBound(highestPhase), 20);
    for (CGraphScatter* graph : {magnitude_, phase_})
        SetRange(graph->xAxis, range.start, range.stop, 0);
}

void CTabFreqResponse::DrawCrossoverMarker(qxr::FrequencyRange range)
{
    const double fx = grid_[static_cast<std::size_t>(qxr::FindCrossoverIndex(loopGain_))];
    for (CGraphScatter* graph : {magnitude_, phase_}) {
        graph->AddPoint(fx, graph->yAxis.maximum, kCrossover);
        graph->AddPoint(fx, graph->yAxis.minimum, kCrossover);
    }
    magnitude_->AddPoint(range.start, 0, kZeroDb);
    magnitude_->AddPoint(range.stop, 0, kZeroDb);
}

void CTabFreqResponse::ShowStability()
{
    const qxr::LoopStability loop = qxr::StabilityOf(document_.model, loop_);
    SetField(kFxField, QString::asprintf("%1.0f Hz", loop.fx));
    SetField(kPhaseMarginField, QString::asprintf("%1.0f°", loop.phaseMargin));
    if (!std::isnan(loop.gainMargin))
        SetField(kGainMarginField, QString::asprintf("%1.0f dB", loop.gainMargin));
    else if (!loopGain_.empty())
        SetField(kGainMarginField, QString::asprintf("> %1.0f dB", std::fabs(loopGain_.back())));
    SetField(kSlopeField, QString::asprintf("%1.0f dB/dec", loop.slope));
}

void CTabFreqResponse::SetField(int id, const QString& text)
{
    if (QLineEdit* field = Field(id)) {
        field->setText(text);
        field->setCursorPosition(0);  // a text longer than the field shows its beginning
    }
}

void CTabFreqResponse::OnGraphHover(CGraphScatter& graph)
{
    const int index = HoverIndex(graph.hoverPoint.x(), graph.plotRect, static_cast<int>(grid_.size()));
    if (index < 0)
        return;
    const auto i = static_cast<std::size_t>(index);
    BodeGroup()->setTitle(tr("Bode Plot (Gain/Phase at %1 Hz)").arg(QString::asprintf("%1.2f", grid_[i])));
    const auto readout = [i](const std::vector<double>& gains, const std::vector<double>& phases) {
        return QString::asprintf("%1.2fdB / %1.2f°", gains[i], phases[i]);
    };
    if (Box(kPlantBox)->isChecked() && i < plantGain_.size())
        SetField(kPlantReadout, readout(plantGain_, plantPhase_));
    if (Box(kLoopBox)->isChecked() && i < loopGain_.size())
        SetField(kLoopReadout, readout(loopGain_, loopPhase_));
    if (Box(kCompBox)->isChecked() && i < compGain_.size())
        SetField(kCompReadout, readout(compGain_, compPhase_));
    for (CGraphScatter* target : {magnitude_, phase_}) {
        target->RemoveLine(kCursor);
        target->AddLine(kCursor, kBlack, CScatterGraphLine::kDashed);
        target->AddPoint(grid_[i], target->yAxis.minimum, kCursor);
        target->AddPoint(grid_[i], target->yAxis.maximum, kCursor);
    }
    RepaintGraphs();
}

void CTabFreqResponse::OnGraphLeave()
{
    BodeGroup()->setTitle(tr("Bode Plot "));
    for (int id : {kPlantReadout, kLoopReadout, kCompReadout, kHiddenReadout})
        SetField(id, QString());
    magnitude_->RemoveLine(kCursor);
    phase_->RemoveLine(kCursor);
    RepaintGraphs();
}

void CTabFreqResponse::RepaintGraphs()
{
    magnitude_->Redraw();
    phase_->Redraw();
}

// The graphs take the page's width and share the height below their top.
void CTabFreqResponse::resizeEvent(QResizeEvent* event)
{
    CDialogTab::resizeEvent(event);
    if (magnitude_ == nullptr)
        return;
    const int top = magnitude_->y();
    const int magnitudeHeight = (height() - top) / 2;
    magnitude_->setGeometry(0, top, width(), magnitudeHeight);
    phase_->setGeometry(0, top + magnitudeHeight, width(), height() - top - magnitudeHeight);
}

CTabFreqResponseVoltage::CTabFreqResponseVoltage(CQXRDoc& document, QWidget* parent)
    : CTabFreqResponse(qxr::ControlLoop::Voltage, {false, -80, 40}, tr("Voltage Freq Response"), document, parent)
{
}

CTabFreqResponseCurrent::CTabFreqResponseCurrent(CQXRDoc& document, QWidget* parent)
    : CTabFreqResponse(qxr::ControlLoop::Current, {true, -100, 100}, tr("Current Freq Response"), document, parent)
{
}
