#include "cli/PdfReport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "cli/Design.h"
#include "cli/Failure.h"
#include "model/ChildProcess.h"
#include "model/DesignFile.h"
#include "model/FileBytes.h"

namespace qxr::cli {

namespace {

constexpr char kPainter[] = "qxr-report-pdf";

// Beside qxr-cli in the build, in libexec/qxr/ once installed; the
// environment can name another.
std::string ReportPainter()
{
    if (const char* named = std::getenv("QXR_REPORT_PDF"))
        return named;
    const std::filesystem::path folder = OwnFolder();
    for (const std::filesystem::path& candidate : {folder / kPainter, folder / ".." / "libexec" / "qxr" / kPainter}) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return kPainter;
}

// The last line the painter wrote about what went wrong.
std::string LastLine(const std::string& text)
{
    std::string line = text.substr(0, text.find_last_not_of("\r\n") + 1);
    const std::size_t start = line.find_last_of('\n');
    return start == std::string::npos ? line : line.substr(start + 1);
}

std::string WhyNot(const ChildResult& painted)
{
    if (!painted.started)
        return painted.error;
    if (painted.timedOut)
        return "painting the report took too long";
    const std::string line = LastLine(painted.error);
    return line.empty() ? "cannot paint the report" : line;
}

}  // namespace

void WriteReportPdf(const std::string& path, Design& design, const std::optional<std::string>& designFile)
{
    const std::vector<uint8_t> bytes = SaveDesign(design.model, design.description);
    std::vector<std::string> arguments{ReportPainter()};
    if (designFile)
        arguments.push_back(std::filesystem::path(*designFile).filename().string());
    ChildLimits limits;
    limits.timeout = std::chrono::seconds(120);
    const ChildResult painted = RunChild(arguments[0], arguments, std::string(bytes.begin(), bytes.end()), limits);
    if (!painted.Succeeded())
        throw Failure(kFileError, path + ": " + WhyNot(painted));
    errno = 0;
    if (!WriteFileBytesAtomically(path, std::vector<uint8_t>(painted.out.begin(), painted.out.end())))
        throw Failure(kFileError, path + ": " + (errno != 0 ? std::strerror(errno) : "cannot write the report"));
}

}  // namespace qxr::cli
