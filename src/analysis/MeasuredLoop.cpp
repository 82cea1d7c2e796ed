#include "analysis/MeasuredLoop.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>

#include "calc/DesignConstants.h"
#include "model/FileBytes.h"

namespace qxr {

namespace {

enum Column : std::size_t { kFreqColumn, kGainColumn, kPhaseColumn, kRealColumn, kImagColumn };
constexpr std::size_t kColumnKinds = 5;
constexpr std::array<const char*, kColumnKinds> kColumnNames{"frequency", "gain", "phase", "real", "imaginary"};
constexpr std::size_t kNoColumn = std::numeric_limits<std::size_t>::max();

// The words of a column name that say what it holds; a name is taken by the
// first kind whose word it contains.
struct ColumnWords {
    Column kind;
    std::array<const char*, 6> words;
};
constexpr std::array<ColumnWords, kColumnKinds> kColumnWords{{
    {kFreqColumn, {"f", "freq", "frequency", "hz", "khz", "mhz"}},
    {kPhaseColumn, {"phase", "ph", "deg", "degrees", "angle", "arg"}},
    {kGainColumn, {"gain", "db", "mag", "magnitude", "amplitude", nullptr}},
    {kRealColumn, {"re", "real", nullptr, nullptr, nullptr, nullptr}},
    {kImagColumn, {"im", "imag", "imaginary", nullptr, nullptr, nullptr}},
}};

std::string Line(std::size_t number)
{
    return "line " + std::to_string(number) + ": ";
}

std::string_view Trim(std::string_view field)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '"'; };
    while (!field.empty() && blank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && blank(field.back()))
        field.remove_suffix(1);
    return field;
}

std::vector<std::string_view> SplitFields(std::string_view line, char separator)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(Trim(line.substr(start, end - start)));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

// Lower-case runs of letters and digits: "Loop Gain (dB)" gives loop, gain, db.
std::vector<std::string> Words(std::string_view name)
{
    std::vector<std::string> words(1);
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            words.back() += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!words.back().empty())
            words.emplace_back();
    }
    if (words.back().empty())
        words.pop_back();
    return words;
}

bool HasWord(const std::vector<std::string>& words, const char* word)
{
    return word != nullptr && std::find(words.begin(), words.end(), word) != words.end();
}

std::optional<Column> KindOf(std::string_view name)
{
    const std::vector<std::string> words = Words(name);
    for (const ColumnWords& kind : kColumnWords)
        if (std::any_of(kind.words.begin(), kind.words.end(), [&](const char* w) { return HasWord(words, w); }))
            return kind.kind;
    return std::nullopt;
}

struct Layout {
    char separator = ',';
    std::size_t fieldCount = 0;
    std::array<std::size_t, kColumnKinds> index{kNoColumn, kNoColumn, kNoColumn, kNoColumn, kNoColumn};
    bool complex = false;  // real and imaginary parts instead of gain and phase
    double freqScale = 1;  // a frequency column in kHz or MHz
    std::string error;
};

char SeparatorOf(std::string_view header)
{
    if (header.find('\t') != std::string_view::npos)
        return '\t';
    return header.find(';') != std::string_view::npos ? ';' : ',';
}

// Of several columns of one kind, the single one naming the loop.
std::size_t ChooseColumn(const std::vector<std::size_t>& candidates, const std::vector<std::string_view>& names,
                         Column kind, std::string& error)
{
    if (candidates.size() <= 1)
        return candidates.empty() ? kNoColumn : candidates.front();
    std::vector<std::size_t> loops;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(loops),
                 [&](std::size_t c) { return HasWord(Words(names[c]), "loop"); });
    if (loops.size() == 1)
        return loops.front();
    std::string list;
    for (std::size_t c : candidates)
        list += (list.empty() ? "" : ", ") + std::string(names[c]);
    error = std::string("more than one ") + kColumnNames[kind] + " column (" + list + ")";
    return kNoColumn;
}

