#include "pages/TimeDomainPage.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "plot/GraphLayout.h"
#include "plot/GraphScatter.h"
#include "present/NumberFormat.h"
#include "present/PageTemplate.h"
#include "present/TimeDomainTexts.h"
#include "timedomain/Scenarios.h"

namespace {

enum ControlId {
    kStatus = 3001,
    kTable = 3002,
    kFirstGraph = 3003,  // line voltage, line current, harmonics; then the scenario's two
    kScenarioBox = 3006,
    kSummary = 3007,
    kReadout = 3010,
};
constexpr std::array<int, 5> kGraphIds{3003, 3004, 3005, 3008, 3009};

enum LineId { kCurve = 0, kLimits = 1, kUpperBound = 2, kLowerBound = 3 };
constexpr GraphColor kCurveColors[] = {0xA00000, 0x0000C0, 0x008000, 0x008000, 0x800080};
constexpr GraphColor kLimitColor = 0x0000FF;
constexpr GraphColor kBoundColor = 0x606060;
// The harmonic chart's current axis, A: it shows the limits and all but the faintest harmonics.
constexpr double kHarmonicFloor = 1e-4;
constexpr double kHarmonicCeiling = 10;
constexpr int kLowestShownOrder = 2;
// The order axis runs from 1 to 41, labelled at the odd orders.
constexpr double kFirstOrderOnAxis = 1;
constexpr double kLastOrderOnAxis = qxr::kHighestHarmonic + 1;
// The steady state shown first: V__IN_MIN at full load, where the line current is largest.
constexpr int kFirstPoint = 0;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

void SetFixedRange(CGraphAxis& axis, double minimum, double maximum)
{
    axis.minimum = minimum;
    axis.maximum = maximum;
    axis.autoScale = false;
}

// A waveform over its own time span, in ms, on round value bounds that take in `levels` too.
void DrawWaveform(CGraphScatter& graph, const std::vector<double>& time, const std::vector<double>& values,
                  std::initializer_list<double> levels = {})
{
    graph.ClearLine(kCurve);
    for (std::size_t k = 0; k < time.size() && k < values.size(); ++k)
        graph.AddPoint(1000 * time[k], values[k], kCurve);
    if (!time.empty())
        SetRoundRange(graph.xAxis, 1000 * time.front(), 1000 * time.back());
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    if (lowest != values.end()) {
        double low = *lowest, high = *highest;
        for (double level : levels) {
            low = std::fmin(low, level);
            high = std::fmax(high, level);
        }
        SetRoundRange(graph.yAxis, low, high);
    }
    graph.RecalcRanges();
    graph.Redraw();
}

// A level across the whole time span, dashed.
void DrawLevel(CGraphScatter& graph, int line, double level)
{
    graph.ClearLine(line);
    graph.AddPoint(graph.xAxis.minimum, level, line);
    graph.AddPoint(graph.xAxis.maximum, level, line);
}

// Each harmonic a bar from the floor; the limits a step line over them.
void DrawHarmonics(CGraphScatter& graph, const qxr::SteadyStatePoint* point)
{
    graph.ClearLine(kCurve);
    graph.ClearLine(kLimits);
    if (point != nullptr) {
        for (int order = kLowestShownOrder; order <= qxr::kHighestHarmonic; ++order) {
            const double rms = std::max(point->harmonics.rms[static_cast<std::size_t>(order)], kHarmonicFloor);
            for (const auto& [x, y] : {std::pair{order - 0.35, kHarmonicFloor}, std::pair{order - 0.35, rms},
                                       std::pair{order + 0.35, rms}, std::pair{order + 0.35, kHarmonicFloor}})
                graph.AddPoint(x, y, kCurve);
            const double limit = point->limits.limit[static_cast<std::size_t>(order)];
            graph.AddPoint(order - 0.5, limit, kLimits);
            graph.AddPoint(order + 0.5, limit, kLimits);
        }
    }
    graph.Redraw();
}

}  // namespace

CTabTimeDomain::CTabTimeDomain(CQXRDoc& document, QWidget* parent) : CDialogTab(340, document, parent)
{
}

QLabel* CTabTimeDomain::Summary() const
{
    return qobject_cast<QLabel*>(FindTemplateControl(ControlName(kSummary)));
}

QLabel* CTabTimeDomain::Readout() const
{
    return qobject_cast<QLabel*>(FindTemplateControl(ControlName(kReadout)));
}

