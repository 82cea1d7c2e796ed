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
#include "figures/TimeDomainGraphs.h"
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

// The steady state shown first: V__IN_MIN at full load, where the line current is largest.
constexpr int kFirstPoint = 0;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
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
    Summary()->setWordWrap(true);  // the load step's line runs to two
    status_->setAccessibleName(tr("What the simulation says of the stage"));
    Summary()->setAccessibleName(tr("The scenario's figures"));
    Readout()->setAccessibleName(tr("The value under the mouse"));
    SetUpGraphs();
    ShowReport();
    return true;
}

void CTabTimeDomain::SetUpGraphs()
{
    for (std::size_t i = 0; i < graphs_.size(); ++i) {
        const auto which = static_cast<TimeDomainGraph>(i);
        SetUpTimeDomainGraph(*graphs_[i], which, FromQColor(palette().color(QPalette::Window)));
        graphs_[i]->setAccessibleName(TimeDomainGraphName(which));
    }
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
    DrawScenarioOutput(*graphs_[kOutputVoltage], *w, document_.model.V__OUT_MAX.Value(),
                       document_.model.V__OUT_MIN.Value());
    DrawWaveform(*graphs_[kControlOutput], w->time, w->controlOutput);
}

void CTabTimeDomain::ShowHarmonicAt(int order)
{
    if (!shown_ || order == 0 || shown_->steadyStates.points.empty())
        return;
    const int row = std::max(table_->currentRow(), 0);
    const qxr::SteadyStatePoint& point = shown_->steadyStates.points[static_cast<std::size_t>(row)];
    const auto k = static_cast<std::size_t>(order);
    const double limit = point.limits.limit[k];
    Readout()->setText(tr("Order %1: %2 A, limit %3")
                           .arg(order)
                           .arg(Text(qxr::FormatSignificant(point.harmonics.rms[k], 3)))
                           .arg(std::isnan(limit) ? tr("none") : Text(qxr::FormatSignificant(limit, 3)) + " A"));
}

// The value under the mouse: the waveforms are evenly spaced in time, the
// harmonics one an order.
void CTabTimeDomain::OnHover(Graph which)
{
    CGraphScatter& graph = *graphs_[which];
    const CScatterGraphLine* line = graph.FindLine(kTimeDomainCurve);
    if (line == nullptr || line->points.empty())
        return;
    if (which == kHarmonics) {
        ShowHarmonicAt(HarmonicOrderAt(graph, graph.hoverPoint.x()));
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
