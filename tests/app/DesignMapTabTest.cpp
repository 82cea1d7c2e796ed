#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>

#include "AppFixture.h"
#include "RowInput.h"
#include "analysis/LoopSeparation.h"
#include "analysis/Recalculate.h"
#include "app/TabViews.h"
#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"
#include "pages/DesignMapPage.h"
#include "pages/DesignMapView.h"
#include "present/DesignMapTexts.h"
#include "present/MapContours.h"
#include "present/NumberFormat.h"
#include "timedomain/Scenarios.h"

namespace {

using qxr::ControlLoop;

class DesignMapTab : public AppFixture {
protected:
    CTabDesignMap& Tab(ControlLoop loop)
    {
        for (CDialogTab* page : Frame().ReviewView()->Pages())
            if (auto* tab = dynamic_cast<CTabDesignMap*>(page); tab != nullptr && tab->Loop() == loop)
                return *tab;
        throw std::logic_error("no Design Map tab");
    }

    // The tab in front with its map's first pass finished, as a user looks at it.
    CTabDesignMap& ShownTab(ControlLoop loop)
    {
        CTabDesignMap& tab = Tab(loop);
        Frame().ReviewView()->TabControl().SelectPage(&tab);
        EXPECT_TRUE(WaitForDesignMap());
        return tab;
    }

    qxr::DesignMapInputs Inputs(ControlLoop loop) { return qxr::ReadDesignMapInputs(Document().model, loop); }
    // The map computed here, apart from the window, for the design as it is.
    qxr::DesignMap Independent(ControlLoop loop) { return qxr::ComputeDesignMap(Inputs(loop)); }
    // The same with the time-domain pass, as the window finishes it.
    qxr::DesignMap IndependentWithPass(ControlLoop loop)
    {
        qxr::DesignMapOptions options;
        options.threads = 2;
        options.timeDomain = true;
        return qxr::ComputeDesignMap(Inputs(loop), options);
    }

    // The design with a point entered, simulated here: its third harmonic at
    // V__IN_MIN and full load and its minimum on the load step.
    std::pair<double, double> SimulatedAt(ControlLoop loop, double crossover, double margin)
    {
        CDesignModel design;
        design.RestoreState(Document().model.SaveState());
        qxr::EnterPoint(design, loop, crossover, margin);
        qxr::Recalculate(design);
        const qxr::TimeDomainInputs inputs = qxr::ReadTimeDomainInputs(design);
        return {qxr::SimulateSteadyState(inputs, design.V__IN_MIN.Value(), 1.0).harmonics.thirdHarmonic,
                qxr::SimulateLoadStep(inputs).outputMin};
    }