Layout ReadHeader(std::string_view header)
{
    Layout layout;
    layout.separator = SeparatorOf(header);
    const std::vector<std::string_view> names = SplitFields(header, layout.separator);
    layout.fieldCount = names.size();
    std::array<std::vector<std::size_t>, kColumnKinds> candidates;
    for (std::size_t c = 0; c < names.size(); ++c)
        if (const std::optional<Column> kind = KindOf(names[c]))
            candidates[*kind].push_back(c);
    for (std::size_t kind = 0; kind < kColumnKinds && layout.error.empty(); ++kind)
        layout.index[kind] = ChooseColumn(candidates[kind], names, static_cast<Column>(kind), layout.error);
    if (!layout.error.empty())
        return layout;
    if (layout.index[kFreqColumn] != kNoColumn) {
        const std::vector<std::string> words = Words(names[layout.index[kFreqColumn]]);
        layout.freqScale = HasWord(words, "khz") ? 1e3 : HasWord(words, "mhz") ? 1e6 : 1;
    }
    const bool polar = layout.index[kGainColumn] != kNoColumn && layout.index[kPhaseColumn] != kNoColumn;
    layout.complex = !polar && layout.index[kRealColumn] != kNoColumn && layout.index[kImagColumn] != kNoColumn;
    if (layout.index[kFreqColumn] == kNoColumn)
        layout.error = "the header names no frequency column (such as \"freq\" or \"Hz\")";
    else if (!polar && !layout.complex)
        layout.error = "the header names neither gain and phase columns nor real and imaginary ones";
    return layout;
}

// A whole field as a finite number with a "." decimal point, whatever the locale.
std::optional<double> ParseNumber(std::string_view field)
{
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

struct Row {
    std::array<double, kColumnKinds> values{};
    std::string error;
};

Row ReadRow(std::string_view line, const Layout& layout)
{
    Row row;
    const std::vector<std::string_view> fields = SplitFields(line, layout.separator);
    if (fields.size() != layout.fieldCount) {
        row.error = std::to_string(fields.size()) + " fields where the header has " + std::to_string(layout.fieldCount);
        return row;
    }
    for (std::size_t kind = 0; kind < kColumnKinds; ++kind) {
        const std::size_t c = layout.index[kind];
        if (c == kNoColumn)
            continue;
        if (fields[c].empty()) {
            row.error = std::string("the ") + kColumnNames[kind] + " field is empty";
            return row;
        }
        const std::optional<double> value = ParseNumber(fields[c]);
        if (!value) {
            row.error = "\"" + std::string(fields[c]) + "\" in the " + kColumnNames[kind] + " column is not a number";
            return row;
        }
        row.values[kind] = *value;
    }
    return row;
}

// Gain and phase of a row; an error when a complex value has no gain in dB.
std::string GainAndPhaseOf(const Row& row, const Layout& layout, MeasuredPoint& point)
{
    if (!layout.complex) {
        point.gainDb = row.values[kGainColumn];
        point.phaseDeg = row.values[kPhaseColumn];
        return {};
    }
    const double magnitude = std::hypot(row.values[kRealColumn], row.values[kImagColumn]);
    if (!(magnitude > 0))
        return "a zero real and imaginary part has no gain in dB";
    point.gainDb = 20 * std::log10(magnitude);
    point.phaseDeg = std::atan2(row.values[kImagColumn], row.values[kRealColumn]) * kRadToDeg;
    return {};
}

std::string Limit(double limit)
{
    const std::string whole = std::to_string(static_cast<long long>(limit));
    return "-" + whole + " to " + whole;
}

// The point of a row, or why it is none.
std::string PointOf(const Row& row, const Layout& layout, MeasuredPoint& point)
{
    point.freq = row.values[kFreqColumn] * layout.freqScale;
    if (!std::isfinite(point.freq))
        return "the frequency is too large to be a number";
    if (std::string error = GainAndPhaseOf(row, layout, point); !error.empty())
        return error;
    // Written so that a NaN fails too.
    if (!(std::fabs(point.gainDb) <= kMaxMeasuredGainDb))
        return "the gain is outside " + Limit(kMaxMeasuredGainDb) + " dB";
    if (!(std::fabs(point.phaseDeg) <= kMaxMeasuredPhaseDeg))
        return "the phase is outside " + Limit(kMaxMeasuredPhaseDeg) + " degrees";
    return {};
}

std::string CheckFrequency(double freq, double previous, std::size_t previousLine)
{
    if (!(freq > 0))
        return "the frequency must be above 0 Hz";
    if (previousLine == 0 || freq > previous)
        return {};
    const std::string earlier = "line " + std::to_string(previousLine);
    return freq == previous ? "the frequency repeats the one of " + earlier
                            : "the frequency is below the one of " + earlier + "; frequencies must rise";
}

// Removes the turns an analyser adds when it wraps the phase into one circle.
void UnwrapPhases(std::vector<MeasuredPoint>& points)
{
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double step = points[i].phaseDeg - points[i - 1].phaseDeg;
        points[i].phaseDeg -= 360 * std::round(step / 360);
    }
}

