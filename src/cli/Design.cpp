#include "cli/Design.h"

#include <cstring>
#include <sstream>

#include "cli/Failure.h"
#include "cli/NumberText.h"
#include "model/FileBytes.h"
#include "model/Utf.h"

namespace qxr::cli {

namespace {

void ExpectOk(FileResult result, const std::string& path)
{
    if (result != FileResult::Ok)
        throw Failure(kFileError, path + ": " + FileResultText(result));
}

}  // namespace

void LoadDesignInput(const std::string& path, Design& design)
{
    // The system's reason, where there is one, tells the user more than the reader's text.
    int reason = 0;
    const auto bytes = ReadFileBytes(path, reason);
    if (!bytes) {
        const char* why = reason != 0 ? std::strerror(reason) : FileResultText(FileResult::FailedToOpen);
        throw Failure(kFileError, path + ": " + why);
    }
    ExpectOk(LoadDesign(bytes->data(), bytes->size(), design.model, design.description), path);
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

std::vector<std::string> SymbolNames(const CDesignModel& model)
{
    std::vector<std::string> names;
    for (const CSymbol* symbol : model.symbols)
        names.push_back(ToUtf8(symbol->name));
    return names;
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
