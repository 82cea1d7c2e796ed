// qxr-report-pdf [FILE-NAME]: reads a design file on stdin and writes its
// report as a PDF document to stdout, titled by the design's description or
// else by FILE-NAME. qxr-cli runs it for "report --pdf", so that qxr-cli
// itself loads no Qt.
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>

#include "analysis/Recalculate.h"
#include "figures/QtSetup.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"
#include "report/DesignReport.h"
#include "report/ReportPdf.h"

namespace {

constexpr std::size_t kMaxDesignBytes = 64 * 1024 * 1024;

bool ReadInput(std::vector<uint8_t>& bytes)
{
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (bytes.size() > kMaxDesignBytes)
            return false;
    }
    return !std::ferror(stdin);
}

int Fail(const char* why)
{
    std::fprintf(stderr, "qxr-report-pdf: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2)
        return Fail("usage: qxr-report-pdf [FILE-NAME] < DESIGN.qxr > REPORT.pdf");
    std::vector<uint8_t> bytes;
    if (!ReadInput(bytes))
        return Fail("cannot read the design");
    CDesignModel model;
    std::u16string description;
    if (LoadDesign(bytes.data(), bytes.size(), model, description) != FileResult::Ok)
        return Fail("Unexpected file format.");
    qxr::Recalculate(model);

    // The report paints graph widgets, which need an application; no display is needed.
    int qtArgc = 3;
    char name[] = "qxr-report-pdf", option[] = "-platform", platform[] = "offscreen";
    char* qtArgv[] = {name, option, platform, nullptr};
    QApplication application(qtArgc, qtArgv);
    SetUpForQt();
    const QString fileTitle = argc == 2 ? QString::fromUtf8(argv[1]) : QStringLiteral("Untitled");
    const QByteArray pdf = DesignReportPdf(model, ReportTitle(description, fileTitle));
    if (pdf.isEmpty())
        return Fail("cannot paint the report");
    if (std::fwrite(pdf.constData(), 1, static_cast<std::size_t>(pdf.size()), stdout) !=
            static_cast<std::size_t>(pdf.size()) ||
        std::fflush(stdout) != 0)
        return Fail("cannot write the report");
    return 0;
}
