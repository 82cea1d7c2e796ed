#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "analysis/BodeCsv.h"
#include "analysis/DesignDifferences.h"
#include "analysis/Recalculate.h"
#include "app/TabViews.h"
#include "model/DesignFile.h"
#include "pages/BodeOverlays.h"
#include "pages/FreqResponsePages.h"
#include "plot/GraphScatter.h"
#include "present/BodePlot.h"

namespace {

using qxr::ControlLoop;

enum : int {
    kMeasurementBox = 1027,
    kMeasuredFx = 1028,
    kMeasuredPm = 1029,
    kMeasuredGm = 1031,
    kMeasuredLabel = 1034,
    kMeasuredSlope = 1041,
    kFx = 1022,
    kPm = 1023,
};

class Overlays : public AppFixture {
protected:
    CTabFreqResponse& Page(ControlLoop loop)
    {
        return *static_cast<CTabFreqResponse*>(Frame().ReviewView()->Pages()[static_cast<std::size_t>(loop)]);
    }
    QString Path(const QString& name) const { return folder_.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path(name);
    }
    QString BodeCsvFile(ControlLoop loop)
    {
        return Write(QStringLiteral("bench.csv"),
                     QByteArray::fromStdString(qxr::FormatBodeCsv(Document().model, loop)));
    }
    // A design differing from the default one in the switching frequency.
    QString OtherDesign(double switchingFrequency)
    {
        CDesignModel model;
        model.f__S.SetUser(switchingFrequency);
        EXPECT_EQ(SaveDesignFile(Path("other.qxr").toStdString(), model, u"other"), FileResult::Ok);
        return Path("other.qxr");
    }
    static std::size_t Points(CGraphScatter& graph, int line) { return graph.FindLine(line)->points.size(); }
    QString Text(ControlLoop loop, int id) { return Page(loop).Field(id)->text(); }
    bool Shown(ControlLoop loop, int id)
    {
        return Page(loop).findChild<QWidget*>(QStringLiteral("control%1").arg(id))->isVisibleTo(&Page(loop));
    }
    void SwitchToDigital()
    {
        Document().ApplyChange(QStringLiteral("Mode"), [this] { Document().model.ad.SetUser(CTop::DIGITAL); });
    }
    ComparePage& Compare() { return Frame().ReviewView()->Compare(); }
    bool CompareTabShown()
    {
        return Frame().ReviewView()->TabControl().TabTitles().contains(QStringLiteral("Compare"));
    }

