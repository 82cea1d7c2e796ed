#include <cmath>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>

#include "AppFixture.h"
#include "analysis/DiscreteLoop.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "app/TabViews.h"
#include "calc/DesignConstants.h"
#include "calc/LoopModel.h"
#include "doc/UpdateHints.h"
#include "pages/FreqResponsePages.h"
#include "plot/GraphScatter.h"
#include "present/BodePlot.h"

namespace {

class ReviewView : public AppFixture {
protected:
    CQXRViewReview& View() { return *Frame().ReviewView(); }
    CTabFreqResponse& Voltage() { return *static_cast<CTabFreqResponse*>(View().Pages()[0]); }
    CTabFreqResponse& Current() { return *static_cast<CTabFreqResponse*>(View().Pages()[1]); }
    CDialogTab* Histograms() { return View().Pages()[2]; }
    CDialogTab* Schematic() { return View().Pages()[3]; }

    void SwitchMode(double mode)
    {
        Document().model.ad.SetUser(mode);
        qxr::Recalculate(Document().model);
        Document().UpdateAllViews(nullptr, HINT_VALUES);
    }
    // The field shows its text without scrolling it: the cursor moves from
    // the text's start to its end by the text's whole width.
    static bool ShowsWhole(QLineEdit& field)
    {
        const auto cursorAt = [&field](int position) {
            field.setCursorPosition(position);
            field.grab();  // the scroll offset follows the cursor when painted
            return field.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        };
        const int travel = cursorAt(static_cast<int>(field.text().size())) - cursorAt(0);
        return travel >= field.fontMetrics().horizontalAdvance(field.text()) - 1;
    }
    static void ShowEveryCurve(CTabFreqResponse& page)
    {
        for (const int box : {1007, 1008, 1009}) {
            if (page.Box(box)->isEnabled() && !page.Box(box)->isChecked())
                page.Box(box)->click();
        }
    }
    static std::size_t Points(CGraphScatter& graph, int line)
    {
        CScatterGraphLine* found = graph.FindLine(line);
        return found == nullptr ? 0 : found->points.size();
    }
};

TEST_F(ReviewView, SchematicTabOnlyForTheAnalogController)
{
    const QStringList all{"Voltage Freq Response", "Current Freq Response", "Robustness",        "Schematic",
                          "Time Domain",           "Voltage Design Map",    "Current Design Map"};
    EXPECT_EQ(View().TabControl().TabTitles(), all);
    EXPECT_EQ(View().TabControl().CurrentPage(), &Voltage()) << "already analog: the schematic stays behind";

    View().TabControl().SelectPage(Schematic());
    SwitchMode(314);
    EXPECT_EQ(View().TabControl().TabTitles(),
              (QStringList{"Voltage Freq Response", "Current Freq Response", "Robustness", "Time Domain",
                           "Voltage Design Map", "Current Design Map"}));
    EXPECT_EQ(View().TabControl().CurrentPage(), Histograms());

    SwitchMode(311);
    EXPECT_EQ(View().TabControl().TabTitles(), all);
    EXPECT_EQ(View().TabControl().CurrentPage(), Schematic()) << "a switch to analog brings the schematic forward";
}

TEST_F(ReviewView, StabilityFiguresOfTheDefaultDesign)
{
    EXPECT_EQ(Voltage().Field(1022)->text(), "7 Hz");
    EXPECT_EQ(Voltage().Field(1023)->text(), "60°");
    EXPECT_EQ(Voltage().Field(1026)->text(),
              QString::asprintf("%1.0f dB", Document().model.Loop(qxr::ControlLoop::Voltage).gainMargin));
    EXPECT_EQ(Voltage().Field(1040)->text(), "-23 dB/dec");
    EXPECT_EQ(Current().Field(1022)->text(), "10000 Hz");
    EXPECT_EQ(Voltage().Field(1029)->text(), "") << "the measured column stays empty";
}

// The default design's spread over its corners and samples, as the fields show it.
TEST_F(ReviewView, SweepFieldsAndBandsShowTheStabilitySweep)
{
    ASSERT_TRUE(WaitForSweep());
    const std::pair<int, const char*> voltage[] = {
        {1036, "1.02 / 9.66 Hz"},   {1037, "25 / 63°"}, {1038, "∞ / ∞ dB"},
        {1042, "-36 / -22 dB/dec"}, {1044, "19.6 kHz"}, {1046, "0.0164 / 2.39 MHz"},
    };
    for (const auto& [id, text] : voltage)
        EXPECT_EQ(Voltage().Field(id)->text(), QString::fromUtf8(text)) << id;
    EXPECT_EQ(Current().Field(1036)->text(), "7.64 / 13.8 kHz");
    EXPECT_EQ(Points(*Voltage().MagnitudeGraph(), qxr::kBandLine), 2 * qxr::kBodeGridPoints);
    EXPECT_EQ(Points(*Current().PhaseGraph(), qxr::kBandLine), 2 * qxr::kBodeGridPoints);

    Voltage().Box(1059)->click();  // "Sweep" off: no band
    EXPECT_EQ(Points(*Voltage().MagnitudeGraph(), qxr::kBandLine), 0u);

    SwitchMode(314);  // the sampled current loop reaches -180 degrees
    ASSERT_TRUE(WaitForSweep());
    EXPECT_FALSE(Current().Field(1038)->text().contains(QString::fromUtf8("∞")))
        << qPrintable(Current().Field(1038)->text());
    EXPECT_TRUE(Current().Field(1038)->text().endsWith(" dB"));
}

// The GUI's sweep is the one the command line computes for the same design and seed.
TEST_F(ReviewView, SweepEqualsTheAnalysisOfTheSameDesign)
{
    Document().model.SEED__MC.SetUser(5);
    Document().model.N__MC.SetUser(3000);
    SwitchMode(314);
    ASSERT_TRUE(WaitForSweep());
    const qxr::RobustnessReport expected = qxr::AnalyseRobustness(qxr::ReadRobustnessInputs(Document().model));
    const qxr::RobustnessReport& shown = *Document().robustness;
    for (std::size_t loop = 0; loop < 2; ++loop) {
        EXPECT_EQ(shown.loops[loop].yield, expected.loops[loop].yield);
        EXPECT_EQ(shown.loops[loop].worstPm, expected.loops[loop].worstPm);
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(shown.loops[loop].percentiles[k].p50, expected.loops[loop].percentiles[k].p50);
            EXPECT_EQ(shown.loops[loop].overall[k].min, expected.loops[loop].overall[k].min);
        }
    }
}

