// The tool behind scripts/pin-figures, so that pins are made exactly as the
// golden test computes them:
//   qxr_pin_tool figures DESIGN.args     prints the design's figures
//   qxr_pin_tool diff PINNED.json NEW.json
//                                        prints where they differ (the first few
//                                        places and a count); exits 1 when they do
#include <algorithm>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "golden/GoldenDesigns.h"

namespace {

int PrintFigures(const char* argumentsFile)
{
    try {
        std::cout << qxr::golden::ComputeFigures(qxr::golden::ReadDesignArguments(argumentsFile));
        return 0;
    } catch (const std::runtime_error& error) {
        std::cerr << "qxr_pin_tool: " << argumentsFile << ": " << error.what() << '\n';
        return 2;
    }
}

int PrintDifferences(const char* pinnedPath, const char* newPath)
{
    std::ifstream pinnedFile(pinnedPath);
    std::ifstream newFile(newPath);
    const auto pinned = nlohmann::ordered_json::parse(pinnedFile, nullptr, false);
    const auto now = nlohmann::ordered_json::parse(newFile, nullptr, false);
    if (pinned.is_discarded() || now.is_discarded()) {
        std::cerr << "qxr_pin_tool: " << (pinned.is_discarded() ? pinnedPath : newPath) << " is not JSON\n";
        return 2;
    }
    const auto differences = qxr::golden::CompareFigures(pinned, now);
    constexpr std::size_t kShown = 25;
    for (std::size_t i = 0; i < std::min(differences.size(), kShown); ++i)
        std::cout << "  " << differences[i] << '\n';
    if (differences.size() > kShown)
        std::cout << "  ... and " << differences.size() - kShown << " more\n";
    return differences.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "figures" && argc == 3)
        return PrintFigures(argv[2]);
    if (verb == "diff" && argc == 4)
        return PrintDifferences(argv[2], argv[3]);
    std::cerr << "usage: qxr_pin_tool figures DESIGN.args | qxr_pin_tool diff PINNED.json NEW.json\n";
    return 2;
}