    static void Send(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton)
    {
        QMouseEvent event(type, at, widget.mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }

    // A realisable cell with a worst-case margin, from the lowest crossover
    // of the highest margin on: away from the defaults' point.
    static bool FindRealisable(const qxr::DesignMap& map, std::size_t& row, std::size_t& column)
    {
        for (row = map.phaseMargins.size(); row-- > 0;)
            for (column = 0; column < map.crossovers.size(); ++column)
                if (map.At(row, column).realisable && !std::isnan(map.At(row, column).worstPm))
                    return true;
        return false;
    }

    double Crossover(ControlLoop loop) { return qxr::RequiredCrossoverSymbol(Document().model, loop).Value(); }
    double Margin(ControlLoop loop) { return qxr::RequiredMarginSymbol(Document().model, loop).Value(); }
};

bool SameFigure(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// Both tabs show, cell for cell, the maps the core computes for the design;
// once the time-domain passes are done, the current loop's tab (the pass is
// the same code for either loop) shows the pass's figures and the proposal
// drawn from them with what it misses.
TEST_F(DesignMapTab, ShowsTheMapTheCoreComputes)
{
    for (ControlLoop loop : qxr::kControlLoops) {
        SCOPED_TRACE(static_cast<int>(loop));
        CTabDesignMap& tab = ShownTab(loop);
        const qxr::DesignMap expected = Independent(loop);
        ASSERT_TRUE(expected.notComputed.empty()) << expected.notComputed;
        const qxr::DesignMap& shown = *tab.MapView()->Scene().map;
        ASSERT_EQ(shown.crossovers, expected.crossovers);
        ASSERT_EQ(shown.phaseMargins, expected.phaseMargins);
        int realisable = 0;
        for (std::size_t i = 0; i < expected.cells.size(); ++i) {
            EXPECT_EQ(shown.cells[i].realisable, expected.cells[i].realisable) << i;
            EXPECT_TRUE(SameFigure(shown.cells[i].worstPm, expected.cells[i].worstPm)) << i;
            EXPECT_TRUE(SameFigure(shown.cells[i].worstMs, expected.cells[i].worstMs)) << i;
            realisable += expected.cells[i].realisable ? 1 : 0;
        }
        EXPECT_GT(realisable, 0);
        std::string separation;
        for (const std::string& note : qxr::LoopSeparationNotes(Document().model, loop))
            separation += (separation.empty() ? "" : "\n") + note;
        EXPECT_EQ(tab.Separation()->text().toStdString(), separation);
        EXPECT_EQ(separation.empty(), loop == ControlLoop::Voltage) << "the default current loop is close to the RHPZ";
        EXPECT_EQ(tab.MapView()->Scene().designCrossover, Crossover(loop));
        EXPECT_EQ(tab.MapView()->Scene().designPm, Margin(loop));
    }

    ASSERT_TRUE(WaitForDesignMapPass());
    CTabDesignMap& tab = Tab(ControlLoop::Current);
    const qxr::DesignMap expected = IndependentWithPass(ControlLoop::Current);
    const qxr::DesignMap& shown = *tab.MapView()->Scene().map;
    ASSERT_TRUE(shown.timeDomain && expected.timeDomain);
    EXPECT_EQ(shown.timeDomainColumns, expected.timeDomainColumns);
    EXPECT_EQ(shown.timeDomainRows, expected.timeDomainRows);
    for (std::size_t i = 0; i < expected.cells.size(); ++i) {
        EXPECT_TRUE(SameFigure(shown.cells[i].h3, expected.cells[i].h3)) << i;
        EXPECT_TRUE(SameFigure(shown.cells[i].stepMin, expected.cells[i].stepMin)) << i;
        EXPECT_EQ(shown.cells[i].timeDomainSimulated, expected.cells[i].timeDomainSimulated) << i;
    }
    const qxr::MapLimits limits = Inputs(ControlLoop::Current).limits;
    const qxr::Proposal proposal = qxr::ProposeFrom(expected, limits);
    EXPECT_EQ(tab.MapView()->Scene().proposal.crossover, proposal.crossover);
    EXPECT_EQ(tab.Status()->text().toStdString(), qxr::ProposalSummary(proposal, limits));
    EXPECT_EQ(tab.UseProposal()->isEnabled(), proposal.found);
}

// Hovering a cell reads out its figures: its point and the worst case the
// core computes there.
TEST_F(DesignMapTab, HoverReadsOutTheCellUnderTheMouse)
{
    CTabDesignMap& tab = ShownTab(ControlLoop::Voltage);
    const qxr::DesignMap expected = Independent(ControlLoop::Voltage);
    std::size_t row = 0, column = 0;
    ASSERT_TRUE(FindRealisable(expected, row, column));
    Send(*tab.MapView(), QEvent::MouseMove, tab.MapView()->CellCentre(row, column));
    const std::string readout = tab.Readout()->text().toStdString();
    // The time-domain pass may have reached the cell meanwhile: its figures then follow the sweep's.
    EXPECT_EQ(readout.rfind(qxr::CellReadout(expected, row, column), 0), 0u) << readout;
    EXPECT_NE(readout.find(qxr::FormatFixed(expected.At(row, column).worstPm, 1) + "°"), std::string::npos) << readout;
    EXPECT_NE(readout.find(qxr::FormatFixed(expected.At(row, column).worstMs, 2)), std::string::npos) << readout;
    EXPECT_EQ(readout.rfind(qxr::FormatSignificant(expected.crossovers[column], 3) + " Hz", 0), 0u) << readout;

    Send(*tab.MapView(), QEvent::MouseMove, tab.MapView()->CellCentre(0, 0));
    EXPECT_EQ(tab.Readout()->text().toStdString().rfind(qxr::CellReadout(expected, 0, 0), 0), 0u)
        << "the next cell replaces it";
}

// Once the time-domain pass is done, the map draws the H3__MAX and
// V__STEP_MIN contours and the proposal meets those limits too; hovering
// reads out a point's third harmonic and load-step minimum, marked "≈"
// between the simulated points.
TEST_F(DesignMapTab, TheTimeDomainPassAddsItsLimitsAndReadsOutItsFigures)
{
    CDesignModel& model = Document().model;
    // Below the third harmonic of the first pass's proposal (20 Hz, 80°: 0.56 %), met at lower crossovers.
    Document().ApplyChange("Third Harmonic", [&model] { model.H3__MAX.SetUser(0.55); });
    CTabDesignMap& tab = ShownTab(ControlLoop::Voltage);
    ASSERT_TRUE(WaitForDesignMapPass());
    const DesignMapScene& scene = tab.MapView()->Scene();
    const qxr::DesignMap& map = *scene.map;
    ASSERT_TRUE(map.timeDomain);
    std::set<qxr::MapContourFigure> drawn;
    for (const qxr::MapContourLine& line : qxr::MapContourLines(map, scene.limits))
        if (!line.segments.empty())
            drawn.insert(line.figure);
    EXPECT_EQ(drawn.count(qxr::MapContourFigure::ThirdHarmonic), 1u);
    EXPECT_EQ(drawn.count(qxr::MapContourFigure::LoadStepMinimum), 1u);

    ASSERT_TRUE(scene.proposal.Meets());
    EXPECT_LE(scene.proposal.cell.h3, 0.55);
    EXPECT_GE(scene.proposal.cell.stepMin, scene.limits.stepMin);
    qxr::DesignMap sweepOnly = map;
    sweepOnly.timeDomain = false;
    EXPECT_GT(qxr::ProposeFrom(sweepOnly, scene.limits).cell.h3, 0.55)
        << "without the pass the proposal misses H3__MAX";

    // A point of the sub-grid reads out its own simulation, unmarked.
    const std::size_t row = map.timeDomainRows[2], column = map.timeDomainColumns[3];
    Send(*tab.MapView(), QEvent::MouseMove, tab.MapView()->CellCentre(row, column));
    const std::string simulated = tab.Readout()->text().toStdString();
    const auto [h3, stepMin] = SimulatedAt(ControlLoop::Voltage, map.crossovers[column], map.phaseMargins[row]);
    EXPECT_NE(simulated.find(", third harmonic " + qxr::FormatFixed(h3, 2) + " %, load-step minimum " +
                             qxr::FormatFixed(stepMin, 1) + " V"),
              std::string::npos)
        << simulated;
    EXPECT_EQ(simulated.find("≈"), std::string::npos) << simulated;

    // The point beside it lies between the sub-grid's points: interpolated, marked.
    ASSERT_FALSE(map.At(row + 1, column + 1).timeDomainSimulated);
    Send(*tab.MapView(), QEvent::MouseMove, tab.MapView()->CellCentre(row + 1, column + 1));
    const std::string interpolated = tab.Readout()->text().toStdString();
    EXPECT_EQ(interpolated, qxr::CellReadout(map, row + 1, column + 1));
    EXPECT_NE(interpolated.find(", third harmonic ≈ " + qxr::FormatFixed(map.At(row + 1, column + 1).h3, 2) + " %"),
              std::string::npos)
        << interpolated;
    EXPECT_NE(interpolated.find(", load-step minimum ≈ "), std::string::npos) << interpolated;
}

// A keystroke while the time-domain pass runs drops it: the maps start again
// empty, and the pass that arrives is the new design's.
TEST_F(DesignMapTab, AKeystrokeDuringThePassDropsIt)
{
    CTabDesignMap& tab = Tab(ControlLoop::Voltage);
    Frame().ReviewView()->TabControl().SelectPage(&tab);
    const auto underWay = [this] {
        const qxr::DesignMap& map = Document().designMaps->Map(ControlLoop::Voltage);
        return map.complete && !map.timeDomain;
    };
    ASSERT_TRUE(QTest::qWaitFor(underWay, 60000));
    EXPECT_TRUE(tab.Status()->text().contains(
        QRegularExpression("Simulating the third harmonic and the load step: \\d+ of 64 points\\.\\.\\.$")))
        << tab.Status()->text().toStdString();
    EXPECT_TRUE(tab.UseProposal()->isEnabled()) << "the first pass's proposal can be used meanwhile";

    CDialogTab* parameters = Frame().UserView()->Pages()[0];
    Frame().UserView()->TabControl().SelectPage(parameters);
    Type(RowOf(*parameters, "P__OUT").valueEdit, "200");
    ASSERT_EQ(Document().model.P__OUT.Value(), 200);
    const qxr::DesignMap& restarted = *tab.MapView()->Scene().map;
    EXPECT_FALSE(restarted.complete || restarted.timeDomain);
    EXPECT_TRUE(std::all_of(restarted.cells.begin(), restarted.cells.end(), [](const qxr::MapCell& cell) {
        return !cell.computed && std::isnan(cell.h3) && !cell.timeDomainSimulated;
    })) << "no figure of the design before";

    // The new design's pass: its first simulated point is the new design's simulation.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            const qxr::DesignMap& map = Document().designMaps->Map(ControlLoop::Voltage);
            return std::any_of(map.cells.begin(), map.cells.end(),
                               [](const qxr::MapCell& cell) { return cell.timeDomainSimulated; });
        },
        240000));
    const qxr::DesignMap& map = *tab.MapView()->Scene().map;
    const std::vector<std::size_t> points = qxr::TimeDomainPoints(map);
    const auto simulated =
        std::find_if(points.begin(), points.end(), [&map](std::size_t i) { return map.cells[i].timeDomainSimulated; });
    ASSERT_NE(simulated, points.end());
    const std::size_t row = *simulated / map.crossovers.size(), column = *simulated % map.crossovers.size();
    EXPECT_EQ(map.At(row, column).h3,
              SimulatedAt(ControlLoop::Voltage, map.crossovers[column], map.phaseMargins[row]).first);
}