TEST_F(ReviewView, CurvesFollowTheBoxesAndHintFiveChecksThemAll)
{
    CTabFreqResponse& page = Voltage();
    EXPECT_FALSE(page.Box(1008)->isChecked()) << "the compensator starts unchecked";
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kCompLine), 0u);
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kPlantLine), 500u);

    ASSERT_TRUE(Frame().FileNew());  // hints 5, 4, 3, 3, 2
    EXPECT_TRUE(page.Box(1008)->isChecked());
    EXPECT_EQ(Points(*page.PhaseGraph(), qxr::kCompLine), 500u);
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kCrossoverLine), 2u);
    EXPECT_EQ(page.MagnitudeGraph()->FindLine(qxr::kCrossoverLine)->points[0].x, 7.0);

    page.Box(1009)->click();  // loop off: no marker, no 0 dB line
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kLoopLine), 0u);
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kCrossoverLine), 0u);
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kZeroDbLine), 0u);
}

TEST_F(ReviewView, GainMarginWithoutPhaseCrossover)
{
    CTabFreqResponse& page = Voltage();
    Document().model.Loop(qxr::ControlLoop::Voltage).gainMargin = std::nan("");
    Document().UpdateAllViews(nullptr, HINT_INFO_TEXT);
    const double lastGain =
        qxr::LoopModelOf(Document().model, qxr::ControlLoop::Voltage).SummedGainDb(qxr::kTwoPi * page.Grid().back());
    EXPECT_EQ(page.Field(1026)->text(), QString::asprintf("> %1.0f dB", std::fabs(lastGain)));

    page.Box(1009)->click();  // no loop curve: the field keeps its text
    EXPECT_EQ(page.Field(1026)->text(), QString::asprintf("> %1.0f dB", std::fabs(lastGain)));
}

