#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "RowInput.h"
#include "analysis/BillOfMaterials.h"
#include "analysis/PartValues.h"
#include "app/TabViews.h"
#include "model/FileBytes.h"
#include "pages/DesignPages.h"
#include "pages/FreqResponsePages.h"
#include "pages/PartsPage.h"
#include "pages/Picture.h"
#include "plot/GraphScatter.h"
#include "present/BodePlot.h"

namespace {

class PartsPage : public AppFixture {
protected:
    CTabParts& Parts() { return *static_cast<CTabParts*>(Frame().UserView()->Pages()[12]); }
    CDialogTab& CurrentLoopPage() { return *Frame().UserView()->Pages()[7]; }
    QAction* MenuAction(const QString& text)
    {
        for (QAction* action : Frame().findChildren<QAction*>()) {
            if (action->text() == text)
                return action;
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }
    static QStringList Column(const QTableWidget& table, int column)
    {
        QStringList texts;
        for (int row = 0; row < table.rowCount(); ++row)
            texts << table.item(row, column)->text();
        return texts;
    }
    int RowOfPart(const QString& designator)
    {
        const QStringList names = Column(*Parts().PartsTable(), 0);
        return static_cast<int>(names.indexOf(designator));
    }
};

// The button enters what the table showed, the figures with standard values
// become the design's, a row's "(default)" brings its proposal back, and Undo
// the whole design as it was.
TEST_F(PartsPage, UseStandardValuesIsOneStepThatGivesTheFiguresShownBefore)
{
    const DesignState proposal = Document().model.SaveState();
    Frame().UserView()->TabControl().SelectPage(&Parts());
    QTableWidget& parts = *Parts().PartsTable();
    ASSERT_EQ(parts.rowCount(), 24);
    const int rf = RowOfPart("RF_I");
    ASSERT_GE(rf, 0);
    EXPECT_EQ(parts.item(rf, 1)->text(), "4.101 kΩ");
    EXPECT_EQ(parts.item(rf, 2)->text(), "4.12 kΩ");
    EXPECT_EQ(parts.item(RowOfPart("CZ_V"), 4)->text(), "820 nF + 18 nF in parallel, 0.092 %");
    const QStringList shown = Column(*Parts().LoopsTable(), 1);
    EXPECT_NE(shown, Column(*Parts().LoopsTable(), 0));
    // Both columns in the Bode pages' format: whole units.
    const QRegularExpression bodeFormat(QStringLiteral("^(-?\\d+ Hz|-?\\d+°|-?\\d+ dB|none)$"));
    for (const QString& cell : shown + Column(*Parts().LoopsTable(), 0))
        EXPECT_TRUE(bodeFormat.match(cell).hasMatch()) << cell.toStdString();

    ASSERT_TRUE(Parts().UseButton()->isEnabled());
    Parts().UseButton()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(Frame().UndoAction()->text(), "&Undo Use Standard Values");
    EXPECT_EQ(Document().model.R__F_I.Value(), 4120);
    EXPECT_EQ(Column(*Parts().LoopsTable(), 0), shown);
    EXPECT_EQ(Column(*Parts().LoopsTable(), 1), shown);
    EXPECT_FALSE(Parts().UseButton()->isEnabled());
    EXPECT_EQ(RowOf(CurrentLoopPage(), "R__F_I").combo->currentText(), "4.120");

    CEditSymCombo* combo = RowOf(CurrentLoopPage(), "R__F_I").combo;
    emit combo->activated(0);  // "(default)"
    QCoreApplication::processEvents();
    // The proposal for the rounded RI that stays entered.
    EXPECT_FALSE(Document().model.R__F_I.userSet);
    EXPECT_NEAR(Document().model.R__F_I.Value(), 4101.37 * 3400 / 3360.82, 0.01);

    Frame().UndoAction()->trigger();
    Frame().UndoAction()->trigger();
    EXPECT_EQ(Document().model.SaveState(), proposal);
    EXPECT_NE(Column(*Parts().LoopsTable(), 0), shown);

    MenuAction("Use &Standard Values")->trigger();
    EXPECT_EQ(Column(*Parts().LoopsTable(), 0), shown);
    EXPECT_FALSE(Frame().EditUseStandardValues()) << "nothing is left to round";
}

TEST_F(PartsPage, BillOfMaterialsIsTheCsvOfThePartsAndOnlyForTheAnalogDesign)
{
    QTemporaryDir folder;
    prompts->exportPath = folder.filePath("parts.csv");
    MenuAction("Export &Bill of Materials...")->trigger();
    const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(prompts->exportPath.toStdString());
    ASSERT_TRUE(bytes);
    const std::string csv = qxr::BomCsv(qxr::PartValuesOf(Document().model));
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), csv);
    EXPECT_TRUE(prompts->errors.isEmpty());

    Document().ApplyChange("Mode", [this] { Document().model.ad.SetUser(CTop::DIGITAL); });
    EXPECT_FALSE(Frame().UserView()->TabControl().TabTitles().contains("Parts"));
    prompts->exportPath = folder.filePath("digital.csv");
    EXPECT_FALSE(Frame().FileExportBillOfMaterials());
    EXPECT_EQ(prompts->errors, QStringList{"Only the analog design has a bill of materials."});
    EXPECT_FALSE(QFile::exists(prompts->exportPath));
    EXPECT_FALSE(Frame().EditUseStandardValues());
}

// The dashed line is the loop with standard values, on request and for the analog design only.
TEST_F(PartsPage, BodePagesDrawTheLoopWithStandardValuesWhenAskedTo)
{
    auto& page = *static_cast<CTabFreqResponse*>(Frame().ReviewView()->Pages()[0]);
    QCheckBox* box = page.Box(1080);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisibleTo(&page));
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(page.MagnitudeGraph()->FindLine(qxr::kStandardLoopLine)->points.empty());
    box->click();
    const auto& points = page.PhaseGraph()->FindLine(qxr::kStandardLoopLine)->points;
    ASSERT_EQ(points.size(), page.Grid().size());
    const std::vector<qxr::PartValue> parts = qxr::PartValuesOf(Document().model);
    const auto loop = qxr::StandardValueLoopsOf(Document().model, parts).standardLoops[0];
    EXPECT_EQ(points[10].y, loop->PhaseDeg(qxr::kTwoPi * page.Grid()[10]));

    Document().ApplyChange("Mode", [this] { Document().model.ad.SetUser(CTop::DIGITAL); });
    EXPECT_FALSE(box->isVisibleTo(&page));
    EXPECT_TRUE(page.PhaseGraph()->FindLine(qxr::kStandardLoopLine)->points.empty());
}

// Each part's value stands at its designator, the standard value while its class has a series.
TEST_F(PartsPage, SchematicShowsEachPartsValueAndFollowsTheDesign)
{
    auto* schematic = static_cast<CTabSchematic*>(Frame().ReviewView()->Pages()[3]);
    const auto textsOf = [schematic] {
        QStringList texts;
        for (const qxr::PictureText& text : schematic->Picture()->Texts())
            texts << QString::fromStdString(text.text);
        return texts;
    };
    const QStringList texts = textsOf();
    EXPECT_EQ(texts.size(), 21) << "every part the drawing shows";
    EXPECT_TRUE(texts.contains("4.12 kΩ"));
    EXPECT_TRUE(texts.contains("820 nF"));

    Document().ApplyChange("Series", [this] { Document().model.ser__R.SetUser(CSeries::None); });
    EXPECT_TRUE(textsOf().contains("4.101 kΩ")) << "without a series, the calculated value";
    EXPECT_FALSE(textsOf().contains("4.12 kΩ"));
}

}  // namespace
