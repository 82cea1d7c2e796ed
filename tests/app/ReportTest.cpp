#include <cctype>
#include <ostream>
#include <string>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "analysis/LoopSeparation.h"
#include "analysis/Recalculate.h"
#include "app/TabViews.h"
#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"
#include "doc/UpdateHints.h"
#include "model/Enumerations.h"
#include "pages/DesignMapPage.h"
#include "pages/FreqResponsePages.h"
#include "pages/SymbolControls.h"
#include "pages/TimeDomainPage.h"
#include "present/DesignMapTexts.h"
#include "present/PageList.h"
#include "report/ReportPdf.h"

namespace {

// A design as the command line and the pages both make it.
struct ReportDesign {
    const char* what;
    int mode;
    const char16_t* symbol = nullptr;  // one entry, or none
    double value = 0;
};

const ReportDesign kDesigns[] = {
    {"default analog", CTop::ANALOG},
    {"default digital", CTop::DIGITAL},
    {"analog with a message", CTop::ANALOG, u"PM__ILOOP", -5},
};

void PrintTo(const ReportDesign& design, std::ostream* out)
{
    *out << design.what;
}

// "default analog" as a test's name: DefaultAnalog.
std::string Name(const ReportDesign& design)
{
    std::string name;
    bool capital = true;
    for (const char* c = design.what; *c != '\0'; ++c) {
        if (*c != ' ')
            name += capital ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
        capital = *c == ' ';
    }
    return name;
}

QString RunTool(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (exitCode != nullptr)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF in the order it was painted, every run of blanks and
// line breaks one space: a wrapped description then reads as one line.
QString PdfText(const QString& path)
{
    return RunTool("pdftotext", {"-raw", path, "-"}).simplified();
}

QString PdfInfo(const QString& path, const QString& field)
{
    for (const QString& line : RunTool("pdfinfo", {path}).split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

class DesignReport : public AppFixture {
protected:
    QString CliPdf(const ReportDesign& design, const QString& name)
    {
        QStringList edits{"--mode", design.mode == CTop::ANALOG ? "analog" : "digital"};
        if (design.symbol != nullptr)
            edits << "--set" << QString::fromStdU16String(design.symbol) + '=' + QString::number(design.value);
        return CliPdf(edits, name);
    }

    QString CliPdf(QStringList edits, const QString& name)
    {
        QStringList arguments = QStringList{"report"} + edits;
        const QString path = folder_.filePath(name);
        int exitCode = -1;
        RunTool(QXR_CLI_PATH, arguments << "--pdf" << path, &exitCode);
        EXPECT_EQ(exitCode, 0);
        return path;
    }

    void ShowOnThePages(const ReportDesign& design)
    {
        ASSERT_TRUE(Document().OnNewDocument());
        CDesignModel& model = Document().model;
        model.ad.SetUser(design.mode);
        if (design.symbol != nullptr)
            model.FindByName(design.symbol)->SetUser(design.value);
        qxr::Recalculate(model);
        Document().UpdateAllViews(nullptr, HINT_VALUES);
    }

    // "description value unit" of every row in use, as the design pages of the Mode show it.
    QStringList ShownRows()
    {
        QStringList rows;
        const auto pages = Frame().UserView()->Pages();
        const auto list = qxr::PagesOf(qxr::PageView::Design);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (!qxr::ShowsForMode(*list[i], Document().model.Read(Document().model.ad)))
                continue;
            for (const CDialogTabRow& row : pages[i]->Rows()) {
                if (row.symbol == nullptr || !row.symbol->inUse || row.label == nullptr)
                    continue;
                const QString value = row.combo != nullptr ? row.combo->currentText() : row.valueEdit->text();
                rows << QStringList{row.label->text(), value, row.unit->text()}.join(' ').simplified();
            }
        }
        return rows;
    }

    // The stability and stability-sweep fields of both Bode pages.
    QStringList ShownStability()
    {
        QStringList fields;
        for (CDialogTab* page : {Frame().ReviewView()->Pages()[0], Frame().ReviewView()->Pages()[1]})
            for (int id : {1022, 1023, 1026, 1040, 1036, 1037, 1038, 1042})
                fields << static_cast<CTabFreqResponse*>(page)->Field(id)->text();
        return fields;
    }

    // The rows of the Time Domain tab's steady-state table.
    QStringList ShownSteadyStates()
    {
        QStringList rows;
        for (CDialogTab* page : Frame().ReviewView()->Pages()) {
            const auto* tab = dynamic_cast<CTabTimeDomain*>(page);
            for (int row = 0; tab != nullptr && row < tab->Table()->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < tab->Table()->columnCount(); ++column)
                    cells << tab->Table()->item(row, column)->text();
                rows << cells.join(' ');
            }
        }
        return rows;
    }

    // The status lines of both Design Map tabs: each loop's proposal, or why there is no map.
    QStringList ShownMapStatus()
    {
        QStringList lines;
        for (CDialogTab* page : Frame().ReviewView()->Pages())
            if (const auto* tab = dynamic_cast<CTabDesignMap*>(page))
                lines << tab->Status()->text();
        return lines;
    }

    // The lines of the Time Domain tab's status: what keeps a figure from existing, what the stage cannot do.
    QStringList ShownTimeDomainStatus()
    {
        for (CDialogTab* page : Frame().ReviewView()->Pages())
            if (const auto* tab = dynamic_cast<CTabTimeDomain*>(page))
                return tab->Status()->toPlainText().split('\n', Qt::SkipEmptyParts);
        return {};
    }

    QTemporaryDir folder_;
};

// Each design on its own: each takes two reports from the command line and the window's analyses.
class DesignReportOf : public DesignReport, public testing::WithParamInterface<ReportDesign> {};

TEST_P(DesignReportOf, PdfFromTheCommandLineHoldsWhatThePagesShow)
{
    const ReportDesign& design = GetParam();
    const QString first = CliPdf(design, "first.pdf");
    const QString second = CliPdf(design, "second.pdf");
    const QSize paper = ReportPageLayout().pageSize().sizePoints();
    EXPECT_TRUE(PdfInfo(first, "Page size").startsWith(QString("%1 x %2").arg(paper.width()).arg(paper.height())));
    EXPECT_GE(PdfInfo(first, "Pages").toInt(), 3);
    const QString text = PdfText(first);
    EXPECT_EQ(PdfText(second), text) << "the same design gives the same text";

    ShowOnThePages(design);
    ASSERT_TRUE(WaitForSweep());
    const QStringList rows = ShownRows();
    EXPECT_GE(rows.size(), 40);
    for (const QString& row : rows)
        EXPECT_TRUE(text.contains(row)) << row.toStdString();
    for (const QString& field : ShownStability())
        EXPECT_TRUE(text.contains(field)) << field.toStdString();
    ASSERT_TRUE(WaitForTimeDomain());
    const QStringList steadyStates = ShownSteadyStates();
    EXPECT_EQ(steadyStates.size(), design.symbol == nullptr ? 9 : 0) << "a design with a message has no stage to run";
    for (const QString& row : steadyStates + ShownTimeDomainStatus())
        EXPECT_TRUE(text.contains(row)) << row.toStdString();
    ASSERT_TRUE(WaitForDesignMap());
    EXPECT_TRUE(text.contains("Design Maps"));
    EXPECT_EQ(ShownMapStatus().size(), 2);
    // The report's maps are the sweep's: each loop's proposal from them, and what its crossover comes too close to.
    for (qxr::ControlLoop loop : qxr::kControlLoops) {
        const qxr::DesignMapInputs inputs = qxr::ReadDesignMapInputs(Document().model, loop);
        const qxr::DesignMap map = qxr::ComputeDesignMap(inputs);
        QStringList expected{QString::fromStdString(
            map.notComputed.empty() ? qxr::ProposalSummary(qxr::ProposeFrom(map, inputs.limits), inputs.limits)
                                    : map.notComputed)};
        for (const std::string& note : qxr::LoopSeparationNotes(Document().model, loop))
            expected << QString::fromStdString(note);
        for (const QString& line : expected)
            EXPECT_TRUE(text.contains(line)) << line.toStdString();
    }
    EXPECT_EQ(text.count("H3 limit"), 0) << "no time-domain contours without the pass";
    const QStringList messages = QString::fromStdString(Document().model.messages).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(messages.isEmpty(), design.symbol == nullptr);
    for (const QString& message : messages)
        EXPECT_TRUE(text.contains(message.simplified())) << message.toStdString();
    EXPECT_TRUE(text.contains(design.mode == CTop::ANALOG ? "Mode: ANALOG (311)" : "Mode: DIGITAL (314)"));
    EXPECT_EQ(text.contains("#define"), design.mode == CTop::DIGITAL) << "the coefficient sets";
}

INSTANTIATE_TEST_SUITE_P(Designs, DesignReportOf, testing::ValuesIn(kDesigns),
                         [](const testing::TestParamInfo<ReportDesign>& info) { return Name(info.param); });

TEST_F(DesignReport, PrintingToAPdfPrinterGivesTheExportsPages)
{
    const QString exported = CliPdf(QStringList{}, "exported.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder_.filePath("printed.pdf"));
    printer.setPageLayout(ReportPageLayout());
    ASSERT_TRUE(Frame().PrintReport(printer));
    EXPECT_EQ(PdfInfo(printer.outputFileName(), "Pages"), PdfInfo(exported, "Pages"));
    EXPECT_EQ(PdfInfo(printer.outputFileName(), "Page size"), PdfInfo(exported, "Page size"));
    EXPECT_TRUE(RunTool("pdftotext", {"-layout", printer.outputFileName(), "-"}) ==
                RunTool("pdftotext", {"-layout", exported, "-"}));
}

TEST_F(DesignReport, ExportWritesThePdfOrSaysWhyNot)
{
    prompts->exportPath = folder_.filePath("design.pdf");
    ASSERT_TRUE(Frame().ExportReportPdf());
    EXPECT_FALSE(PdfInfo(prompts->exportPath, "Pages").isEmpty());
    EXPECT_TRUE(PdfText(prompts->exportPath).contains("Add Description here..."));

    prompts->exportPath = folder_.filePath("missing/design.pdf");
    EXPECT_FALSE(Frame().ExportReportPdf());
    EXPECT_EQ(prompts->errors, QStringList{"Failed to write " + prompts->exportPath + "."});
}

TEST(ReportPageLayout, LetterWhereTheLocaleUsesIt)
{
    EXPECT_EQ(ReportPageLayout(QLocale(QLocale::English, QLocale::UnitedStates)).pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(ReportPageLayout(QLocale(QLocale::French, QLocale::Canada)).pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(ReportPageLayout(QLocale(QLocale::German, QLocale::Germany)).pageSize().id(), QPageSize::A4);
    EXPECT_EQ(ReportPageLayout(QLocale(QLocale::English, QLocale::UnitedKingdom)).pageSize().id(), QPageSize::A4);
}

}  // namespace