TEST_F(ReviewView, CurrentPageFitsItsAxesToTheCurves)
{
    struct Case {
        double value, bound;
    };
    const Case bounds[] = {{37, 40}, {-37, -40}, {40, 50}, {0, 10}, {-100, -110}, {-200, -210}, {63, 70}};
    for (const Case& c : bounds)
        EXPECT_EQ(qxr::RoundAxisBound(c.value), c.bound) << c.value;

    CTabFreqResponse& page = Current();
    View().TabControl().SelectPage(&page);
    page.Box(1007)->click();  // only the loop left
    EXPECT_FALSE(page.Box(1007)->isChecked());
    EXPECT_EQ(page.PhaseGraph()->yAxis.minimum, -210);
    EXPECT_EQ(page.PhaseGraph()->yAxis.maximum, -110) << "the loop phase stays below -100 degrees";
    EXPECT_EQ(page.MagnitudeGraph()->xAxis.maximum, 200000);
    EXPECT_EQ(std::fmod(page.MagnitudeGraph()->yAxis.minimum, 10), 0.0);
}

// The discrete loop belongs to the digital design: drawn up to the Nyquist
// frequency, its figures beside the nominal ones.
TEST_F(ReviewView, DiscreteLoopOnlyForTheDigitalController)
{
    CTabFreqResponse& page = Current();
    EXPECT_FALSE(page.Box(1079)->isVisibleTo(&page));
    EXPECT_FALSE(page.Field(1072)->isVisibleTo(&page));
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kDiscreteLoopLine), 0u);

    Document().model.fmt__COEF.SetUser(CCoefficientFormat::Q15);
    SwitchMode(314);
    View().TabControl().SelectPage(&page);
    ASSERT_TRUE(page.Box(1079)->isVisibleTo(&page));
    EXPECT_TRUE(page.Box(1079)->isChecked());
    CScatterGraphLine* loop = page.MagnitudeGraph()->FindLine(qxr::kDiscreteLoopLine);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->points.size(), qxr::kBodeGridPoints);
    EXPECT_LT(loop->points.back().x, Document().model.F__SAMP.Value() / 2);
    EXPECT_EQ(Points(*page.PhaseGraph(), qxr::kDiscreteCompLine), 0u) << "Comp is unchecked";
    const qxr::DiscreteLoopFigures figures = qxr::DiscreteLoopFiguresOf(Document().model, qxr::ControlLoop::Current);
    EXPECT_TRUE(page.Field(1072)->isVisibleTo(&page));
    EXPECT_EQ(page.Field(1072)->text(), QString::asprintf("%1.0f Hz", figures.fx));
    EXPECT_EQ(page.Field(1074)->text(), QString::asprintf("%1.1f°", figures.phaseMargin));
    EXPECT_EQ(page.Field(1078)->text(),
              QString::asprintf("%+1.2f dB / %+1.2f°", figures.gainDifferenceDb, figures.phaseDifferenceDeg));

    page.Box(1008)->click();
    EXPECT_EQ(Points(*page.PhaseGraph(), qxr::kDiscreteCompLine), qxr::kBodeGridPoints);
    page.Box(1079)->click();
    EXPECT_EQ(Points(*page.MagnitudeGraph(), qxr::kDiscreteLoopLine), 0u);
    EXPECT_FALSE(page.Field(1072)->isVisibleTo(&page));
    EXPECT_EQ(Voltage().Field(1076)->text(), "none") << "the voltage loop's phase never reaches -180 degrees";
}

TEST_F(ReviewView, HoverReadsTheGridPointUnderTheMouse)
{
    CTabFreqResponse& page = Voltage();
    CGraphScatter& graph = *page.MagnitudeGraph();
    graph.resize(800, 300);
    graph.Redraw();
    for (const auto& [x, index] : {std::pair{graph.plotRect.left(), 0}, std::pair{graph.plotRect.right(), 499}}) {
        graph.hoverPoint = QPoint(x, graph.plotRect.center().y());
        emit graph.HoverMoved(graph.hoverPoint);
        EXPECT_EQ(page.BodeGroup()->title(),
                  QString::asprintf("Bode Plot (Gain/Phase at %1.2f Hz)", page.Grid()[index]));
        EXPECT_TRUE(page.Field(1054)->text().endsWith("°"));
        EXPECT_EQ(Points(graph, qxr::kCursorLine), 2u);
        EXPECT_EQ(Points(*page.PhaseGraph(), qxr::kCursorLine), 2u);
    }
    emit graph.HoverLeft();
    EXPECT_EQ(page.BodeGroup()->title(), "Bode Plot ");
    EXPECT_EQ(page.Field(1054)->text(), "");
    EXPECT_EQ(graph.FindLine(qxr::kCursorLine), nullptr);
}

