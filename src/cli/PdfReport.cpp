#include "cli/PdfReport.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include <QApplication>

#include "cli/Design.h"
#include "cli/Failure.h"
#include "model/FileBytes.h"
#include "model/Utf.h"
#include "report/ReportPdf.h"

namespace qxr::cli {

namespace {

// The report paints graph widgets, which need a QApplication. Only this
// command starts one, so every other stays free of a platform plugin. The
// application takes the options it reads out of its arguments, so every
// start gets arguments of its own.
class OffscreenApplication {
public:
    OffscreenApplication() = default;

private:
    int argc_ = 3;
    char name_[8] = "qxr-cli";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    QApplication application_{argc_, argv_};
};

std::unique_ptr<OffscreenApplication> StartOffscreenApplication()
{
    return QCoreApplication::instance() == nullptr ? std::make_unique<OffscreenApplication>() : nullptr;
}

QString ReportTitleOf(const Design& design, const std::optional<std::string>& designFile)
{
    if (!design.description.empty())
        return QString::fromStdU16String(design.description);
    if (designFile)
        return QString::fromStdString(std::filesystem::path(*designFile).filename().string());
    return QStringLiteral("Untitled");
}

}  // namespace

void WriteReportPdf(const std::string& path, Design& design, const std::optional<std::string>& designFile)
{
    const std::unique_ptr<OffscreenApplication> application = StartOffscreenApplication();
    const QByteArray pdf = DesignReportPdf(design.model, ReportTitleOf(design, designFile));
    errno = 0;
    const std::vector<uint8_t> bytes(pdf.begin(), pdf.end());
    if (pdf.isEmpty() || !WriteFileBytesAtomically(path, bytes))
        throw Failure(kFileError, path + ": " + (errno != 0 ? std::strerror(errno) : "cannot write the report"));
}

}  // namespace qxr::cli
