#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "AppFixture.h"
#include "analysis/Recalculate.h"
#include "app/TabViews.h"
#include "app/TimeDomainRunner.h"
#include "doc/UpdateHints.h"
#include "figures/TimeDomainGraphs.h"
#include "pages/TimeDomainPage.h"
#include "plot/GraphScatter.h"
#include "present/TimeDomainTexts.h"
#include "timedomain/Scenarios.h"

namespace {

class TimeDomainTab : public AppFixture {
protected:
    CTabTimeDomain& Tab()
    {
        for (CDialogTab* page : Frame().ReviewView()->Pages())
            if (auto* tab = dynamic_cast<CTabTimeDomain*>(page))
                return *tab;
        throw std::logic_error("no Time Domain tab");
    }

    void Edit(CSymbol& symbol, double value)
    {
        symbol.SetUser(value);
        qxr::Recalculate(Document().model);
        Document().UpdateAllViews(nullptr, HINT_VALUES);
    }

    // The report computed here, apart from the window, for the design as it is.
    qxr::TimeDomainReport Independent() { return qxr::SimulateTimeDomain(qxr::ReadTimeDomainInputs(Document().model)); }

    QStringList Row(int row)
    {
        QStringList cells;
        for (int column = 0; column < Tab().Table()->columnCount(); ++column)
            cells << Tab().Table()->item(row, column)->text();
        return cells;
    }

    static QStringList Cells(const qxr::SteadyStatePoint& point, double pOut)
    {
        QStringList cells;
        for (const std::string& cell : qxr::SteadyCells(point, pOut))
            cells << QString::fromStdString(cell);
        return cells;
    }

