#include <cmath>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "AppFixture.h"
#include "RowInput.h"
#include "analysis/Recalculate.h"
#include "calc/CoefficientExport.h"
#include "doc/UpdateHints.h"
#include "pages/DesignPages.h"
#include "pages/Picture.h"
#include "pages/SymbolControls.h"
#include "plot/GraphColor.h"

namespace {

// Pages on their own, receiving the document's hints as their view would pass them on.
class PageHost : public CDocView {
public:
    explicit PageHost(CQXRDoc& document) : document_(document) { document_.AddView(this); }
    ~PageHost() override { document_.RemoveView(this); }

    template <class Page, class... Args>
    Page& Add(Args&&... args)
    {
        auto page = std::make_unique<Page>(std::forward<Args>(args)..., document_);
        Page& added = *page;
        EXPECT_TRUE(added.OnInitDialog());
        pages_.push_back(std::move(page));
        return added;
    }

    void OnUpdate(CDocView*, int hint, QObject* hintObject) override
    {
        for (auto& page : pages_)
            page->UpdatePage(hint, qobject_cast<QWidget*>(hintObject));
    }

private:
    CQXRDoc& document_;
    std::vector<std::unique_ptr<CDialogTab>> pages_;
};

class DesignPage : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        hostedPages = std::make_unique<PageHost>(Document());
    }
    void TearDown() override
    {
        hostedPages.reset();
        AppFixture::TearDown();
    }

    std::unique_ptr<PageHost> hostedPages;
    PageHost& host() { return *hostedPages; }
};

TEST_F(DesignPage, RowsAreBuiltFromTheCaptions)
{
    auto& parameters = host().Add<CTabDesignParameters>();
    ASSERT_EQ(parameters.Rows().size(), 10u);
    const CDialogTabRow& mode = RowOf(parameters, "ad");
    ASSERT_NE(mode.combo, nullptr);
    EXPECT_EQ(mode.valueEdit, nullptr);
    EXPECT_EQ(mode.combo->count(), 2);
    EXPECT_EQ(mode.combo->itemText(0), "ANALOG");
    EXPECT_EQ(mode.combo->currentText(), "ANALOG");
    EXPECT_FALSE(mode.declaringStatic->isVisible() && mode.declaringStatic->isVisibleTo(&parameters));
    EXPECT_EQ(RowOf(parameters, "V__OUT_MIN").label->text(), "Minimum Vout After 1 th");
    EXPECT_EQ(RowOf(parameters, "V__IN_MIN").label->text(), "Universal Minimum RMS Input Voltage");
    EXPECT_EQ(RowOf(parameters, "V__IN_MIN").valueEdit->text(), "85.0");
    EXPECT_EQ(RowOf(parameters, "V__IN_MIN").valueEdit->toolTip(), "V__IN_MIN - Universal Minimum RMS Input Voltage");
    EXPECT_EQ(RowOf(parameters, "f__S").unit->text(), "kHz");
    EXPECT_EQ(RowOf(parameters, "f__S").valueEdit->text(), "200");

    auto& powerStage = host().Add<CTabBlank>(321);
    const CDialogTabRow& duty = RowOf(powerStage, "D__MAX");
    EXPECT_EQ(duty.label->text(),
              "Duty Cycle at the Peak of Low Line Input - Max current ripple occurs at peak of low line.");
    EXPECT_TRUE(duty.valueEdit->isReadOnly());
    const CDialogTabRow& inductor = RowOf(powerStage, "L__MIN");
    EXPECT_EQ(inductor.valueEdit->text(), "780.8");
    EXPECT_EQ(inductor.combo->currentText(), "780.8");
    EXPECT_EQ(inductor.combo->itemText(0), "780.8(default)");
    EXPECT_EQ(inductor.combo->Background(), symbol_display::kProposal);

    auto& voltageLoop = host().Add<CTabBlank>(325);
    const CDialogTabRow& picture = RowOf(voltageLoop, "dia__voltage_loop");
    ASSERT_NE(picture.picture, nullptr);
    EXPECT_EQ(picture.picture->PictureId(), 316);
    EXPECT_TRUE(picture.picture->HasPicture());
}

