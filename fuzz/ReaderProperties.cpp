#include "ReaderProperties.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/RecoveryName.h"
#include "model/Utf.h"

namespace qxr::fuzz {

namespace {

bool IsFinitePoint(const MeasuredPoint& point)
{
    return std::isfinite(point.freq) && std::isfinite(point.gainDb) && std::isfinite(point.phaseDeg);
}

// FileNameFromBytes and FileNameBytes (doc/FileNames.h) convert through these.
bool SurvivesQString(std::string_view name)
{
    return EncodeFileName(DecodeFileName(name)) == name;
}

// Waiting for more bytes is right only for a message that can still be
// whole: one that fits the longest, announcing a length from 1 to the limit.
std::string IncompleteMessageViolation(std::string_view bytes)
{
    if (bytes.size() >= kInstanceLengthBytes + kMaxInstanceNameBytes)
        return "the longest message is incomplete";
    if (bytes.size() < kInstanceLengthBytes)
        return {};
    uint32_t length = 0;
    for (std::size_t k = 0; k < kInstanceLengthBytes; ++k)
        length = length << 8 | static_cast<uint8_t>(bytes[k]);
    return length >= 1 && length <= kMaxInstanceNameBytes ? "" : "a length that no message has is left waiting";
}

}  // namespace

std::string MeasurementViolation(const MeasurementRead& read)
{
    if (read.error.empty() == read.points.empty())
        return "a read holds both points and an error, or neither";
    if (!read.error.empty())
        return read.error.rfind("line ", 0) == 0 ? "" : "the error names no line";
    const std::vector<MeasuredPoint>& points = read.points;
    if (points.size() < 2 || points.size() > kMaxMeasuredPoints)
        return "the number of points is outside 2 to kMaxMeasuredPoints";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!IsFinitePoint(points[i]))
            return "a point is not finite";
        if (!(points[i].freq > 0))
            return "a frequency is not above 0";
        if (std::fabs(points[i].gainDb) > kMaxMeasuredGainDb)
            return "a gain is beyond the limit";
        if (i == 0)
            continue;
        if (!(points[i].freq > points[i - 1].freq))
            return "the frequencies do not rise strictly";
        if (std::fabs(points[i].phaseDeg - points[i - 1].phaseDeg) > 180)
            return "neighbouring phases are more than a half turn apart";
    }
    return {};
}

std::string MeasuredFiguresViolation(const ExactMetrics& figures)
{
    if (std::isnan(figures.fx)) {
        const bool allNaN = std::isnan(figures.pm) && std::isnan(figures.gm) && std::isnan(figures.slope);
        return allNaN ? "" : "figures without a crossover";
    }
    if (!(std::isfinite(figures.fx) && figures.fx > 0))
        return "the crossover is not a positive number";
    if (!(figures.pm >= -180 && figures.pm <= 180))
        return "the phase margin is outside [-180, 180]";
    if (std::isnan(figures.gm) || figures.gm == -std::numeric_limits<double>::infinity())
        return "the gain margin is neither a number nor +infinity";
    if (!(std::isfinite(figures.slope) && figures.slope <= 0))
        return "the slope at the crossover is not a finite number of at most 0";
    return {};
}

std::string InstanceMessageViolation(std::string_view bytes, const TakenMessage& taken)
{
    using Status = TakenMessage::Status;
    if (taken.status == Status::Incomplete)
        return IncompleteMessageViolation(bytes);
    if (taken.status == Status::Malformed)
        return {};
    const std::string& name = taken.name;
    if (name.empty() || name.size() > kMaxInstanceNameBytes)
        return "the name is empty or too long";
    if (name.front() != '/')
        return "the name is not absolute";
    if (name.find('\0') != std::string::npos)
        return "the name holds a NUL byte";
    if (taken.size > bytes.size() || bytes.substr(0, taken.size) != InstanceMessage(name))
        return "the name's message is not the bytes it was taken from";
    return SurvivesQString(name) ? "" : "the name changes on its way through a QString";
}

std::string RecoveryNameViolation(std::string_view bytes, const std::optional<std::string>& name)
{
    const bool canBeAName = bytes.size() <= kMaxRecoveryNameBytes && bytes.find('\0') == std::string_view::npos;
    if (!name)
        return canBeAName ? "bytes that can be a name do not read" : "";
    if (*name != bytes)
        return "the name is not the file's bytes";
    if (!canBeAName)
        return "the name holds a NUL byte or is too long";
    return SurvivesQString(*name) ? "" : "the name changes on its way through a QString";
}

std::string SpiceTableViolation(const SpiceTable& table, std::size_t vectors)
{
    const bool empty = table.scale.empty() && table.vectors.empty();
    if (table.error.empty() == empty)
        return "a read holds both a table and an error, or neither";
    if (!table.error.empty())
        return table.error.rfind("line ", 0) == 0 ? "" : "the error names no line";
    if (table.vectors.size() != vectors)
        return "not a vector for each name";
    if (table.scale.size() > kMaxSpicePoints)
        return "more than kMaxSpicePoints points";
    const auto withinBound = [](double x) { return std::isfinite(x) && std::fabs(x) <= kMaxSpiceMagnitude; };
    for (std::size_t i = 0; i < table.scale.size(); ++i) {
        if (!withinBound(table.scale[i]))
            return "a scale value is not a finite number within the bound";
        if (i > 0 && !(table.scale[i] > table.scale[i - 1]))
            return "the scale does not rise strictly";
    }
    for (const std::vector<double>& vector : table.vectors) {
        if (vector.size() != table.scale.size())
            return "a vector is not as long as the scale";
        for (double x : vector)
            if (!withinBound(x))
                return "a value is not a finite number within the bound";
    }
    return {};
}

}  // namespace qxr::fuzz
