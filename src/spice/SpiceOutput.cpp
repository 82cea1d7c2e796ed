#include "spice/SpiceOutput.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace qxr {

namespace {

SpiceTable Failed(std::size_t line, const std::string& why)
{
    SpiceTable table;
    table.error = "line " + std::to_string(line) + ": " + why;
    return table;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A number as printf's %e writes it, the whole field and nothing else.
bool ParseNumber(std::string_view field, double& value)
{
    if (field.size() > 64)
        return false;
    for (char c : field)
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'))
            return false;
    const std::string text(field);
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno == 0 && std::isfinite(value) &&
           std::fabs(value) <= kMaxSpiceMagnitude;
}

std::string HeaderProblem(std::string_view header, std::string_view scaleName, const std::vector<std::string>& names)
{
    const std::vector<std::string_view> fields = Fields(header);
    std::string expected(scaleName);
    for (const std::string& name : names)
        expected += " " + name;
    bool same = fields.size() == names.size() + 1 && fields[0] == scaleName;
    for (std::size_t i = 0; same && i < names.size(); ++i)
        same = fields[i + 1] == names[i];
    return same ? std::string() : "the header is not \"" + expected + "\"";
}

}  // namespace

SpiceTable ReadSpiceTable(std::string_view text, std::string_view scaleName, const std::vector<std::string>& names)
{
    if (text.empty())
        return Failed(1, "no header");
    SpiceTable table;
    table.vectors.resize(names.size());
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos)
            return Failed(lineNumber + 1, "the last line does not end");
        const std::string_view line = text.substr(start, newline - start);
        start = newline + 1;
        ++lineNumber;
        if (lineNumber == 1) {
            if (const std::string problem = HeaderProblem(line, scaleName, names); !problem.empty())
                return Failed(lineNumber, problem);
            continue;
        }
        if (table.scale.size() == kMaxSpicePoints)
            return Failed(lineNumber, "more than " + std::to_string(kMaxSpicePoints) + " points");
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() != names.size() + 1)
            return Failed(lineNumber, std::to_string(fields.size()) + " numbers where " +
                                          std::to_string(names.size() + 1) + " belong");
        std::vector<double> values(fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (!ParseNumber(fields[i], values[i]))
                return Failed(lineNumber, "\"" + std::string(fields[i].substr(0, 32)) + "\" is not a finite number");
        if (!table.scale.empty() && !(values[0] > table.scale.back()))
            return Failed(lineNumber, std::string(scaleName) + " does not rise");
        table.scale.push_back(values[0]);
        for (std::size_t i = 0; i < names.size(); ++i)
            table.vectors[i].push_back(values[i + 1]);
    }
    if (lineNumber == 0)
        return Failed(1, "no header");
    if (table.scale.empty())
        return Failed(lineNumber + 1, "no points");
    return table;
}

}  // namespace qxr
