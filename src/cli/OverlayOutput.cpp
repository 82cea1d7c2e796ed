#include "cli/OverlayOutput.h"

#include <cmath>

#include "analysis/NumberText.h"
#include "cli/JsonValues.h"
#include "cli/TextTable.h"
#include "model/Utf.h"
#include "present/FigureLabels.h"

namespace qxr::cli {

namespace {

using Align = TextTable::Align;

constexpr int kShownDigits = 6;

std::string PointRange(const std::vector<MeasuredPoint>& points)
{
    return std::to_string(points.size()) + " points from " + FormatFigure(points.front().freq, "Hz") + " to " +
           FormatFigure(points.back().freq, "Hz");
}

// A value as the report shows it; a symbol not in use has none.
std::string ShownValue(double value)
{
    return std::isnan(value) ? "not in use" : FormatDouble(value, kShownDigits);
}

}  // namespace

std::string FormatMeasuredText(const std::string& path, const std::vector<MeasuredPoint>& points)
{
    const ExactMetrics metrics = MeasuredMetricsOf(points);
    TextTable table({Align::Left, Align::Left});
    for (std::size_t k = 0; k < std::size(kFigureLabels); ++k)
        table.AddRow({kFigureLabels[k].heading, FormatFigure(metrics.*kExactMetricMembers[k], kFigureLabels[k].unit)});
    return "Measured loop " + path + " (" + PointRange(points) + "):\n" + table.Render("  ");
}

std::string FormatMeasuredJson(const std::string& path, const std::vector<MeasuredPoint>& points)
{
    const ExactMetrics metrics = MeasuredMetricsOf(points);
    Json document{{"file", path},
                  {"points", points.size()},
                  {"start", Number(points.front().freq)},
                  {"stop", Number(points.back().freq)}};
    for (std::size_t k = 0; k < std::size(kFigureLabels); ++k)
        document[kFigureLabels[k].key] = Number(metrics.*kExactMetricMembers[k]);
    return JsonText(document);
}

std::string FormatDifferencesText(const std::string& path, const std::string& otherPath,
                                  const std::vector<SymbolDifference>& differences)
{
    if (differences.empty())
        return "No symbol in use differs between " + path + " and " + otherPath + ".\n";
    TextTable table({Align::Left, Align::Left, Align::Right, Align::Right, Align::Left, Align::Right});
    table.AddRow({"Name", "Description", path, otherPath, "Unit", "Difference"});
    for (const SymbolDifference& d : differences)
        table.AddRow({ToUtf8(d.name), ToUtf8(d.description), ShownValue(d.value), ShownValue(d.otherValue),
                      ToUtf8(d.unit), FormatRelativeDifference(d.relative)});
    const std::string count = differences.size() == 1 ? "1 symbol in use differs"
                                                      : std::to_string(differences.size()) + " symbols in use differ";
    return count + ":\n" + table.Render("  ");
}

std::string FormatDifferencesJson(const std::string& path, const std::string& otherPath,
                                  const std::vector<SymbolDifference>& differences)
{
    Json rows = Json::array();
    for (const SymbolDifference& d : differences)
        rows.push_back({{"name", ToUtf8(d.name)},
                        {"description", ToUtf8(d.description)},
                        {"value", Number(d.value)},
                        {"otherValue", Number(d.otherValue)},
                        {"unit", ToUtf8(d.unit)},
                        {"relative", Number(d.relative)}});
    return JsonText(Json{{"design", path}, {"other", otherPath}, {"differences", rows}});
}

}  // namespace qxr::cli