TEST_F(DesignPage, TypingAnInputRecalculatesEveryPage)
{
    auto& parameters = host().Add<CTabDesignParameters>();
    auto& powerStage = host().Add<CTabBlank>(321);
    CEditSymDouble* lowLine = RowOf(parameters, "V__IN_MIN").valueEdit;
    const QString proposal = RowOf(powerStage, "L__MIN").valueEdit->text();

    Type(lowLine, "90");
    EXPECT_EQ(Document().model.V__IN_MIN.Value(), 90);
    EXPECT_TRUE(Document().model.V__IN_MIN.userSet);
    EXPECT_TRUE(Document().IsModified());
    EXPECT_NE(RowOf(powerStage, "L__MIN").valueEdit->text(), proposal);
    EXPECT_EQ(lowLine->text(), "90") << "the edited control keeps its text";

    Type(lowLine, "7.5kV");  // the number at the front counts
    EXPECT_EQ(Document().model.V__IN_MIN.Value(), 7.5);
    Type(RowOf(parameters, "t__H").valueEdit, "10");  // ms
    EXPECT_DOUBLE_EQ(Document().model.t__H.Value(), 0.01);
    lowLine->clear();
    QCoreApplication::processEvents();
    EXPECT_EQ(Document().model.V__IN_MIN.Value(), 0.0);
}

TEST_F(DesignPage, ProposalComboKeepsAUserValueUntilTheDefaultIsChosen)
{
    auto& parameters = host().Add<CTabDesignParameters>();
    auto& powerStage = host().Add<CTabBlank>(321);
    CEditSymCombo* inductor = RowOf(powerStage, "L__MIN").combo;

    Type(inductor, "1000");
    EXPECT_EQ(Document().model.L__MIN.Value(), 1000e-6);
    EXPECT_EQ(inductor->Background(), QPalette().color(QPalette::Base));

    Type(RowOf(parameters, "P__OUT").valueEdit, "200");  // a recalculation moves the proposal
    EXPECT_EQ(Document().model.L__MIN.Value(), 1000e-6);
    EXPECT_EQ(inductor->currentText(), "1000.0");
    const QString proposal = symbol_display::FormatValue(Document().model.L__MIN, Document().model.L__MIN.calcValue, 1);
    EXPECT_EQ(inductor->itemText(0), proposal + "(default)");

    inductor->activated(0);  // the user picks the one list entry
    QCoreApplication::processEvents();
    EXPECT_FALSE(Document().model.L__MIN.userSet);
    EXPECT_EQ(inductor->currentText(), proposal);
    EXPECT_EQ(inductor->Background(), symbol_display::kProposal);
}