// A click enters the cell's crossover and margin as one undo step; undo
// brings the design back.
TEST_F(DesignMapTab, ClickEntersThePointAsOneUndoStep)
{
    for (ControlLoop loop : qxr::kControlLoops) {
        SCOPED_TRACE(static_cast<int>(loop));
        CTabDesignMap& tab = ShownTab(loop);
        const qxr::DesignMap& map = *tab.MapView()->Scene().map;
        std::size_t row = 0, column = 0;
        ASSERT_TRUE(FindRealisable(map, row, column));
        const double crossover = map.crossovers[column], margin = map.phaseMargins[row];
        const double before[] = {Crossover(loop), Margin(loop)};
        ASSERT_FALSE(before[0] == crossover && before[1] == margin);
        Send(*tab.MapView(), QEvent::MouseButtonPress, tab.MapView()->CellCentre(row, column), Qt::LeftButton);
        EXPECT_EQ(Crossover(loop), crossover);
        EXPECT_EQ(Margin(loop), margin);
        EXPECT_EQ(Document().UndoName(), "Design Map Point");
        Document().Undo();
        EXPECT_EQ(Crossover(loop), before[0]);
        EXPECT_EQ(Margin(loop), before[1]);
    }
}

// Hovering or clicking a cell that cannot be realised (the default current
// loop has some) says so and changes nothing.
TEST_F(DesignMapTab, AnUnrealisableCellCannotBeEntered)
{
    CTabDesignMap& tab = ShownTab(ControlLoop::Current);
    const qxr::DesignMap& map = *tab.MapView()->Scene().map;
    const auto unrealisable =
        std::find_if(map.cells.begin(), map.cells.end(), [](const qxr::MapCell& cell) { return !cell.realisable; });
    ASSERT_NE(unrealisable, map.cells.end());
    const auto index = static_cast<std::size_t>(unrealisable - map.cells.begin());
    const std::size_t row = index / map.crossovers.size(), column = index % map.crossovers.size();
    const QPointF centre = tab.MapView()->CellCentre(row, column);
    Send(*tab.MapView(), QEvent::MouseMove, centre);
    EXPECT_TRUE(tab.Readout()->text().endsWith(": cannot be realised")) << tab.Readout()->text().toStdString();
    Send(*tab.MapView(), QEvent::MouseButtonPress, centre, Qt::LeftButton);
    EXPECT_FALSE(Document().CanUndo());
}

