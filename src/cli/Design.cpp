#include "cli/Design.h"

#include <cerrno>
#include <cstring>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/Failure.h"
#include "cli/NumberText.h"
#include "model/Utf.h"

namespace qxr::cli {

namespace {

// The system's reason why a file cannot be read, or 0. The reader itself only
// knows that reading failed, which tells the user nothing.
int UnreadableReason(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat status {};
    const bool isFolder = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    ::close(fd);
    return isFolder ? EISDIR : 0;
}

void ExpectOk(FileResult result, const std::string& path)
{
    if (result != FileResult::Ok)
        throw Failure(kFileError, path + ": " + FileResultText(result));
}

}  // namespace

void LoadDesignInput(const std::string& path, Design& design)
{
    if (const int reason = UnreadableReason(path))
        throw Failure(kFileError, path + ": " + std::strerror(reason));
    ExpectOk(LoadDesignFile(path, design.model, design.description), path);
}

void SaveDesignOutput(const std::string& path, const Design& design)
{
    ExpectOk(SaveDesignFile(path, design.model, design.description), path);
}

std::vector<std::string> MessageLines(const CDesignModel& model)
{
    std::vector<std::string> lines;
    std::istringstream stream(model.messages);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::string ModeText(const CDesignModel& model)
{
    // The mirrors of `ad` are not restored by a file load, so the name comes
    // from the value in force.
    const std::u16string name = model.ad.enumCalc.GetTypeInfo().NameOf(model.Mode());
    if (name.empty())
        return FormatDouble(model.ad.Value(), 6) + " (unknown: nothing is calculated)";
    return ToUtf8(name) + " (" + std::to_string(model.Mode()) + ")";
}

}  // namespace qxr::cli