    QTemporaryDir folder_;
};

TEST_F(Overlays, AnImportedBodeCsvDrawsAndMeasuresLikeTheDesign)
{
    EXPECT_FALSE(Shown(ControlLoop::Voltage, kMeasurementBox));
    EXPECT_FALSE(Shown(ControlLoop::Voltage, kMeasuredLabel));
    prompts->importPath = BodeCsvFile(ControlLoop::Voltage);
    ASSERT_TRUE(Frame().ImportMeasurement(ControlLoop::Voltage));

    CTabFreqResponse& voltage = Page(ControlLoop::Voltage);
    EXPECT_TRUE(Shown(ControlLoop::Voltage, kMeasurementBox));
    EXPECT_TRUE(voltage.Box(kMeasurementBox)->isChecked());
    EXPECT_GE(voltage.Box(kMeasurementBox)->width(), voltage.Box(kMeasurementBox)->sizeHint().width());
    EXPECT_EQ(Points(*voltage.MagnitudeGraph(), qxr::kMeasuredLine), 500u);
    EXPECT_EQ(Points(*voltage.PhaseGraph(), qxr::kMeasuredLine), 500u);
    for (int id : {kMeasuredLabel, kMeasuredFx, kMeasuredGm, kMeasuredSlope})
        EXPECT_TRUE(Shown(ControlLoop::Voltage, id)) << id;
    EXPECT_EQ(Text(ControlLoop::Voltage, kMeasuredFx), Text(ControlLoop::Voltage, kFx));
    EXPECT_EQ(Text(ControlLoop::Voltage, kMeasuredPm), Text(ControlLoop::Voltage, kPm));
    EXPECT_EQ(Text(ControlLoop::Voltage, kMeasuredGm), QStringLiteral("none"));
    ASSERT_EQ(voltage.MagnitudeGraph()->legend.size(), 1u);
    EXPECT_EQ(voltage.MagnitudeGraph()->legend[0].text, QStringLiteral("Measured: bench.csv"));

    // The other loop has no measurement.
    EXPECT_FALSE(Shown(ControlLoop::Current, kMeasurementBox));
    EXPECT_FALSE(Shown(ControlLoop::Current, kMeasuredFx));
    EXPECT_EQ(Points(*Page(ControlLoop::Current).MagnitudeGraph(), qxr::kMeasuredLine), 0u);

    // Unchecked, the curve goes and the figures stay; an edit redraws it as it is.
    voltage.Box(kMeasurementBox)->click();
    EXPECT_EQ(Points(*voltage.MagnitudeGraph(), qxr::kMeasuredLine), 0u);
    EXPECT_TRUE(Shown(ControlLoop::Voltage, kMeasuredFx));
    voltage.Box(kMeasurementBox)->click();
    SwitchToDigital();
    EXPECT_EQ(Points(*voltage.MagnitudeGraph(), qxr::kMeasuredLine), 500u);
    EXPECT_TRUE(voltage.Box(kMeasurementBox)->isChecked());

    // The file is remembered, and the menu imports it again.
    EXPECT_EQ(Frame().Measurements().Path(ControlLoop::Voltage), prompts->importPath);
    QAction* again = nullptr;
    for (QAction* action : Frame().MeasurementMenu()->actions())
        if (action->text() == QStringLiteral("Reimport Voltage Loop (bench.csv)"))
            again = action;
    ASSERT_NE(again, nullptr);
    Write(QStringLiteral("bench.csv"), "f,gain,phase\n10,20,-120\n100,0,-120\n1000,-20,-120\n");
    again->trigger();
    EXPECT_EQ(Points(*voltage.MagnitudeGraph(), qxr::kMeasuredLine), 3u);
    EXPECT_EQ(Text(ControlLoop::Voltage, kMeasuredFx), QStringLiteral("100 Hz"));
    EXPECT_EQ(Text(ControlLoop::Voltage, kMeasuredPm), QStringLiteral("60°"));
}

TEST_F(Overlays, ADamagedMeasurementNamesItsLineAndThePageKeepsWhatItShowed)
{
    const QString good = Write(QStringLiteral("good.csv"), "f,gain,phase\n10,20,-120\n100,0,-120\n1000,-20,-120\n");
    ASSERT_TRUE(Frame().ImportMeasurementFile(ControlLoop::Current, good));
    CTabFreqResponse& current = Page(ControlLoop::Current);
    const struct {
        const char* text;
        const char* line;
    } damaged[] = {
        {"f,gain,phase\n10,20,-120\n100,0", "line 3: 2 fields where the header has 3"},
        {"f,gain,phase\n10,20,-120\n100,zero,-120\n", "line 3: \"zero\" in the gain column is not a number"},
        {"f,gain,phase\n10,20,-120\n5,0,-120\n",
         "line 3: the frequency is below the one of line 2; frequencies must rise"},
        {"", "line 1: the file is empty; a header line is expected"},
    };
    for (const auto& file : damaged) {
        prompts->errors.clear();
        const QString path = Write(QStringLiteral("bad.csv"), file.text);
        EXPECT_FALSE(Frame().ImportMeasurementFile(ControlLoop::Current, path));
        ASSERT_EQ(prompts->errors.size(), 1);
        EXPECT_EQ(prompts->errors[0], QStringLiteral("Nothing was imported from %1:\n%2").arg(path, file.line));
        EXPECT_EQ(Points(*current.MagnitudeGraph(), qxr::kMeasuredLine), 3u);
        EXPECT_EQ(Text(ControlLoop::Current, kMeasuredFx), QStringLiteral("100 Hz"));
        EXPECT_EQ(Frame().Measurements().Path(ControlLoop::Current), good);
    }
}

// The voltage loop's fixed axes (-80 to 40 dB, -200 to 0°) widen to a
// measurement beyond them, with the crossover marker, and return without it.
TEST_F(Overlays, AMeasurementBeyondTheAxesWidensThem)
{
    CTabFreqResponse& voltage = Page(ControlLoop::Voltage);
    const auto marker = [&voltage] { return voltage.MagnitudeGraph()->FindLine(qxr::kCrossoverLine)->points; };
    const QString deep = Write(QStringLiteral("deep.csv"), "f,gain,phase\n2,55,-120\n7,0,-150\n500,-125,-225\n");
    ASSERT_TRUE(Frame().ImportMeasurementFile(ControlLoop::Voltage, deep));
    const CGraphAxis& magnitude = voltage.MagnitudeGraph()->yAxis;
    const CGraphAxis& phase = voltage.PhaseGraph()->yAxis;
    EXPECT_EQ(magnitude.minimum, -130);
    EXPECT_EQ(magnitude.maximum, 60);
    EXPECT_EQ(phase.minimum, -230);
    EXPECT_EQ(phase.maximum, 0);
    ASSERT_EQ(marker().size(), 2u);
    EXPECT_EQ(marker()[0].y, 60);
    EXPECT_EQ(marker()[1].y, -130);

    voltage.Box(kMeasurementBox)->click();
    EXPECT_EQ(magnitude.minimum, -80);
    EXPECT_EQ(magnitude.maximum, 40);
    EXPECT_EQ(phase.minimum, -200);
    EXPECT_EQ(marker()[1].y, -80);
}

TEST_F(Overlays, AComparedDesignIsDrawnDashedAndItsDifferencesListed)
{
    ASSERT_TRUE(Frame().CompareWithFile(OtherDesign(100)));
    EXPECT_TRUE(CompareTabShown());
    for (ControlLoop loop : qxr::kControlLoops) {
        CGraphScatter& magnitude = *Page(loop).MagnitudeGraph();
        EXPECT_EQ(Points(magnitude, qxr::kComparedLoopLine), 500u);
        EXPECT_EQ(Points(magnitude, qxr::kComparedPlantLine), 500u);
        EXPECT_EQ(Points(magnitude, qxr::kComparedCompLine), 0u);  // Comp is unchecked
        EXPECT_EQ(magnitude.FindLine(qxr::kComparedLoopLine)->style, CScatterGraphLine::kDashed);
        ASSERT_EQ(magnitude.legend.size(), 2u);
        EXPECT_EQ(magnitude.legend[0].text, QStringLiteral("Untitled"));
        EXPECT_EQ(magnitude.legend[1].text, QStringLiteral("other.qxr"));
    }

    CDesignModel other;
    other.f__S.SetUser(100);
    qxr::Recalculate(other);
    const std::vector<qxr::SymbolDifference> expected = qxr::DesignDifferences(Document().model, other);
    QTableWidget& table = *Compare().Table();
    ASSERT_EQ(table.rowCount(), static_cast<int>(expected.size()));
    for (int row = 0; row < table.rowCount(); ++row)
        EXPECT_EQ(table.item(row, ComparePage::kName)->text().toStdU16String(), expected[row].name);
    EXPECT_EQ(table.horizontalHeaderItem(ComparePage::kOtherValue)->text(), QStringLiteral("other.qxr"));
    EXPECT_EQ(Compare().findChild<QLabel*>()->text(),
              QStringLiteral("%1 symbols in use differ between Untitled and other.qxr:").arg(expected.size()));

    // Sorting by the difference orders the rows by number, not by text.
    table.sortByColumn(ComparePage::kDifference, Qt::AscendingOrder);
    const auto relative = [&](int row) {
        const QString text = table.item(row, ComparePage::kDifference)->text();
        return text.left(text.indexOf(QLatin1Char(' '))).toDouble();
    };
    for (int row = 1; row < table.rowCount(); ++row)
        EXPECT_LE(relative(row - 1), relative(row)) << row;

    // The compared design is drawn as it is whatever this one's Mode.
    const std::vector<CScatterGraphPoint> before =
        Page(ControlLoop::Current).MagnitudeGraph()->FindLine(qxr::kComparedLoopLine)->points;
    SwitchToDigital();
    const std::vector<CScatterGraphPoint> after =
        Page(ControlLoop::Current).MagnitudeGraph()->FindLine(qxr::kComparedLoopLine)->points;
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.back().y, before.back().y);
    EXPECT_GT(table.rowCount(), static_cast<int>(expected.size()));  // the Mode and its symbols now differ too