// "Use Proposal" enters the proposal's point; the stability sweep of the
// design with it entered gives the proposal's worst-case margin.
TEST_F(DesignMapTab, UseProposalEntersTheProposal)
{
    CTabDesignMap& tab = ShownTab(ControlLoop::Voltage);
    const qxr::Proposal proposal = tab.MapView()->Scene().proposal;
    ASSERT_TRUE(proposal.found);
    tab.UseProposal()->click();
    EXPECT_EQ(Crossover(ControlLoop::Voltage), proposal.crossover);
    EXPECT_EQ(Margin(ControlLoop::Voltage), proposal.phaseMargin);
    EXPECT_EQ(Document().UndoName(), "Use Proposal");
    EXPECT_FALSE(tab.UseProposal()->isEnabled()) << "the new design's map is still to compute";
    ASSERT_TRUE(WaitForSweep());
    const double swept = Document().robustness->loops[static_cast<std::size_t>(ControlLoop::Voltage)].worstPm;
    EXPECT_NEAR(swept, proposal.cell.worstPm, 0.05) << "the stability sweep of the design with the proposal entered";
    ASSERT_TRUE(WaitForDesignMap());
    const qxr::DesignMap& map = *tab.MapView()->Scene().map;
    EXPECT_EQ(map.At(proposal.row, proposal.column).worstPm, proposal.cell.worstPm);
}

