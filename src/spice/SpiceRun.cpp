#include "spice/SpiceRun.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "analysis/NumberText.h"
#include "model/ChildProcess.h"
#include "model/FileBytes.h"
#include "timedomain/Harmonics.h"

namespace qxr {

namespace {

const char* const kStopped = "ngspice stopped: ";
const char* const kDeckFile = "qxr-spice.cir";
const std::string kTooLarge = "larger than " + std::to_string(kMaxSpiceDataBytes / (1024 * 1024)) + " MiB";

std::string Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// The lines of a text with anything on them, trimmed.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (std::string line = Trimmed(std::string_view(text).substr(start, end - start)); !line.empty())
            lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The line that says why ngspice gave up: the last that its time step became
// too small, else the last that says "Error"; empty when none does.
std::string ErrorLineOf(const std::string& text)
{
    std::string tooSmall, lastError;
    for (const std::string& line : LinesOf(text)) {
        if (line.find("Timestep too small") != std::string::npos)
            tooSmall = line;
        if (line.rfind("Error", 0) == 0 || line.rfind("error", 0) == 0)
            lastError = line;
    }
    return !tooSmall.empty() ? tooSmall : lastError;
}

// ngspice's reason from its error stream first, else from its messages, else their last line.
std::string ReasonOf(const ChildResult& child)
{
    for (const std::string* text : {&child.error, &child.out})
        if (std::string line = ErrorLineOf(*text); !line.empty())
            return line;
    for (const std::string* text : {&child.error, &child.out})
        if (const std::vector<std::string> lines = LinesOf(*text); !lines.empty())
            return lines.back();
    return {};
}

std::string StoppedBecause(const ChildResult& child, const SpiceRunOptions& options)
{
    if (child.timedOut)
        return kStopped + std::string("no result within ") + FormatDouble(options.timeout.count() / 1000.0, 6) + " s";
    if (child.capped)
        return kStopped + std::string("it wrote more than ") + std::to_string(options.outputCap) + " bytes";
    std::string line = ReasonOf(child);
    if (line.empty())
        line = "it ended with status " + std::to_string(child.exitCode) + " and no results";
    return kStopped + line;
}

bool IsExecutable(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

std::string TextOf(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::string NgspiceProgram()
{
    if (const char* chosen = std::getenv(kNgspiceVariable); chosen != nullptr && *chosen != '\0')
        return chosen;
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string folder(folders.substr(0, colon));
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (!folder.empty() && IsExecutable(std::filesystem::path(folder) / "ngspice"))
            return (std::filesystem::path(folder) / "ngspice").string();
    }
    return {};
}

SpiceRun RunNgspice(const std::string& deck, const SpiceRunOptions& options)
{
    SpiceRun run;
    if (options.program.empty()) {
        run.error = kNgspiceMissing;
        return run;
    }
    const PrivateFolder folder;
    if (folder.Path().empty()) {
        run.error = kStopped + folder.Error();
        return run;
    }
    const std::filesystem::path deckPath = std::filesystem::path(folder.Path()) / kDeckFile;
    if (!WriteFileBytesAtomically(deckPath, {deck.begin(), deck.end()})) {
        run.error = kStopped + deckPath.string() + ": cannot write the deck";
        return run;
    }
    ChildLimits limits;
    limits.timeout = options.timeout;
    limits.outputCap = options.outputCap;
    const ChildResult child = RunChild(options.program, {"ngspice", "-b", kDeckFile}, {}, limits, folder.Path());
    if (!child.started) {
        run.error = kStopped + child.error;
        return run;
    }
    if (!child.Succeeded()) {
        run.error = StoppedBecause(child, options);
        return run;
    }
    const std::filesystem::path dataPath = std::filesystem::path(folder.Path()) / kSpiceDataFile;
    int reason = 0;
    const std::optional<std::vector<uint8_t>> data = ReadFileBytes(dataPath, reason, kMaxSpiceDataBytes);
    if (!data) {
        // No file: ngspice says why; a file too large to read is its own reason.
        run.error = reason == ENOENT ? StoppedBecause(child, options)
                                     : kStopped + std::string("its output cannot be read (") +
                                           (reason != 0 ? std::strerror(reason) : kTooLarge.c_str()) + ")";
        return run;
    }
    run.data = TextOf(*data);
    for (const std::string* text : {&child.error, &child.out})
        if (run.lastErrorLine.empty())
            run.lastErrorLine = ErrorLineOf(*text);
    return run;
}

namespace {

// Why the data ends before the deck's analysis did: ngspice's own words when it has any.
std::string EndedEarly(const SpiceRun& run, const std::string& what)
{
    return kStopped + (run.lastErrorLine.empty() ? what : run.lastErrorLine);
}

bool Near(double a, double b)
{
    return std::fabs(a - b) <= 1e-6 * std::fabs(b);
}

}  // namespace

SpiceLoopResult LoopOfRun(const SpiceRun& run, const FrequencyRange& range)
{
    SpiceLoopResult result;
    const SpiceTable table = ReadSpiceTable(run.data, "frequency", {std::begin(kAcVectors), std::end(kAcVectors)});
    if (!table.error.empty()) {
        result.error = std::string(kStopped) + "its output, " + table.error;
        return result;
    }
    if (!Near(table.scale.front(), range.start) || !Near(table.scale.back(), range.stop)) {
        result.error = EndedEarly(run, "its points do not span the loop's range");
        return result;
    }
    for (std::size_t i = 0; i < table.scale.size(); ++i)
        result.points.push_back({table.scale[i], table.vectors[0][i], table.vectors[1][i]});
    result.metrics = MeasuredMetricsOf(result.points);
    return result;
}

SpiceLoopResult RunLoopDeck(const std::string& deck, const FrequencyRange& range, const SpiceRunOptions& options)
{
    const SpiceRun run = RunNgspice(deck, options);
    if (!run.error.empty()) {
        SpiceLoopResult result;
        result.error = run.error;
        return result;
    }
    return LoopOfRun(run, range);
}

namespace {

// The first sample at or after t on the grid, or the table's size.
std::size_t SampleAt(const std::vector<double>& time, double t, double step)
{
    return static_cast<std::size_t>(std::lower_bound(time.begin(), time.end(), t - step / 2) - time.begin());
}

}  // namespace

SpiceTransientResult TransientOfRun(const SpiceRun& run, const TimeDomainInputs& inputs)
{
    SpiceTransientResult result;
    const SpiceTable table =
        ReadSpiceTable(run.data, "time", {std::begin(kTransientVectors), std::end(kTransientVectors)});
    if (!table.error.empty()) {
        result.error = std::string(kStopped) + "its output, " + table.error;
        return result;
    }
    const SpiceTransientTimes times = TransientTimesOf(inputs);
    const std::vector<double>& time = table.scale;
    if (time.back() < times.end - times.gridStep) {
        result.error = EndedEarly(run, "its simulation ended early");
        return result;
    }
    const std::size_t first = SampleAt(time, times.fullLoadEnd - times.linePeriod, times.gridStep);
    const std::size_t stepFirst = SampleAt(time, times.stepStart, times.gridStep);
    const std::size_t n = kSpiceSamplesPerPeriod;
    if (first + n > time.size() || stepFirst >= time.size() ||
        std::fabs(time[first + n - 1] - time[first] - (n - 1) * times.gridStep) > 1e-3 * times.gridStep) {
        result.error = std::string(kStopped) + "its output does not hold the deck's time grid";
        return result;
    }
    // The line with its sign: positive over the first half of each period from t = 0.
    std::vector<double> lineVoltage(n), lineCurrent(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double sign = k < n / 2 ? 1.0 : -1.0;
        lineVoltage[k] = sign * table.vectors[0][first + k];
        lineCurrent[k] = sign * table.vectors[1][first + k];
    }
    const HarmonicAnalysis harmonics = AnalyseOnePeriod(lineVoltage, lineCurrent);
    result.powerFactor = harmonics.powerFactor;
    result.thd = harmonics.thd;
    const auto [low, high] =
        std::minmax_element(table.vectors[2].begin() + static_cast<std::ptrdiff_t>(stepFirst), table.vectors[2].end());
    result.outputMin = *low;
    result.outputMax = *high;
    return result;
}

SpiceTransientResult RunTransientDeck(const std::string& deck, const TimeDomainInputs& inputs,
                                      const SpiceRunOptions& options)
{
    const SpiceRun run = RunNgspice(deck, options);
    if (!run.error.empty()) {
        SpiceTransientResult result;
        result.error = run.error;
        return result;
    }
    return TransientOfRun(run, inputs);
}

}  // namespace qxr