TEST_F(DesignPage, ColoursAndNotApplicableRows)
{
    auto& parameters = host().Add<CTabDesignParameters>();
    auto& voltageLoop = host().Add<CTabBlank>(325);
    auto& digitalLoop = host().Add<CTabVoltLoopDigital>();
    CEditSymDouble* crossover = RowOf(voltageLoop, "F__X_VLOOP").valueEdit;

    Type(crossover, "20");  // above the recommended 2..15 Hz
    EXPECT_EQ(crossover->PaintedBackground(), symbol_display::kOutOfRange);
    Type(crossover, "7");
    EXPECT_EQ(crossover->PaintedBackground(), QPalette().color(QPalette::Base));

    const CDialogTabRow& coefficient = RowOf(digitalLoop, "B0_V");
    EXPECT_EQ(coefficient.valueEdit->text(), "na");
    EXPECT_FALSE(coefficient.valueEdit->isEnabled());
    const CDialogTabRow& sampling = RowOf(digitalLoop, "F__SAMP_V");
    EXPECT_EQ(sampling.combo->currentText(), "na");
    EXPECT_FALSE(sampling.combo->isEnabled());
    EXPECT_EQ(sampling.combo->itemText(0), "6.000(default)");

    CEditSymCombo* mode = RowOf(parameters, "ad").combo;
    mode->setCurrentIndex(1);
    mode->activated(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(Document().model.ad.Value(), 314);
    EXPECT_TRUE(coefficient.valueEdit->isEnabled());
    EXPECT_NE(coefficient.valueEdit->text(), "na");
    EXPECT_EQ(RowOf(voltageLoop, "C__F").valueEdit->text(), "na");
    EXPECT_TRUE(RowOf(voltageLoop, "dia__voltage_loop").picture->isEnabled() == false);
}

TEST_F(DesignPage, RefreshesAreNotReportedAsEdits)
{
    auto& parameters = host().Add<CTabDesignParameters>();
    CEditSymDouble* power = RowOf(parameters, "P__OUT").valueEdit;
    QSignalSpy reports(power, &CMfcCtrlEdit::Edited);
    Document().RefreshAllViews();
    power->RefreshEdit(nullptr);
    EXPECT_EQ(reports.count(), 0);
    EXPECT_FALSE(Document().model.P__OUT.userSet);
    power->setText("151");  // any other change of the text is a report
    EXPECT_EQ(reports.count(), 1);
}

TEST_F(DesignPage, CopyButtonsPutTheCoefficientText)
{
    Document().model.ad.SetUser(314);
    qxr::Recalculate(Document().model);
    struct Case {
        qxr::CoefficientSet set;
        const char* button;
    };
    auto& multiplier = host().Add<CTabMultiplierDigital>();
    auto& voltage = host().Add<CTabVoltLoopDigital>();
    auto& current = host().Add<CTabCurrentLoopDigital>();
    const std::pair<CDialogTab*, Case> cases[] = {
        {&multiplier, {qxr::CoefficientSet::FeedForward, "control1019"}},
        {&voltage, {qxr::CoefficientSet::VoltageLoop, "control1020"}},
        {&current, {qxr::CoefficientSet::CurrentLoop, "control1021"}},
    };
    for (const auto& [page, c] : cases) {
        Document().SetModifiedFlag(false);
        auto* button = qobject_cast<QPushButton*>(page->FindTemplateControl(c.button));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), "Copy to Clipboard");
        button->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), qxr::CoefficientText(Document().model, c.set));
        EXPECT_FALSE(Document().IsModified());
    }
}

// The firmware settings are drop-downs of their own; the copy follows the chosen format.
TEST_F(DesignPage, FormatDropDownSetsWhatTheCopyButtonPuts)
{
    Document().model.ad.SetUser(314);
    qxr::Recalculate(Document().model);
    auto& current = host().Add<CTabCurrentLoopDigital>();
    CEditSymCombo* method = RowOf(current, "disc__DIG").combo;
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(method->currentText(), "Bilinear");
    EXPECT_NE(method->findText("Matched Pole-Zero"), -1);
    CEditSymCombo* format = RowOf(current, "fmt__COEF").combo;
    ASSERT_NE(format, nullptr);
    const int q15 = format->findText("Q15 (int16)");
    ASSERT_NE(q15, -1);
    format->setCurrentIndex(q15);
    format->activated(q15);
    QCoreApplication::processEvents();
    EXPECT_EQ(Document().model.fmt__COEF.Value(), CCoefficientFormat::Q15);

    qobject_cast<QPushButton*>(current.FindTemplateControl("control1021"))->click();
    const std::string copied = QGuiApplication::clipboard()->text().toStdString();
    EXPECT_EQ(copied, qxr::CoefficientText(Document().model, qxr::CoefficientSet::CurrentLoop,
                                           qxr::CoefficientFormatOf(Document().model)));
    EXPECT_NE(copied.find("#define SHIFT_I (15)\r\n"), std::string::npos) << copied;

    // A word the format cannot have leaves the clipboard as it was.
    Document().model.fmt__COEF.SetUser(CCoefficientFormat::Qmn);
    Document().model.N__FRAC.SetUser(40);
    EXPECT_FALSE(CopyCoefficientsToClipboard(qxr::CoefficientSet::CurrentLoop, Document().model));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), copied);
}

