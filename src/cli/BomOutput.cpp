#include "cli/BomOutput.h"

#include <cmath>

#include "analysis/BillOfMaterials.h"
#include "analysis/BodeColumns.h"
#include "analysis/NumberText.h"
#include "analysis/PartValues.h"
#include "cli/JsonValues.h"
#include "cli/TextTable.h"
#include "model/Utf.h"
#include "present/FigureLabels.h"

namespace qxr::cli {

namespace {

using Align = TextTable::Align;

constexpr int kCalculatedDigits = 4;
constexpr int kStandardDigits = 3;

// The figures an engineer compares: crossover and both margins.
constexpr std::size_t kComparedFigures = 3;

std::string PartsText(const std::vector<PartValue>& parts)
{
    TextTable table(
        {Align::Left, Align::Left, Align::Right, Align::Right, Align::Right, Align::Left, Align::Left, Align::Left});
    table.AddRow({"Part", "Symbol", "Calculated", "Standard", "Deviation", "Series", "Pair", "Note"});
    for (const PartValue& part : parts) {
        const char* unit = BaseUnitOf(part.kind);
        table.AddRow(
            {part.designator, ToUtf8(part.symbol->name), FormatEngineering(part.proposed, unit, kCalculatedDigits),
             std::isnan(part.standard) ? "-" : FormatEngineering(part.standard, unit, kStandardDigits),
             std::isnan(part.deviation) ? "-" : DeviationText(part.deviation) + " %",
             SeriesName(part.series) + " ±" + FormatDouble(part.tolerance, 6) + " %", PairText(part), PartNote(part)});
    }
    return table.Render("  ");
}

std::string LoopsText(const StandardValueLoops& loops)
{
    if (!loops.notComputed.empty())
        return loops.notComputed + '\n';
    TextTable table({Align::Left, Align::Left, Align::Left, Align::Left});
    table.AddRow({"", kFigureLabels[0].heading, kFigureLabels[1].heading, kFigureLabels[2].heading});
    for (ControlLoop loop : kControlLoops) {
        const auto i = static_cast<std::size_t>(loop);
        for (const auto& [label, metrics] :
             {std::pair{" loop, design", &loops.design[i]}, std::pair{" loop, standard values", &loops.standard[i]}}) {
            std::vector<std::string> row{LoopTitle(loop) + label};
            for (std::size_t k = 0; k < kComparedFigures; ++k)
                row.push_back(FormatFigure(metrics->*kExactMetricMembers[k], kFigureLabels[k].unit));
            table.AddRow(std::move(row));
        }
    }
    return table.Render("  ");
}

Json FiguresJson(const ExactMetrics& metrics)
{
    Json figures;
    for (std::size_t k = 0; k < kComparedFigures; ++k)
        figures[kFigureLabels[k].key] = Number(metrics.*kExactMetricMembers[k]);
    return figures;
}

Json PairJson(const PartValue& part)
{
    if (!part.pair)
        return nullptr;
    return {{"wiring", PairWiring(part.kind, part.pair->combination)},
            {"values", Json::array({Number(part.pair->first), Number(part.pair->second)})},
            {"value", Number(part.pair->value)},
            {"deviation", Number(DeviationPercent(part.pair->value, part.inForce))}};
}

Json PartJson(const PartValue& part)
{
    return {{"designator", part.designator},
            {"symbol", ToUtf8(part.symbol->name)},
            {"description", ToUtf8(part.symbol->description)},
            {"unit", BaseUnitOf(part.kind)},
            {"calculated", Number(part.proposed)},
            {"inForce", Number(part.inForce)},
            {"standard", Number(part.standard)},
            {"series", SeriesName(part.series)},
            {"deviation", Number(part.deviation)},
            {"tolerance", Number(part.tolerance)},
            {"pair", PairJson(part)},
            {"note", PartNote(part)}};
}

}  // namespace

std::string FormatBomText(CDesignModel& model)
{
    const std::vector<PartValue> parts = PartValuesOf(model);
    const StandardValueLoops loops = StandardValueLoopsOf(model, parts);
    if (parts.empty())
        return loops.notComputed + '\n';
    return "Parts of the analog design and their standard values (a pair where one value misses by more than " +
           FormatFigure(model.Read(model.DEV__PAIR), "%") + "):\n" + PartsText(parts) +
           "\nBoth loops with the standard values:\n" + LoopsText(loops);
}

std::string FormatBomCsv(CDesignModel& model)
{
    return BomCsv(PartValuesOf(model));
}

std::string FormatBomJson(CDesignModel& model)
{
    const std::vector<PartValue> parts = PartValuesOf(model);
    const StandardValueLoops loops = StandardValueLoopsOf(model, parts);
    Json partsJson = Json::array();
    for (const PartValue& part : parts)
        partsJson.push_back(PartJson(part));
    Json loopsJson;
    if (!loops.notComputed.empty()) {
        loopsJson = {{"notComputed", loops.notComputed}};
    } else {
        for (ControlLoop loop : kControlLoops) {
            const auto i = static_cast<std::size_t>(loop);
            loopsJson[LoopName(loop)] = {{"design", FiguresJson(loops.design[i])},
                                         {"standard", FiguresJson(loops.standard[i])}};
        }
    }
    return JsonText({{"parts", partsJson}, {"loops", loopsJson}});
}

}  // namespace qxr::cli