// A new edit drops the map of the design before it at once; the map of the
// new design fills in and replaces it.
TEST_F(DesignMapTab, ANewEditDropsTheStaleMap)
{
    CTabDesignMap& tab = ShownTab(ControlLoop::Voltage);
    CDesignModel& model = Document().model;
    Document().ApplyChange("Output Capacitance", [&model] { model.C__OUT.SetUser(model.C__OUT.Value() * 1.5); });
    const qxr::DesignMap& stale = *tab.MapView()->Scene().map;
    EXPECT_FALSE(stale.complete);
    EXPECT_TRUE(std::none_of(stale.cells.begin(), stale.cells.end(), [](const qxr::MapCell& c) { return c.computed; }));
    EXPECT_EQ(tab.Status()->text(), QString("Computing the map: 0 of %1 points...").arg(stale.cells.size()));
    EXPECT_FALSE(tab.UseProposal()->isEnabled());
    ASSERT_TRUE(WaitForDesignMap());
    const qxr::DesignMap expected = Independent(ControlLoop::Voltage);
    const qxr::DesignMap& shown = *tab.MapView()->Scene().map;
    for (std::size_t i = 0; i < expected.cells.size(); ++i)
        EXPECT_TRUE(SameFigure(shown.cells[i].worstPm, expected.cells[i].worstPm)) << i;
}