    Frame().StopComparing();
    EXPECT_FALSE(CompareTabShown());
    EXPECT_EQ(Points(*Page(ControlLoop::Voltage).MagnitudeGraph(), qxr::kComparedLoopLine), 0u);
    EXPECT_TRUE(Page(ControlLoop::Voltage).MagnitudeGraph()->legend.empty());
    EXPECT_EQ(table.rowCount(), 0);
}

TEST_F(Overlays, ADesignComparedWithItselfDiffersNowhere)
{
    ASSERT_EQ(Document().OnSaveDocument(Path("same.qxr")), FileResult::Ok);
    ASSERT_TRUE(Frame().CompareWithFile(Path("same.qxr")));
    EXPECT_EQ(Compare().Table()->rowCount(), 0);
    EXPECT_EQ(Compare().findChild<QLabel*>()->text(),
              QStringLiteral("No symbol in use differs between same.qxr and same.qxr."));
}

TEST_F(Overlays, ADesignThatCannotBeReadIsNotCompared)
{
    ASSERT_TRUE(Frame().CompareWithFile(OtherDesign(100)));
    const QString bad = Write(QStringLiteral("bad.qxr"), "not a design");
    EXPECT_FALSE(Frame().CompareWithFile(bad));
    ASSERT_EQ(prompts->errors.size(), 1);
    EXPECT_EQ(prompts->errors[0], QStringLiteral("Cannot compare with %1: Unexpected file format.").arg(bad));
    EXPECT_EQ(Document().overlays.compared->Name(), QStringLiteral("other.qxr"));
    EXPECT_TRUE(CompareTabShown());
    Frame().StopComparing();
}

}  // namespace