TEST(Picture, ShrinksToFitAndCentres)
{
    struct Case {
        QSize natural, client;
        QRect box;
    };
    const Case cases[] = {
        {{480, 300}, {1000, 600}, {260, 150, 480, 300}},  // never enlarged
        {{480, 300}, {240, 600}, {0, 225, 240, 150}},     // narrower: scaled by width
        {{480, 300}, {960, 150}, {360, 0, 240, 150}},     // lower: scaled by height
        {{480, 300}, {0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPicture::TargetBox(c.natural, c.client), c.box) << c.client.width() << "x" << c.client.height();
}

TEST(Picture, LoadsEachIdOnce)
{
    CPicture picture;
    EXPECT_FALSE(picture.HasPicture());
    EXPECT_TRUE(picture.SetPicture(316));
    EXPECT_TRUE(picture.HasPicture());
    EXPECT_TRUE(picture.SetPicture(316));
    EXPECT_FALSE(picture.SetPicture(999));
    EXPECT_TRUE(picture.HasPicture()) << "the previous drawing stays";
    EXPECT_TRUE(picture.SetPicture(999)) << "the same id is not tried again";
    for (int id : {311, 314, 320})
        EXPECT_TRUE(picture.SetPicture(id)) << id;
}

// The WCAG contrast ratio of two colours, 1 to 21.
double Contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(DesignPage, DarkPaletteKeepsTheColouredFieldsReadable)
{
    const QPalette light = QApplication::palette();
    QPalette dark(QColor(0x31, 0x36, 0x3B));
    dark.setColor(QPalette::Base, QColor(0x23, 0x26, 0x29));
    dark.setColor(QPalette::Text, QColor(0xFC, 0xFC, 0xFC));
    dark.setColor(QPalette::WindowText, QColor(0xFC, 0xFC, 0xFC));
    QApplication::setPalette(dark);

    auto& powerStage = host().Add<CTabBlank>(321);
    auto& voltageLoop = host().Add<CTabBlank>(325);
    CEditSymDouble* crossover = RowOf(voltageLoop, "F__X_VLOOP").valueEdit;
    Type(crossover, "20");
    const QColor proposal = RowOf(powerStage, "L__MIN").combo->Background();
    const QColor outOfRange = crossover->PaintedBackground();
    QApplication::setPalette(light);

    EXPECT_NE(proposal, symbol_display::kProposal);
    EXPECT_NE(outOfRange, symbol_display::kOutOfRange);
    for (const QColor& shade : {proposal, outOfRange}) {
        EXPECT_GE(Contrast(shade, dark.color(QPalette::Text)), 4.5) << shade.name().toStdString();
        EXPECT_GT(Contrast(shade, dark.color(QPalette::Base)), 1.3) << shade.name().toStdString();
    }
    EXPECT_EQ(outOfRange.hue(), symbol_display::kOutOfRange.hue());  // red stays red, blue blue
    EXPECT_EQ(proposal.hue(), symbol_display::kProposal.hue());
    // The light palette's colours stay as they always were.
    EXPECT_EQ(symbol_display::ProposalColor(light), symbol_display::kProposal);
    EXPECT_EQ(symbol_display::OutOfRangeColor(light), symbol_display::kOutOfRange);
}

TEST(GraphText, ReadableOnTheWindowColour)
{
    EXPECT_EQ(ReadableTextColor(0xF0F0F0), 0x000000u);  // the light window: black as always
    EXPECT_EQ(ReadableTextColor(0x3B3631), 0xFFFFFFu);
}

}  // namespace