// Counts the voltage map's computed points at every hint that shows a map.
class FillRecorder : public CDocView {
public:
    explicit FillRecorder(CQXRDoc& document) : document_(document) { document_.AddView(this); }
    ~FillRecorder() override { document_.RemoveView(this); }

    void OnUpdate(CDocView*, int hint, QObject*) override
    {
        if (hint != HINT_DESIGN_MAP && hint != HINT_VALUES)
            return;
        const qxr::DesignMap& map = document_.designMaps->Map(ControlLoop::Voltage);
        computed.push_back(
            std::count_if(map.cells.begin(), map.cells.end(), [](const qxr::MapCell& c) { return c.computed; }));
    }

    std::vector<long> computed;

private:
    CQXRDoc& document_;
};

// The map reaches the document as it fills in: empty at the edit, then
// with some of its points, then whole. A finer grid (40 x 40) takes long
// enough for the points done so far to show on any machine.
TEST_F(DesignMapTab, TheMapFillsIn)
{
    ASSERT_TRUE(WaitForDesignMap());
    FillRecorder recorder(Document());
    CDesignModel& model = Document().model;
    Document().ApplyChange("Crossover Points", [&model] {
        model.N__MAP_FX.SetUser(40);
        model.N__MAP_PM.SetUser(40);
    });
    ASSERT_TRUE(WaitForDesignMap());
    const long total = static_cast<long>(Document().designMaps->Map(ControlLoop::Voltage).cells.size());
    ASSERT_EQ(total, 1600);
    ASSERT_GE(recorder.computed.size(), 3u);
    EXPECT_EQ(recorder.computed.front(), 0);
    EXPECT_EQ(recorder.computed.back(), total);
    EXPECT_TRUE(std::any_of(recorder.computed.begin(), recorder.computed.end(),
                            [total](long n) { return n > 0 && n < total; }));
    EXPECT_TRUE(std::is_sorted(recorder.computed.begin(), recorder.computed.end()));
}

// A design the map cannot be computed for says why.
TEST_F(DesignMapTab, SaysWhyThereIsNoMap)
{
    CTabDesignMap& tab = ShownTab(ControlLoop::Voltage);
    CDesignModel& model = Document().model;
    Document().ApplyChange("Crossover Points", [&model] { model.N__MAP_FX.SetUser(1000); });
    ASSERT_TRUE(WaitForDesignMap());
    const std::string reason = Inputs(ControlLoop::Voltage).notComputed;
    ASSERT_FALSE(reason.empty());
    EXPECT_EQ(tab.Status()->text().toStdString(), reason);
    EXPECT_FALSE(tab.UseProposal()->isEnabled());
}

// Under a dark palette the axes' labels and the frame take the palette's
// light text colour, so they stay readable on the dark background.
TEST_F(DesignMapTab, ReadableUnderADarkPalette)
{
    DesignMapView& view = *ShownTab(ControlLoop::Voltage).MapView();
    QPalette dark = view.palette();
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
    dark.setColor(QPalette::Mid, QColor(120, 120, 120));
    view.setPalette(dark);
    view.setAutoFillBackground(true);
    const QImage image = view.grab().toImage();
    // Left of the cells: the phase-margin labels, light on dark.
    const QPointF corner = view.CellCentre(0, 0);
    const double scale = image.devicePixelRatio();
    int light = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < static_cast<int>((corner.x() - 20) * scale); ++x)
            light += image.pixelColor(x, y).lightness() > 180 ? 1 : 0;
    EXPECT_GT(light, 50) << "the labels are drawn in the palette's text colour";
}

TEST_F(DesignMapTab, EveryControlIsNamed)
{
    for (ControlLoop loop : qxr::kControlLoops) {
        CTabDesignMap& tab = Tab(loop);
        for (QWidget* control : tab.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(tab.MapView()->accessibleDescription().isEmpty());
    }
    EXPECT_NE(Tab(ControlLoop::Voltage).MapView()->accessibleName(),
              Tab(ControlLoop::Current).MapView()->accessibleName());
}

}  // namespace