    std::size_t Points(CTabTimeDomain::Graph graph)
    {
        const CScatterGraphLine* line = Tab().GraphOf(graph)->FindLine(kTimeDomainCurve);
        return line == nullptr ? 0 : line->points.size();
    }
};

// After each change the newest run reaches the tab; the runs of the values
// typed in between never show.
TEST_F(TimeDomainTab, TheTableShowsTheNewestRunOfEveryEdit)
{
    ASSERT_TRUE(WaitForTimeDomain());
    CDesignModel& model = Document().model;
    for (double vInMin : {90.0, 95.0, 100.0})
        Edit(model.V__IN_MIN, vInMin);
    ASSERT_TRUE(WaitForTimeDomain());
    const qxr::TimeDomainReport expected = Independent();
    ASSERT_EQ(Tab().Table()->rowCount(), 9);
    for (int row = 0; row < 9; ++row)
        EXPECT_EQ(Row(row), Cells(expected.steadyStates.points[static_cast<std::size_t>(row)], model.P__OUT.Value()));
    EXPECT_EQ(Row(0).first(), "100 V");
    QStringList notes;
    for (const std::string& note : qxr::TimeDomainNotes(expected))
        notes << QString::fromStdString(note);
    EXPECT_EQ(Tab().Status()->toPlainText(), notes.join('\n'));
}

TEST_F(TimeDomainTab, ChosenRowAndScenarioDrawTheirWaveforms)
{
    ASSERT_TRUE(WaitForTimeDomain());
    const qxr::TimeDomainReport expected = Independent();
    Tab().Table()->setCurrentCell(4, 0);
    EXPECT_EQ(Points(CTabTimeDomain::kLineCurrent), expected.steadyStates.points[4].waveforms.time.size());
    EXPECT_EQ(Tab().GraphOf(CTabTimeDomain::kHarmonics)->mainTitle.text,
              QString::fromStdString(expected.steadyStates.points[4].limits.text));

    struct Case {
        CTabTimeDomain::Scenario scenario;
        const qxr::Waveforms& waveforms;
        std::string summary;
    };
    const Case cases[] = {
        {CTabTimeDomain::kStartUp, expected.startUp.waveforms, qxr::StartUpSummary(expected.startUp)},
        {CTabTimeDomain::kHoldUp, expected.holdUp.waveforms, qxr::HoldUpSummary(expected.holdUp)},
        {CTabTimeDomain::kLoadStep, expected.loadStep.waveforms, qxr::LoadStepSummary(expected.loadStep)},
    };
    for (const Case& c : cases) {
        Tab().ScenarioBox()->setCurrentIndex(c.scenario);
        EXPECT_EQ(Tab().Summary()->text(), QString::fromStdString(c.summary));
        EXPECT_EQ(Points(CTabTimeDomain::kOutputVoltage), c.waveforms.time.size());
        EXPECT_EQ(Points(CTabTimeDomain::kControlOutput), c.waveforms.time.size());
        const CScatterGraphLine& output = *Tab().GraphOf(CTabTimeDomain::kOutputVoltage)->FindLine(kTimeDomainCurve);
        EXPECT_DOUBLE_EQ(output.points.back().y, c.waveforms.outputVoltage.back());
    }
}

TEST_F(TimeDomainTab, HoverReadsOutTheWaveformAndTheHarmonic)
{
    ASSERT_TRUE(WaitForTimeDomain());
    const qxr::SteadyStatePoint point = Independent().steadyStates.points[0];
    Frame().ReviewView()->TabControl().SelectPage(&Tab());
    CGraphScatter& line = *Tab().GraphOf(CTabTimeDomain::kLineVoltage);
    line.resize(800, 300);
    line.Redraw();
    line.hoverPoint = QPoint(line.plotRect.left(), line.plotRect.center().y());
    emit line.HoverMoved(line.hoverPoint);
    EXPECT_EQ(Tab().Readout()->text(), QString("Line voltage (V) at %1 ms: %2")
                                           .arg(QString::asprintf("%.2f", 1000 * point.waveforms.time[0]))
                                           .arg(QString::asprintf("%.5g", point.waveforms.lineVoltage[0])));

    CGraphScatter& harmonics = *Tab().GraphOf(CTabTimeDomain::kHarmonics);
    harmonics.resize(800, 300);
    harmonics.Redraw();
    const QRect& plot = harmonics.plotRect;
    const int third = plot.left() + plot.width() * (3 - 1) / qxr::kHighestHarmonic;  // the axis runs 1 to 41
    ASSERT_EQ(HarmonicOrderAt(harmonics, third), 3);
    harmonics.hoverPoint = QPoint(third, plot.center().y());
    emit harmonics.HoverMoved(harmonics.hoverPoint);
    EXPECT_EQ(Tab().Readout()->text(),
              QString("Order 3: %1 A, limit 2.3 A").arg(QString::asprintf("%.3g", point.harmonics.rms[3])));
    EXPECT_EQ(HarmonicOrderAt(harmonics, plot.left()), 0) << "the fundamental has no bar";
    EXPECT_EQ(HarmonicOrderAt(harmonics, plot.right() + 5), 0);
}

TEST_F(TimeDomainTab, StatusShowsProgressThenWhyNothingWasComputed)
{
    ASSERT_TRUE(WaitForTimeDomain());
    Document().timeDomainProgress = {3, 12};
    Document().UpdateAllViews(nullptr, HINT_TIME_DOMAIN);
    EXPECT_EQ(Tab().Status()->toPlainText(), "Simulating: 3 of 12 runs done...");
    Document().timeDomainProgress = {};

    Edit(Document().model.C__OUT, -1e-6);
    ASSERT_TRUE(WaitForTimeDomain());
    EXPECT_TRUE(Tab().Status()->toPlainText().startsWith("Time domain not computed: "))
        << Tab().Status()->toPlainText().toStdString();
    EXPECT_EQ(Tab().Table()->rowCount(), 0);
    EXPECT_EQ(Points(CTabTimeDomain::kOutputVoltage), 0u);
}

TEST_F(TimeDomainTab, EveryControlHasANameForScreenReaders)
{
    std::vector<QWidget*> controls{Tab().Table(), Tab().ScenarioBox(), Tab().Status(), Tab().Summary(),
                                   Tab().Readout()};
    for (int graph = CTabTimeDomain::kLineVoltage; graph <= CTabTimeDomain::kControlOutput; ++graph)
        controls.push_back(Tab().GraphOf(static_cast<CTabTimeDomain::Graph>(graph)));
    for (QWidget* control : controls) {
        ASSERT_NE(control, nullptr);
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
    }
}

}  // namespace