QWidget* CTabTimeDomain::CreateTemplateControl(const qxr::TemplateControl& control)
{
    const QString name = QString::fromStdString(control.name);
    if (control.className == "QComboBox") {
        scenario_ = new QComboBox(this);
        return scenario_;
    }
    if (control.className == "QPlainTextEdit") {
        status_ = new QPlainTextEdit(this);
        status_->setReadOnly(true);
        return status_;
    }
    if (control.className != "CGraphScatter")
        return CDialogTab::CreateTemplateControl(control);
    auto* graph = new CGraphScatter(this);
    for (std::size_t i = 0; i < kGraphIds.size(); ++i) {
        if (name == ControlName(kGraphIds[i])) {
            graphs_[i] = graph;
            connect(graph, &CGraphScatter::HoverMoved, this, [this, i] { OnHover(static_cast<Graph>(i)); });
        }
    }
    return graph;
}

bool CTabTimeDomain::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog() || scenario_ == nullptr || status_ == nullptr ||
        std::find(graphs_.begin(), graphs_.end(), nullptr) != graphs_.end())
        return false;
    QStringList headings;
    for (const std::string& heading : qxr::SteadyHeadings())
        headings << QCoreApplication::translate("TimeDomain", heading.c_str());
    table_ = TableAt(kTable, headings);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setAccessibleName(tr("Steady states over line and load"));
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { ShowPoint(row); });
    scenario_->addItems({tr("Load step"), tr("Start-up"), tr("Hold-up")});
    scenario_->setAccessibleName(tr("Scenario"));
    scenario_->setAccessibleDescription(tr("the output graphs show it"));
    connect(scenario_, &QComboBox::currentIndexChanged, this, &CTabTimeDomain::ShowScenario);
    for (QLabel* label : {Summary(), Readout()})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setAccessibleName(tr("What the simulation says of the stage"));
    Summary()->setAccessibleName(tr("The scenario's figures"));
    Readout()->setAccessibleName(tr("The value under the mouse"));
    SetUpGraphs();
    ShowReport();
    return true;
}

void CTabTimeDomain::SetUpGraphs()
{
    const QString titles[] = {tr("Line voltage (V)"), tr("Line current (A)"), tr("Harmonics, limits red (A rms)"),
                              tr("Output voltage (V)"), tr("Controller output")};
    const QString names[] = {tr("Line voltage over two line cycles"), tr("Line current over two line cycles"),
                             tr("Line current harmonics against their limits"),
                             tr("Output voltage through the scenario"),
                             tr("Voltage controller's output through the scenario")};
    for (std::size_t i = 0; i < graphs_.size(); ++i) {
        CGraphScatter& graph = *graphs_[i];
        graph.setAccessibleName(names[i]);
        graph.yTitle.text = titles[i];
        graph.xTitle.text = i == kHarmonics ? tr("Harmonic order") : tr("Time (ms)");
        for (CGraphText* text : {&graph.xTitle, &graph.yTitle}) {
            text->height = 15;
            text->RebuildFont();
        }
        graph.textColor = 0x000000;
        graph.backColor = FromQColor(palette().color(QPalette::Window));
        graph.textColor = ReadableTextColor(graph.backColor);
        graph.plotColor = 0xFFFFFF;
        graph.gridColor = 0xE1E1E1;
        graph.AddLine(kCurve, kCurveColors[i], i == kHarmonics ? CScatterGraphLine::kBand : CScatterGraphLine::kSolid);
    }
    CGraphScatter& harmonics = *graphs_[kHarmonics];
    harmonics.AddLine(kLimits, kLimitColor, CScatterGraphLine::kSolid);
    harmonics.yAxis.logScale = true;
    SetFixedRange(harmonics.yAxis, kHarmonicFloor, kHarmonicCeiling);
    SetFixedRange(harmonics.xAxis, kFirstOrderOnAxis, kLastOrderOnAxis);
    harmonics.xAxis.majorStep = 2;
    harmonics.mainTitle.height = 15;
    harmonics.mainTitle.RebuildFont();
    graphs_[kOutputVoltage]->AddLine(kUpperBound, kBoundColor, CScatterGraphLine::kDashed);
    graphs_[kOutputVoltage]->AddLine(kLowerBound, kBoundColor, CScatterGraphLine::kDashed);
}

void CTabTimeDomain::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    if (table_ != nullptr && (hint == HINT_TIME_DOMAIN || hint == HINT_VALUES))
        ShowReport();
}

