#include <QLabel>
#include <QLineEdit>

#include "AppFixture.h"
#include "analysis/Recalculate.h"
#include "app/TabViews.h"
#include "doc/UpdateHints.h"
#include "pages/RobustnessPages.h"
#include "plot/HistogramChart.h"

namespace {

class RobustnessPages : public AppFixture {
protected:
    CDialogTab& Settings() { return *Frame().UserView()->Pages()[11]; }
    CTabSweepHistograms& Histograms() { return *static_cast<CTabSweepHistograms*>(Frame().ReviewView()->Pages()[2]); }
    QString FieldText(int id) { return qobject_cast<QLineEdit*>(Settings().FindTemplateControl(Name(id)))->text(); }
    QString Corners() { return qobject_cast<QLabel*>(Settings().FindTemplateControl(Name(2005)))->text(); }
    static QString Name(int id) { return QStringLiteral("control%1").arg(id); }

    void Edit(CSymbol& symbol, double value)
    {
        symbol.SetUser(value);
        qxr::Recalculate(Document().model);
        Document().UpdateAllViews(nullptr, HINT_VALUES);
    }
};

TEST_F(RobustnessPages, ResultsOfBothLoopsAndTheirWorstCorners)
{
    ASSERT_TRUE(WaitForSweep());
    const qxr::RobustnessReport& report = *Document().robustness;
    EXPECT_EQ(FieldText(2001), QString::asprintf("%.2f %%", 100 * report.loops[0].yield));
    EXPECT_EQ(FieldText(2002), "25.0°");
    EXPECT_EQ(FieldText(2003), "100.00 %");
    EXPECT_EQ(FieldText(2004), "52.4°");
    for (std::size_t i = 0; i < 2; ++i) {
        const qxr::MetricRanges& envelope = report.loops[i].envelope;
        EXPECT_EQ(FieldText(2006 + 2 * static_cast<int>(i)), QString::asprintf("%.2f", envelope[4].max));
        EXPECT_EQ(FieldText(2007 + 2 * static_cast<int>(i)), QString::asprintf("%.4g ms", 1e3 * envelope[5].min));
    }
    EXPECT_EQ(FieldText(2006), "2.31");
    EXPECT_EQ(FieldText(2007), "16.76 ms");
    EXPECT_TRUE(Corners().contains("Worst voltage-loop corner: P__OUT 15 W, C__OUT 0.2 mF")) << qPrintable(Corners());
    EXPECT_TRUE(Corners().contains("Worst current-loop corner: L__MIN ")) << qPrintable(Corners());
}

TEST_F(RobustnessPages, ASettingOutOfRangeShowsWhyNothingIsComputed)
{
    Edit(Document().model.TOL__C_OUT, 100);
    ASSERT_TRUE(WaitForSweep());
    EXPECT_EQ(FieldText(2001), "");
    EXPECT_TRUE(Corners().startsWith("The stability sweep is not computed: TOL__C_OUT")) << qPrintable(Corners());
    for (HistogramChart* chart : Histograms().Charts())
        EXPECT_EQ(chart->LargestCount(), 0u);

    Edit(Document().model.TOL__C_OUT, 20);
    ASSERT_TRUE(WaitForSweep());
    EXPECT_NE(FieldText(2001), "");
}

TEST_F(RobustnessPages, HistogramsCountTheSamplesAndMarkTheMinimumMargin)
{
    Edit(Document().model.PM__MIN, 70);  // above every sample: the axis reaches out to the marker
    ASSERT_TRUE(WaitForSweep());
    const auto& charts = Histograms().Charts();
    for (HistogramChart* chart : charts)
        EXPECT_GT(chart->LargestCount(), 0u);
    EXPECT_EQ(charts[1]->AxisHigh(), 70.0);
    EXPECT_EQ(charts[3]->AxisHigh(), 70.0);
    EXPECT_LT(charts[0]->AxisHigh(), 10.0) << "the voltage crossover stays below 10 Hz";
}

}  // namespace
