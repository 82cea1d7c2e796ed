#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qxr::golden {

// A design kept with its pinned figures: tests/golden/designs/NAME.args holds
// the qxr-cli edits that make it, tests/golden/pinned/NAME.json its figures.
struct GoldenDesign {
    std::string name;
    std::filesystem::path arguments;
    std::filesystem::path pinned;
};

// Test names show the design's name.
inline void PrintTo(const GoldenDesign& design, std::ostream* out)
{
    *out << design.name;
}

// Every design in the folder, by name.
std::vector<GoldenDesign> ListGoldenDesigns(const std::filesystem::path& goldenFolder);

// The edits of a design file as command-line arguments: one option per line,
// its value after the first blank ("--set P__OUT=300"); '#' starts a comment line.
// Throws std::runtime_error when the file cannot be read.
std::vector<std::string> ReadDesignArguments(const std::filesystem::path& argumentsFile);

// The figures of a design as `qxr-cli json --bode` prints them, with the
// stability sweep of `qxr-cli robustness --json` as member "robustness";
// throws std::runtime_error with qxr-cli's message when the arguments are refused.
std::string ComputeFigures(const std::vector<std::string>& designArguments);

// Where two sets of figures differ, one line each, naming the symbol, the
// loop or the array element and both values. Numbers agree within 1e-12
// relative; integers, flags, texts and non-finite values agree exactly.
std::vector<std::string> CompareFigures(const nlohmann::ordered_json& pinned, const nlohmann::ordered_json& now);

}  // namespace qxr::golden