// A new report redraws everything; progress only changes the status line.
void CTabTimeDomain::ShowReport()
{
    ShowStatus();
    if (document_.timeDomain == shown_)
        return;
    shown_ = document_.timeDomain;
    const std::vector<qxr::SteadyStatePoint> none;
    const std::vector<qxr::SteadyStatePoint>& points = shown_ ? shown_->steadyStates.points : none;
    const int chosen = std::max(table_->currentRow(), kFirstPoint);
    table_->setRowCount(static_cast<int>(points.size()));
    const double pOut = document_.model.P__OUT.Value();
    for (std::size_t row = 0; row < points.size(); ++row) {
        const qxr::SteadyRow cells = qxr::SteadyCells(points[row], pOut);
        for (std::size_t column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(Text(cells[column]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    table_->resizeColumnsToContents();
    const int row = points.empty() ? -1 : std::min(chosen, static_cast<int>(points.size()) - 1);
    QSignalBlocker quiet(table_);
    table_->setCurrentCell(row, 0);
    ShowPoint(row);
    ShowScenario();
}

void CTabTimeDomain::ShowStatus()
{
    const CQXRDoc::Progress& progress = document_.timeDomainProgress;
    QStringList status;
    if (progress.total > 0)
        status << tr("Simulating: %1 of %2 runs done...").arg(progress.done).arg(progress.total);
    else if (!document_.timeDomain)
        status << tr("Simulating...");
    else
        for (const std::string& note : qxr::TimeDomainNotes(*document_.timeDomain))
            status << Text(note);
    const QString text = status.join(QLatin1Char('\n'));
    if (status_->toPlainText() != text)
        status_->setPlainText(text);
}

void CTabTimeDomain::ShowPoint(int row)
{
    const bool exists = shown_ && row >= 0 && row < static_cast<int>(shown_->steadyStates.points.size());
    const qxr::SteadyStatePoint* point = exists ? &shown_->steadyStates.points[static_cast<std::size_t>(row)] : nullptr;
    static const qxr::Waveforms kNone;
    const qxr::Waveforms& w = point ? point->waveforms : kNone;
    DrawWaveform(*graphs_[kLineVoltage], w.time, w.lineVoltage);
    DrawWaveform(*graphs_[kLineCurrent], w.time, w.lineCurrent);
    DrawHarmonics(*graphs_[kHarmonics], point);
    graphs_[kHarmonics]->mainTitle.text = point ? Text(point->limits.text) : QString();
}

void CTabTimeDomain::ShowScenario()
{
    static const qxr::Waveforms kNone;
    const qxr::Waveforms* w = &kNone;
    std::string summary;
    if (shown_) {
        switch (scenario_->currentIndex()) {
        case kStartUp:
            w = &shown_->startUp.waveforms;
            summary = qxr::StartUpSummary(shown_->startUp);
            break;
        case kHoldUp:
            w = &shown_->holdUp.waveforms;
            summary = qxr::HoldUpSummary(shown_->holdUp);
            break;
        default:
            w = &shown_->loadStep.waveforms;
            summary = qxr::LoadStepSummary(shown_->loadStep);
            break;
        }
    }
    Summary()->setText(Text(summary));
    CGraphScatter& output = *graphs_[kOutputVoltage];
    // The over-voltage trip and the least output the downstream converter needs.
    const double trip = document_.model.V__OUT_MAX.Value();
    const double least = document_.model.V__OUT_MIN.Value();
    DrawWaveform(output, w->time, w->outputVoltage, {trip, least});
    DrawLevel(output, kUpperBound, trip);
    DrawLevel(output, kLowerBound, least);
    output.RecalcRanges();
    output.Redraw();
    DrawWaveform(*graphs_[kControlOutput], w->time, w->controlOutput);
}

// The value under the mouse: the waveforms are evenly spaced in time, the
// harmonics one an order.
void CTabTimeDomain::OnHover(Graph which)
{
    CGraphScatter& graph = *graphs_[which];
    const CScatterGraphLine* line = graph.FindLine(kCurve);
    if (line == nullptr || line->points.empty())
        return;
    if (which == kHarmonics) {
        const QRect& plot = graph.plotRect;
        const double share = plot.width() > 0 ? double(graph.hoverPoint.x() - plot.left()) / plot.width() : -1;
        const int order =
            static_cast<int>(std::lround(kFirstOrderOnAxis + share * (kLastOrderOnAxis - kFirstOrderOnAxis)));
        if (!shown_ || share < 0 || share > 1 || order < kLowestShownOrder || order > qxr::kHighestHarmonic)
            return;
        const int row = std::max(table_->currentRow(), 0);
        const qxr::SteadyStatePoint& point = shown_->steadyStates.points[static_cast<std::size_t>(row)];
        const double limit = point.limits.limit[static_cast<std::size_t>(order)];
        Readout()->setText(
            tr("Order %1: %2 A, limit %3")
                .arg(order)
                .arg(Text(qxr::FormatSignificant(point.harmonics.rms[static_cast<std::size_t>(order)], 3)))
                .arg(std::isnan(limit) ? tr("none") : Text(qxr::FormatSignificant(limit, 3)) + " A"));
        return;
    }
    const int index = HoverIndex(graph.hoverPoint.x(), graph.plotRect, static_cast<int>(line->points.size()));
    if (index < 0)
        return;
    const CScatterGraphPoint& point = line->points[static_cast<std::size_t>(index)];
    Readout()->setText(
        tr("%1 at %2 ms: %3")
            .arg(graph.yTitle.text, Text(qxr::FormatFixed(point.x, 2)), Text(qxr::FormatSignificant(point.y, 5))));
}
