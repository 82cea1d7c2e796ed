#include "golden/GoldenDesigns.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "cli/Run.h"

namespace qxr::golden {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

constexpr double kRelativeTolerance = 1e-12;

std::string Text(const json& value)
{
    return value.dump();
}

bool NumbersAgree(const json& pinned, const json& now)
{
    if (pinned.is_number_float() || now.is_number_float()) {
        const double a = pinned.get<double>();
        const double b = now.get<double>();
        return a == b || std::abs(a - b) <= kRelativeTolerance * std::max(std::abs(a), std::abs(b));
    }
    return pinned == now;
}

// Array elements that are symbols are named by the symbol, others by index.
std::string ElementPath(const std::string& arrayPath, const json& element, std::size_t index)
{
    if (element.is_object() && element.contains("name") && element["name"].is_string())
        return arrayPath + "[" + element["name"].get<std::string>() + "]";
    return arrayPath + "[" + std::to_string(index) + "]";
}

void Compare(const std::string& path, const json& pinned, const json& now, std::vector<std::string>& differences)
{
    if (pinned.is_number() && now.is_number()) {
        if (!NumbersAgree(pinned, now))
            differences.push_back(path + ": pinned " + Text(pinned) + ", now " + Text(now));
        return;
    }
    if (pinned.type() != now.type()) {
        differences.push_back(path + ": pinned " + Text(pinned) + ", now " + Text(now));
        return;
    }
    if (pinned.is_object()) {
        for (const auto& [key, value] : pinned.items()) {
            const std::string member = path.empty() ? key : path + "." + key;
            if (now.contains(key))
                Compare(member, value, now[key], differences);
            else
                differences.push_back(member + ": pinned " + Text(value) + ", now missing");
        }
        for (const auto& [key, value] : now.items()) {
            if (!pinned.contains(key))
                differences.push_back((path.empty() ? key : path + "." + key) + ": not pinned, now " + Text(value));
        }
        return;
    }
    if (pinned.is_array()) {
        if (pinned.size() != now.size()) {
            differences.push_back(path + ": pinned " + std::to_string(pinned.size()) + " elements, now " +
                                  std::to_string(now.size()));
        }
        for (std::size_t i = 0; i < std::min(pinned.size(), now.size()); ++i)
            Compare(ElementPath(path, pinned[i], i), pinned[i], now[i], differences);
        return;
    }
    if (pinned != now)
        differences.push_back(path + ": pinned " + Text(pinned) + ", now " + Text(now));
}

}  // namespace

std::vector<GoldenDesign> ListGoldenDesigns(const fs::path& goldenFolder)
{
    std::vector<GoldenDesign> designs;
    for (const auto& entry : fs::directory_iterator(goldenFolder / "designs")) {
        if (entry.path().extension() != ".args")
            continue;
        const std::string name = entry.path().stem().string();
        designs.push_back({name, entry.path(), goldenFolder / "pinned" / (name + ".json")});
    }
    std::sort(designs.begin(), designs.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return designs;
}

std::vector<std::string> ReadDesignArguments(const fs::path& argumentsFile)
{
    std::ifstream file(argumentsFile);
    if (!file)
        throw std::runtime_error("cannot read " + argumentsFile.string());
    std::vector<std::string> arguments;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t blank = line.find(' ');
        arguments.push_back(line.substr(0, blank));
        if (blank != std::string::npos)
            arguments.push_back(line.substr(blank + 1));
    }
    return arguments;
}

namespace {

std::string RunCommand(const char* command, std::vector<const char*> options,
                       const std::vector<std::string>& designArguments)
{
    std::vector<const char*> argv{"qxr-cli", command};
    argv.insert(argv.end(), options.begin(), options.end());
    for (const std::string& argument : designArguments)
        argv.push_back(argument.c_str());
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
    if (exitCode != 0)
        throw std::runtime_error("qxr-cli " + std::string(command) + " failed with exit code " +
                                 std::to_string(exitCode) + ": " + err.str());
    return out.str();
}

}  // namespace

std::string ComputeFigures(const std::vector<std::string>& designArguments)
{
    json figures = json::parse(RunCommand("json", {"--bode"}, designArguments));
    figures["robustness"] = json::parse(RunCommand("robustness", {"--json"}, designArguments));
    figures["transient"] = json::parse(RunCommand("transient", {"--json"}, designArguments));
    return figures.dump(2, ' ', false, json::error_handler_t::replace) + '\n';
}

std::vector<std::string> CompareFigures(const json& pinned, const json& now)
{
    std::vector<std::string> differences;
    Compare("", pinned, now, differences);
    return differences;
}

}  // namespace qxr::golden
