#include "pages/RobustnessPages.h"

#include <cmath>
#include <memory>

#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>

#include "analysis/Robustness.h"
#include "doc/QXRDoc.h"
#include "plot/HistogramChart.h"
#include "present/PageTemplate.h"

namespace {

enum ControlId {
    kVoltageYield = 2001,
    kVoltageWorstPm = 2002,
    kCurrentYield = 2003,
    kCurrentWorstPm = 2004,
    kCorners = 2005,
    kVoltageWorstMs = 2006,
    kVoltageDelayMargin = 2007,
    kCurrentWorstMs = 2008,
    kCurrentDelayMargin = 2009,
    kFirstChart = 2101,
    kSweepStatus = 2105,
};

QString FigureText(double value, const char* format)
{
    return std::isnan(value) ? QString() : QString::asprintf(format, value);
}

// "P__OUT 15 W, C__OUT 0.24 mF, ..." in the units the pages show.
QString CornerText(const CDesignModel& model, const qxr::LoopRobustness& loop)
{
    QStringList parts;
    for (const auto& [name, value] : loop.worstCorner) {
        const CSymbol* symbol = model.FindByName(name);
        parts << QString::fromStdU16String(name) + QLatin1Char(' ') + QString::asprintf("%.4g", value / symbol->scale) +
                     QLatin1Char(' ') + QString::fromStdU16String(symbol->unit);
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace

CTabRobustness::CTabRobustness(CQXRDoc& document, QWidget* parent) : CDialogTab(336, document, parent)
{
}

bool CTabRobustness::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog())
        return false;
    if (auto* corners = qobject_cast<QLabel*>(FindTemplateControl(ControlName(kCorners)))) {
        corners->setWordWrap(true);
        corners->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        corners->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    ShowResults();
    return true;
}

void CTabRobustness::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    ShowResults();
}

void CTabRobustness::ShowResults()
{
    auto* corners = qobject_cast<QLabel*>(FindTemplateControl(ControlName(kCorners)));
    if (corners == nullptr)
        return;  // not initialised yet
    const std::shared_ptr<const qxr::RobustnessReport> report = document_.robustness;
    const bool computed = report && report->notComputed.empty();
    const std::pair<int, int> fields[] = {{kVoltageYield, kVoltageWorstPm}, {kCurrentYield, kCurrentWorstPm}};
    for (std::size_t i = 0; i < 2; ++i) {
        const qxr::LoopRobustness* loop = computed ? &report->loops[i] : nullptr;
        auto* yield = qobject_cast<QLineEdit*>(FindTemplateControl(ControlName(fields[i].first)));
        auto* worst = qobject_cast<QLineEdit*>(FindTemplateControl(ControlName(fields[i].second)));
        yield->setText(loop ? FigureText(100 * loop->yield, "%.2f %%") : QString());
        worst->setText(loop ? FigureText(loop->worstPm, "%.1f°") : QString());
    }
    ShowRobustFigures(computed ? report.get() : nullptr);
    if (!report)
        corners->setText(tr("Calculating..."));
    else if (!computed)
        corners->setText(QString::fromStdString(report->notComputed));
    else
        corners->setText(
            tr("Worst voltage-loop corner: %1\nWorst current-loop corner: %2")
                .arg(CornerText(document_.model, report->loops[0]), CornerText(document_.model, report->loops[1])));
}

// Over the corners: the largest Ms and the least delay margin of each loop.
void CTabRobustness::ShowRobustFigures(const qxr::RobustnessReport* report)
{
    const std::pair<int, int> fields[] = {{kVoltageWorstMs, kVoltageDelayMargin},
                                          {kCurrentWorstMs, kCurrentDelayMargin}};
    for (std::size_t i = 0; i < 2; ++i) {
        const qxr::MetricRanges* envelope = report ? &report->loops[i].envelope : nullptr;
        auto* ms = qobject_cast<QLineEdit*>(FindTemplateControl(ControlName(fields[i].first)));
        auto* delay = qobject_cast<QLineEdit*>(FindTemplateControl(ControlName(fields[i].second)));
        ms->setText(envelope ? FigureText((*envelope)[qxr::kMsFigure].max, "%.2f") : QString());
        delay->setText(envelope ? FigureText(1e3 * (*envelope)[qxr::kDelayMarginFigure].min, "%.4g ms") : QString());
    }
}

CTabSweepHistograms::CTabSweepHistograms(CQXRDoc& document, QWidget* parent) : CDialogTab(337, document, parent)
{
}

QWidget* CTabSweepHistograms::CreateTemplateControl(const qxr::TemplateControl& control)
{
    if (control.className != "HistogramChart")
        return CDialogTab::CreateTemplateControl(control);
    auto* chart = new HistogramChart(this);
    for (std::size_t i = 0; i < charts_.size(); ++i) {
        if (QString::fromStdString(control.name) == ControlName(kFirstChart + static_cast<int>(i)))
            charts_[i] = chart;
    }
    return chart;
}

void CTabSweepHistograms::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    ShowHistograms();
}

void CTabSweepHistograms::ShowHistograms()
{
    auto* status = qobject_cast<QLabel*>(FindTemplateControl(ControlName(kSweepStatus)));
    if (status == nullptr || charts_[0] == nullptr)
        return;
    const std::shared_ptr<const qxr::RobustnessReport> report = document_.robustness;
    const bool computed = report && report->notComputed.empty();
    status->setText(!report ? tr("Calculating...") : QString::fromStdString(report->notComputed));
    const QString titles[] = {tr("Voltage loop crossover (Hz)"), tr("Voltage loop phase margin (°)"),
                              tr("Current loop crossover (Hz)"), tr("Current loop phase margin (°)")};
    const double pmMin = document_.model.PM__MIN.Value();
    for (std::size_t i = 0; i < charts_.size(); ++i) {
        HistogramChart& chart = *charts_[i];
        chart.SetTitle(titles[i]);
        const bool phaseMargin = i % 2 == 1;
        const qxr::LoopRobustness* loop = computed ? &report->loops[i / 2] : nullptr;
        const qxr::Histogram* histogram = loop ? (phaseMargin ? &loop->pmHistogram : &loop->fxHistogram) : nullptr;
        if (histogram)
            chart.SetData(histogram->low, histogram->high, histogram->counts);
        else
            chart.SetData(0, 0, {});
        if (phaseMargin)
            chart.SetMarker(pmMin, tr("minimum %1°").arg(pmMin));
    }
}

// The four charts share the page in two rows and two columns above the status line.
void CTabSweepHistograms::resizeEvent(QResizeEvent* event)
{
    CDialogTab::resizeEvent(event);
    auto* status = FindTemplateControl(ControlName(kSweepStatus));
    if (charts_[0] == nullptr || status == nullptr)
        return;
    const int statusHeight = status->sizeHint().height();
    const int columnWidth = width() / 2;
    const int rowHeight = (height() - statusHeight) / 2;
    for (std::size_t i = 0; i < charts_.size(); ++i) {
        const int column = static_cast<int>(i % 2);
        const int row = static_cast<int>(i / 2);
        charts_[i]->setGeometry(column * columnWidth, row * rowHeight, columnWidth, rowHeight);
    }
    status->setGeometry(0, 2 * rowHeight, width(), statusHeight);
}