// Read-outs under the mouse anywhere on either graph, and every figure, in
// both loops and both controller kinds.
TEST_F(ReviewView, FiguresAreNeverCut)
{
    const int figureFields[] = {1052, 1053, 1054, 1022, 1023, 1026, 1040, 1044, 1036, 1037, 1038, 1042, 1046};
    ASSERT_TRUE(WaitForSweep());
    for (const double mode : {CTop::ANALOG, CTop::DIGITAL}) {
        SwitchMode(mode);
        ASSERT_TRUE(WaitForSweep());
        for (CTabFreqResponse* page : {&Voltage(), &Current()}) {
            SCOPED_TRACE(testing::Message() << page->title.toStdString() << " mode " << mode);
            ShowEveryCurve(*page);
            for (CGraphScatter* graph : {page->MagnitudeGraph(), page->PhaseGraph()}) {
                for (int x = graph->plotRect.left(); x <= graph->plotRect.right(); x += graph->plotRect.width() / 25) {
                    graph->hoverPoint = QPoint(x, graph->plotRect.center().y());
                    emit graph->HoverMoved(graph->hoverPoint);
                    for (const int id : figureFields) {
                        QLineEdit& field = *page->Field(id);
                        EXPECT_TRUE(ShowsWhole(field)) << id << " \"" << field.text().toStdString() << "\"";
                    }
                }
            }
        }
    }
}

TEST_F(ReviewView, FiguresAreNamedForScreenReaders)
{
    EXPECT_EQ(Voltage().Field(1023)->accessibleName(), "Voltage loop phase margin");
    EXPECT_EQ(Current().Field(1022)->accessibleName(), "Current loop crossover frequency");
    EXPECT_EQ(Current().Field(1054)->accessibleName(), "Current loop gain and phase at the cursor");
    EXPECT_EQ(Voltage().Field(1038)->accessibleDescription(), "dB");
}

// Both controller kinds: every curve point lies inside its graph's range.
TEST_F(ReviewView, CurvesAreNeverCutByTheAxisRanges)
{
    for (const double mode : {CTop::DIGITAL, CTop::ANALOG}) {
        SwitchMode(mode);
        for (CTabFreqResponse* page : {&Voltage(), &Current()}) {
            SCOPED_TRACE(testing::Message() << page->title.toStdString() << " mode " << mode);
            ShowEveryCurve(*page);
            EXPECT_GT(Points(*page->PhaseGraph(), qxr::kLoopLine), 0u);
            for (CGraphScatter* graph : {page->MagnitudeGraph(), page->PhaseGraph()}) {
                const CGraphAxis& y = graph->yAxis;
                EXPECT_LE((y.maximum - y.minimum) / y.majorStep, 13) << "an extended axis keeps its labels apart";
                for (const int line : {qxr::kPlantLine, qxr::kCompLine, qxr::kLoopLine}) {
                    if (Points(*graph, line) == 0)
                        continue;  // a box the page disables
                    for (const auto& point : graph->FindLine(line)->points) {
                        EXPECT_GE(point.y, graph->yAxis.minimum) << graph->yTitle.text.toStdString() << line;
                        EXPECT_LE(point.y, graph->yAxis.maximum) << graph->yTitle.text.toStdString() << line;
                    }
                }
            }
        }
    }
    // The voltage loop's fixed ranges, with every curve of the analog default inside them.
    EXPECT_EQ(Voltage().MagnitudeGraph()->yAxis.minimum, -80);
    EXPECT_EQ(Voltage().MagnitudeGraph()->yAxis.maximum, 40);
    EXPECT_EQ(Voltage().PhaseGraph()->yAxis.minimum, -200);
    EXPECT_EQ(Voltage().PhaseGraph()->yAxis.maximum, 0);
}

}  // namespace
