#include "cli/Design.h"

#include <cstring>

#include "cli/Failure.h"
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

std::vector<std::string> SymbolNames(const CDesignModel& model)
{
    std::vector<std::string> names;
    for (const CSymbol* symbol : model.symbols)
        names.push_back(ToUtf8(symbol->name));
    return names;
}

}  // namespace qxr::cli