// A complex value's phase starts in (-360, 0], where a loop with an integrator is.
void PutOnLoopBranch(std::vector<MeasuredPoint>& points)
{
    const double turns = std::ceil(points.front().phaseDeg / 360);
    for (MeasuredPoint& point : points)
        point.phaseDeg -= 360 * turns;
}

MeasurementRead Failed(std::size_t line, const std::string& why)
{
    return {{}, Line(line) + why};
}

double Lerp(double a, double b, double t)
{
    return a + t * (b - a);
}

// Decades from a to b > a. Close together, log10(b) - log10(a) can cancel to
// 0; the difference b - a is exact there and keeps it above 0.
double DecadesBetween(double a, double b)
{
    constexpr double kLn10 = 2.302585092994046;
    return b < 2 * a ? std::log1p((b - a) / a) / kLn10 : std::log10(b) - std::log10(a);
}

// An angle in degrees brought into (-180, 180].
double WrapDegrees(double angle)
{
    return angle - 360 * std::ceil((angle - 180) / 360);
}

}  // namespace

MeasurementRead ReadMeasurement(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    MeasurementRead result;
    std::optional<Layout> layout;
    std::size_t lineNumber = 0;
    std::size_t previousLine = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        if (!layout) {
            layout = ReadHeader(line);
            if (!layout->error.empty())
                return Failed(lineNumber, layout->error);
            continue;
        }
        if (result.points.size() == kMaxMeasuredPoints)
            return Failed(lineNumber, "more than " + std::to_string(kMaxMeasuredPoints) +
                                          " data lines; an analyser's export has far fewer");
        const Row row = ReadRow(line, *layout);
        MeasuredPoint point{};
        std::string error = row.error.empty() ? PointOf(row, *layout, point) : row.error;
        if (error.empty())
            error = CheckFrequency(point.freq, previousLine ? result.points.back().freq : 0, previousLine);
        if (!error.empty())
            return Failed(lineNumber, error);
        result.points.push_back(point);
        previousLine = lineNumber;
    }
    if (!layout)
        return Failed(std::max<std::size_t>(lineNumber, 1), "the file is empty; a header line is expected");
    if (result.points.size() < 2)
        return Failed(lineNumber + 1, "the file ends with " + std::to_string(result.points.size()) +
                                          " measured points; at least 2 are needed");
    UnwrapPhases(result.points);
    if (layout->complex)
        PutOnLoopBranch(result.points);
    return result;
}

MeasurementRead ReadMeasurementFile(const std::string& path)
{
    int reason = 0;
    const auto bytes = ReadFileBytes(path, reason, kMaxMeasurementBytes);
    if (!bytes)
        return {{}, reason != 0 ? std::strerror(reason) : "not a regular file of at most 8 MiB"};
    return ReadMeasurement({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
}

ExactMetrics MeasuredMetricsOf(const std::vector<MeasuredPoint>& points)
{
    ExactMetrics metrics;
    std::size_t i = 0;
    while (i + 1 < points.size() && !(points[i].gainDb > 0 && points[i + 1].gainDb <= 0))
        ++i;
    if (i + 1 >= points.size())
        return metrics;
    const MeasuredPoint& a = points[i];
    const MeasuredPoint& b = points[i + 1];
    const double t = a.gainDb / (a.gainDb - b.gainDb);
    const double logA = std::log10(a.freq);
    const double logB = std::log10(b.freq);
    metrics.fx = std::pow(10.0, Lerp(logA, logB, t));
    metrics.slope = (b.gainDb - a.gainDb) / DecadesBetween(a.freq, b.freq);
    const double phaseAtFx = Lerp(a.phaseDeg, b.phaseDeg, t);
    metrics.pm = WrapDegrees(180 + phaseAtFx);
    const double level = phaseAtFx - metrics.pm;
    // From the crossover on, the first segment whose phase falls through the level.
    MeasuredPoint left{metrics.fx, 0.0, phaseAtFx};
    metrics.gm = std::numeric_limits<double>::infinity();
    for (std::size_t j = i + 1; j < points.size(); left = points[j++]) {
        const MeasuredPoint& right = points[j];
        if (left.phaseDeg >= level && right.phaseDeg < level) {
            const double s = (left.phaseDeg - level) / (left.phaseDeg - right.phaseDeg);
            metrics.gm = -Lerp(left.gainDb, right.gainDb, s);
            break;
        }
    }
    return metrics;
}

}  // namespace qxr
